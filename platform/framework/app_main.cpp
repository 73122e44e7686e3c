// The start of a framework program: the application object does the rest.
#include "framework/win_app.h"

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
