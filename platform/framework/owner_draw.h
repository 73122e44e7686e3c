// What owner-drawn tab and list controls are asked and draw with: the image lists
// they hold, an item's rectangles, and the flags of drawing an image or a text.
#pragma once

#include "framework/control_defs.h"
#include "framework/gdi.h"

class CImageList;
// An image list's handle is the address of its CImageList, which its owner keeps
// alive as long as a control holds the handle.
struct HIMAGELIST__;
using HIMAGELIST = HIMAGELIST__*;

struct IMAGEINFO {
  HBITMAP hbmImage;
  HBITMAP hbmMask;
  int Unused1;
  int Unused2;
  RECT rcImage;  // the image's place in its bitmap
};

// Image list drawing.
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_OVERLAYMASK = 0x0F00;
constexpr UINT INDEXTOOVERLAYMASK(UINT index) { return index << 8; }

// Tab control image lists.
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2;
constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3;

// List view image lists, item rectangles and the measure of a text.
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
constexpr UINT LVM_GETSTRINGWIDTHA = LVM_FIRST + 17;
constexpr UINT LVM_REDRAWITEMS = LVM_FIRST + 21;
constexpr UINT LVM_GETSTRINGWIDTHW = LVM_FIRST + 87;
constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;
constexpr int LVSIL_STATE = 2;
constexpr int LVIR_BOUNDS = 0;
constexpr int LVIR_ICON = 1;
constexpr int LVIR_LABEL = 2;
constexpr int LVIR_SELECTBOUNDS = 3;
constexpr UINT LVIS_DROPHILITED = 0x0008;
constexpr UINT LVIS_OVERLAYMASK = 0x0F00;
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;

// DrawText: a single line at the bottom of the rectangle; the text not cut at it.
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_NOCLIP = 0x0100;
