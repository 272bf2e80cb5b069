// Icons from the resources ("ICON", "ICN#" and "cicn", see ResImage.h) and
// their drawing into the current port.
//
// An icon handle holds the decoded pixels, so it stays valid when the
// resource file it came from is closed; DisposeCIcon frees it.
#pragma once

#include "host/HostWin.h"
#include "platform/ResImage.h"
#include "platform/Types.h"

struct a_icon_rec {
  OSType type;  // the resource type it was read from
  int16 id;
  a_res_image image;
};
using IconHandle = a_icon_rec*;

// The icon of that id, searched from the current resource file down to the
// program's own, the first file holding one wins: GetIcon looks for the mono
// forms first ("ICN#", "ICON", then "cicn"), GetCIcon for the colour one
// first ("cicn", "ICN#", "ICON"). An icon that is missing or damaged is
// reported by the missing-item rule (Report_Missing_Resource with "ICON" or
// "cicn" when none exists, else the damaged one's type) and gives NIL.
IconHandle GetIcon(int16 id);
IconHandle GetCIcon(int16 id);
// Frees the icon and sets the variable to NIL; NIL does nothing.
void DisposeCIcon(IconHandle& icon);

// Draws the icon into the current port's device context. A box of at least
// 32 x 32 gets the icon at its top-left corner at the icon's own size, drawn
// through its mask (transparent pixels leave the port alone, partly
// transparent ones blend). A smaller box gets the icon drawn onto a white
// 32 x 32 monochrome cell, stretched to the box with SRCCOPY: the cell's
// black takes the port's foreground colour and its white the background
// colour, as a monochrome bitmap does. NIL, an empty box or no port: nothing.
void PlotIcon(IconHandle icon, const Rect& box);
// Draws the icon through its mask at the box's top-left corner at its own
// size. NIL or no port: nothing.
void PlotCIcon(const Rect& box, IconHandle icon);

// The program's icon as the window layer shows it on a window (the class's
// large and small icon): the "cicn" of that id, the first found from the
// current resource file down. NIL, and nothing reported, when there is none
// or it is damaged: a window without an icon still works, the desktop then
// shows its own. The caller owns the result (DestroyIcon).
HICON Load_Window_Icon(int16 id);

// The program icon as PNG files for the desktop: resource type "ipng", the
// id the icon's size in pixels (48, 128, 256).
constexpr OSType kIconPngResType = FourCC("ipng");
