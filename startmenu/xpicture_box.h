// XPictureBox: a picture area of a form that tells its form what the mouse does
// over it (down, move, up, with the button and the point), as the picture buttons
// of the start menu need. A person at a keyboard uses it too: the focus stands for
// the mouse pointer resting on it (its arrival is a move to its middle, its leaving
// a move off it), and Space or Enter is a press and release of the left button in
// its middle. It paints its picture at its top left, and marks the focus.
#pragma once

#include "framework/framework.h"

inline constexpr const char* kPictureBoxClass = "VekPictureBox";

// The picture is set with STM_SETIMAGE (or BM_SETIMAGE, as a dialog template sets
// it) and read with STM_GETIMAGE. Unlike a static, the box owns the picture it is
// given and deletes it when another comes or the box goes; null clears it.

// WM_NOTIFY codes to the form, with an NMPICTUREMOUSE.
constexpr UINT XPBN_MOUSEDOWN = 0x7A01;
constexpr UINT XPBN_MOUSEMOVE = 0x7A02;
constexpr UINT XPBN_MOUSEUP = 0x7A03;
constexpr UINT XPBN_POINTERLEFT = 0x7A04;  // the pointer went elsewhere (the focus left)

// The mouse buttons and keys, as the forms' mouse events count them.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;
constexpr int kShiftKey = 1;
constexpr int kCtrlKey = 2;

struct NMPICTUREMOUSE {
  NMHDR hdr;
  int button;  // the button that went down or up; for a move, the buttons held
  int shift;   // kShiftKey, kCtrlKey
  POINT point; // client pixels
};

void RegisterPictureBoxClass();
