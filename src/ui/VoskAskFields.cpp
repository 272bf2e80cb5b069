// The field dialog of the track lists (1207): which fields to import, which
// of them start a column, how the track number is written, and a preview
// of the text objects the choices make.
#include <algorithm>
#include <string>
#include <vector>

#include "host/HostControls.h"
#include "pixel/TextUtil.h"
#include "platform/ColorTable.h"
#include "platform/Dialogs.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/SysUnicode.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskAsk.h"

namespace {

// Items of dialog 1207.
enum : int16 {
  ITEM_OK = 1,
  ITEM_CANCEL = 2,
  ITEM_TITLE = 3,
  ITEM_TRACKNUM = 4,
  ITEM_FORMAT = 5,
  ITEM_COLUMN_HEAD1 = 6,
  ITEM_COLUMN_HEAD2 = 7,
  ITEM_INCLUDE1 = 8,   // 8 .. 21: fields 1 .. 14
  ITEM_COLUMN1 = 22,   // 22 .. 35: fields 1 .. 14
  ITEM_PREVIEW = 36,
};
constexpr int16 kStrTitle = 127;     // "Select fields to import..."
constexpr int16 kStrColumn = 264;    // "Start Column"
constexpr int16 kStrPreview = 265;   // "Preview"
constexpr int32 kRowsPerGroup = 7;   // the second group's header shows from field 8 on
constexpr int16 kFormats = 7;
constexpr int16 kPreviewBand = 16;
constexpr int16 kPreviewTop = 12;
constexpr int16 kPreviewLine = 13;
constexpr int16 kPreviewGap = 20;

// The three choices as they were when the dialog opened (Cancel restores them).
uint32 saved_f, saved_c;
int16 saved_fmt;
int32 shown_fields;

RGBColor Grey(uint16 v) { return RGBColor{uint16(v * 257), uint16(v * 257), uint16(v * 257)}; }

void Store_Panel(HWND dialog) {
  uint32 f = GetDialogCheckBox(dialog, ITEM_TRACKNUM) ? 1u : 0u;
  uint32 c = 1u;
  for (int32 i = 1; i <= shown_fields; ++i) {
    if (GetDialogCheckBox(dialog, int16(ITEM_INCLUDE1 + i - 1))) f |= 1u << i;
    if (GetDialogCheckBox(dialog, int16(ITEM_COLUMN1 + i - 1))) c |= 1u << i;
  }
  g_songfields_f = f;
  g_songfields_c = c;
  g_tracknum_fmt = GetDialogPopUp(dialog, ITEM_FORMAT);
}

// The chunks as the choices make them: columns side by side, each as wide
// as its widest line, on grey with lighter gaps between them.
void Paint_Preview(HWND dialog, int16 item) {
  Rect box;
  GetDialogItemBounds(dialog, item, box);
  Rect band = box;
  band.bottom = int16(box.top + kPreviewBand);
  RGBForeColor(Grey(220));
  PaintRect(band);
  Rect body = box;
  body.top = band.bottom;
  RGBForeColor(Grey(200));
  PaintRect(body);
  RGBForeColor(Grey(0));
  TextMode(1);
  UniChar title[64] = {};
  Get_DLOG_UString(UStrSpan(title), kStrPreview);
  Draw_UString_Fit(1, gs.font_14pt, CUStrSpan(title), band);
  if (g_chunks == nullptr) return;

  int32 x = box.left + 2;
  for (int32 k = 1; k <= g_chunks->nchunks && x < box.right; ++k) {
    const UniChar* text = g_chunks->chunks[k];
    int32 widest = 0, y = body.top + kPreviewTop;
    int32 start = 0;
    for (int32 i = 0;; ++i) {
      if (text[i] != 13 && text[i] != 0) continue;
      const CUStrSpan line(text + start, size_t(i - start));
      widest = std::max<int32>(widest, line.empty() ? 0 : uStringWidth(line, gs.font_12pt));
      if (y < box.bottom && !line.empty()) {
        MoveTo(int16(x), int16(y));
        uDrawString(line, gs.font_12pt);
      }
      y += kPreviewLine;
      if (text[i] == 0) break;
      start = i + 1;
    }
    x += widest + 2;
    if (k < g_chunks->nchunks) {
      RGBForeColor(Grey(220));
      PaintRect(Rect{body.top, int16(std::min<int32>(x, box.right)), body.bottom,
                     int16(std::min<int32>(x + kPreviewGap, box.right))});
      RGBForeColor(Grey(0));
      x += kPreviewGap;
    }
  }
}

void Refresh_Preview(HWND dialog) {
  SongTable_To_Chunks();
  HWND item = GetDlgItem(dialog, ITEM_PREVIEW);
  if (item != nullptr) InvalidateRect(item, nullptr, true);
}

void Fields_Init(HWND dialog) {
  Str255 s = {};
  Get_DLOG_String(StrSpan(s, sizeof s), kStrTitle);
  SetDialogStr(dialog, ITEM_TITLE, CStrSpan(s, sizeof s));
  Get_DLOG_String(StrSpan(s, sizeof s), kStrColumn);
  SetDialogStr(dialog, ITEM_COLUMN_HEAD1, CStrSpan(s, sizeof s));
  SetDialogStr(dialog, ITEM_COLUMN_HEAD2, CStrSpan(s, sizeof s));
  if (shown_fields <= kRowsPerGroup) HideDialogItem(dialog, ITEM_COLUMN_HEAD2);

  SetDialogStr(dialog, ITEM_TRACKNUM, CStrSpan(g_songtable->fieldnames[0]));
  SetDialogCheckBox(dialog, ITEM_TRACKNUM, (g_songfields_f & 1u) != 0);
  for (int16 fmt = 1; fmt <= kFormats; ++fmt) {
    const std::string sample = Format_Track_Number(1, fmt);
    AppendDialogPopUp(dialog, ITEM_FORMAT, CStrSpan(sample.c_str(), sample.size() + 1));
  }
  SetDialogPopUp(dialog, ITEM_FORMAT, g_tracknum_fmt >= 1 && g_tracknum_fmt <= kFormats ? g_tracknum_fmt : 1);
  for (int32 i = 1; i <= FIELD_DIALOG_FIELDS; ++i) {
    const int16 inc = int16(ITEM_INCLUDE1 + i - 1), col = int16(ITEM_COLUMN1 + i - 1);
    if (i > shown_fields) {
      HideDialogItem(dialog, inc);
      HideDialogItem(dialog, col);
      continue;
    }
    SetDialogStr(dialog, inc, CStrSpan(g_songtable->fieldnames[i]));
    SetDialogCheckBox(dialog, inc, ((g_songfields_f >> i) & 1u) != 0);
    SetDialogCheckBox(dialog, col, ((g_songfields_c >> i) & 1u) != 0);
  }
  SetDialogUserItem(dialog, ITEM_PREVIEW, Paint_Preview);
  SongTable_To_Chunks();
}

void Fields_Cmd(HWND dialog, int16 item) {
  if (item == ITEM_CANCEL) {
    if (Modal_Cmd_Notification() == BN_CLICKED) Modal_Exit(dialog, ITEM_CANCEL);
    return;
  }
  if (item == ITEM_OK) {
    if (Modal_Cmd_Notification() != BN_CLICKED) return;
    Store_Panel(dialog);
    if (g_songfields_f != 0) Modal_Exit(dialog, ITEM_OK);
    return;
  }
  // The boxes are ticked here, so that a script's press ticks them as a
  // click does.
  const bool check = item == ITEM_TRACKNUM || (item >= ITEM_INCLUDE1 && item < ITEM_PREVIEW);
  if (check && Modal_Cmd_Notification() == BN_CLICKED)
    SetDialogCheckBox(dialog, item, !GetDialogCheckBox(dialog, item));
  else if (item != ITEM_FORMAT || Modal_Cmd_Notification() != CBN_SELCHANGE)
    return;
  Store_Panel(dialog);
  Refresh_Preview(dialog);
}

}  // namespace

bool8 Ask_FieldDialog() {
  if (g_songtable == nullptr) return false;
  saved_f = g_songfields_f;
  saved_c = g_songfields_c;
  saved_fmt = g_tracknum_fmt;
  shown_fields = std::min(g_songtable->nfields, FIELD_DIALOG_FIELDS);
  if (g_songfields_f == 0) Default_Song_Fields(g_songfields_f, g_songfields_c);
  const int16 hit = Modal_Dialog(DLOG_SONG_FIELDS, 0, ITEM_OK, Fields_Init, Fields_Cmd, nullptr);
  if (hit == ITEM_OK && g_songfields_f != 0) return true;
  g_songfields_f = saved_f;
  g_songfields_c = saved_c;
  g_tracknum_fmt = saved_fmt;
  if (g_chunks != nullptr) g_chunks->nchunks = 0;
  return false;
}
