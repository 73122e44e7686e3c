// Everything the shell layer offers: starting programs and opening files, and the
// places of paths on this machine.
#pragma once

#include "shell/command_line.h"
#include "shell/file_attributes.h"
#include "shell/file_contents.h"
#include "shell/path_mapping.h"
#include "shell/process.h"
#include "shell/shell_execute.h"
