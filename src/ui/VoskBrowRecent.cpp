// The start screen's lists: the recent layouts (the most used and the newest
// of them, each with its sheet), the recent documents (a grid of the
// project files opened last, each with its preview), and the language
// chooser with the start screen's language button.
#include <algorithm>
#include <cstring>

#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFile.h"
#include "doc/VoskTmpl.h"
#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "pixel/TextUtil.h"
#include "platform/LangUtil.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"
#include "platform/SysTimer.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskConf.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"

namespace {

constexpr int16 kDelSize = 22;   // the delete box in a corner; a press counts 3 pixels in from its edge
constexpr int16 kDelInset = 3;
constexpr int16 kNameBand = 22;  // the name under a box
constexpr a_pixel24 kCardFrame{150, 150, 150};
constexpr int16 kCardMaxW = 260, kCardMaxH = 300;

// The small delete box: a grey square with a cross.
void Draw_Delete_Box(const Rect& r) {
  SetForeColor(235, 235, 235);
  PaintRect(r);
  SetForeColor(110, 110, 110);
  PenNormal();
  FrameRect(r);
  PenSize(2, 2);
  const int16 in = 6;
  MoveTo(int16(r.left + in), int16(r.top + in));
  LineTo(int16(r.right - in - 1), int16(r.bottom - in - 1));
  MoveTo(int16(r.right - in - 1), int16(r.top + in));
  LineTo(int16(r.left + in), int16(r.bottom - in - 1));
  PenNormal();
}

Rect Delete_Box_Of(const Rect& box) {
  return Rect{box.top, int16(box.right - kDelSize), int16(box.top + kDelSize), box.right};
}

bool In_Delete_Box(Point p, const Rect& del) {
  Rect r = del;
  InsetRect(r, kDelInset, kDelInset);
  return PtInRect(p, r);
}

// The card of n under the mouse (del: its delete box). Without a button
// pressed only the cursor follows (the crossed finger over a delete box, the
// finger over a card, else the arrow) and the answer is -1; a press beside
// every card sounds 136 and gives -1, one on a card sounds 130.
template <typename BoxOf, typename DelOf>
int16 Card_Pressed(const a_mousestroke& stroke, int16 n, BoxOf box_of, DelOf del_of, bool& del) {
  int16 hit = -1;
  del = false;
  for (int16 k = 0; k < n && hit < 0; ++k) {
    if (In_Delete_Box(stroke.lmouse, del_of(k))) {
      hit = k;
      del = true;
    } else if (PtInRect(stroke.lmouse, box_of(k))) {
      hit = k;
    }
  }
  if (!stroke.button1) {
    if (hit < 0)
      Cursor_Arrow();
    else
      Cursor_Set_Shape(del ? FINGERX_CURSOR : FINGER_CURSOR);
    return -1;
  }
  Sound_Effect(hit < 0 ? SND_NULL : SND_SUBTOOL_ONESHOT);
  return hit;
}

// Date order: year, month, day, hour, minute, second.
bool Earlier(const DateTimeRec& a, const DateTimeRec& b) {
  const int16 x[] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
  const int16 y[] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
  return std::lexicographical_compare(std::begin(x), std::end(x), std::begin(y), std::end(y));
}

a_layout_usage_rec Get_Slot(int16 slot) {
  a_layout_usage_rec rec;
  std::memcpy(&rec, &gs.pref.recentlay[slot], sizeof rec);
  return rec;
}

void Free_Slot(int16 slot) {
  const a_layout_usage_rec rec{};
  std::memcpy(&gs.pref.recentlay[slot], &rec, sizeof rec);
}

int16 g_recentlay_n = 0;

// Slots whose layout the catalogue no longer has are freed; the others
// learn their catalogue index again.
void RecentLay_Clean() {
  for (int16 i = 0; i < MAX_NRECENTLAY; ++i) {
    a_layout_usage_rec rec = Get_Slot(i);
    if (rec.count == 0) continue;
    const uint32 tx = RecentLay_TemplateX(i);
    if (tx == 0) {
      Free_Slot(i);
      continue;
    }
    rec.tx = tx;
    std::memcpy(&gs.pref.recentlay[i], &rec, sizeof rec);
  }
}

}  // namespace

// --- Recent layouts ----------------------------------------------------------------

a_recentlay_place g_recentlay[MAX_RECENTLAY_SHOWN];

void RecentLay_BuildList() {
  RecentLay_Clean();
  g_recentlay_n = 0;
  bool taken[MAX_NRECENTLAY] = {};
  const auto place = [](int16 slot, bool (&used)[MAX_NRECENTLAY]) {
    used[slot] = true;
    g_recentlay[g_recentlay_n++] = a_recentlay_place{slot, Get_Slot(slot).tx, Rect{}, Rect{}};
  };
  // The three most used; on equal counts the higher slot first.
  for (int16 k = 0; k < 3; ++k) {
    int16 best = -1;
    for (int16 i = MAX_NRECENTLAY - 1; i >= 0; --i) {
      const a_layout_usage_rec rec = Get_Slot(i);
      if (rec.count == 0 || taken[i]) continue;
      if (best < 0 || rec.count > Get_Slot(best).count) best = i;
    }
    if (best < 0) break;
    place(best, taken);
  }
  // Then the newest of the others.
  while (g_recentlay_n < MAX_RECENTLAY_SHOWN) {
    int16 best = -1;
    for (int16 i = 0; i < MAX_NRECENTLAY; ++i) {
      const a_layout_usage_rec rec = Get_Slot(i);
      if (rec.count == 0 || taken[i]) continue;
      if (best < 0 || Earlier(Get_Slot(best).when, rec.when)) best = i;
    }
    if (best < 0) break;
    place(best, taken);
  }
}

int16 RecentLay_Count() { return g_recentlay_n; }

Point Calc_Arrangement(int16 n) {
  switch (n) {
    case 2: return Point{1, 2};
    case 3: return Point{1, 3};
    case 4: return Point{2, 2};
    case 5:
    case 6: return Point{2, 3};
    default: return Point{1, 1};
  }
}

void RecentLay_Calc_Boxes(const Rect& area) {
  const Point a = Calc_Arrangement(g_recentlay_n);
  const int16 cols = a.h, rows = a.v;
  constexpr int16 gap = 20, most = 320;
  const int16 w = int16(std::clamp<int32>((area.right - area.left - gap * (cols + 1)) / cols, 0, most));
  const int16 h = int16(std::clamp<int32>((area.bottom - area.top - gap * (rows + 1)) / rows, 0, most + kNameBand));
  const int16 gap_h = int16((area.right - area.left - w * cols) / (cols + 1));
  const int16 gap_v = int16((area.bottom - area.top - h * rows) / (rows + 1));
  for (int16 k = 0; k < g_recentlay_n; ++k) {
    const int16 col = int16(k % cols), row = int16(k / cols);
    const int16 left = int16(area.left + gap_h + col * (w + gap_h));
    const int16 top = int16(area.top + gap_v + row * (h + gap_v));
    g_recentlay[k].box = Rect{top, left, int16(top + h), int16(left + w)};
    g_recentlay[k].delbox = Delete_Box_Of(g_recentlay[k].box);
  }
}

void RecentLay_Paint(const Rect& area) {
  RecentLay_Calc_Boxes(area);
  for (int16 k = 0; k < g_recentlay_n; ++k) {
    const a_recentlay_place& p = g_recentlay[k];
    const Rect& box = p.box;
    if (EmptyRect(box)) continue;
    const Rect sheet{box.top, box.left, int16(box.bottom - kNameBand), box.right};
    a_ctemplate c{};
    a_template tmpl{};
    if (Get_CTemplate(p.tx, c) && Expand_Template(c, tmpl) == EXPAND_OK) {
      PaperEcho_Paint3(tmpl, sheet, false);
    } else {
      SetForeColor(236, 236, 236);
      PaintRect(sheet);
    }
    const Rect band{sheet.bottom, box.left, box.bottom, box.right};
    SetForeColor(255, 255, 255);
    PaintRect(band);
    uStr255 name{};
    Filter_Template_Name(CStrSpan(c.label, sizeof c.label), name);
    SetForeColor(0, 0, 0);
    Draw_UString_Fit(1, gs.font_12pt, name, band);
    SetForeColor24(kCardFrame);
    PenNormal();
    FrameRect(box);
    Draw_Delete_Box(p.delbox);
  }
}

void RecentLay_MouseDown(const a_mousestroke& stroke) {
  bool del = false;
  const int16 hit = Card_Pressed(
      stroke, g_recentlay_n, [](int16 k) { return g_recentlay[k].box; }, [](int16 k) { return g_recentlay[k].delbox; },
      del);
  if (hit < 0) return;
  if (del)
    Remove_Recent_Layout(g_recentlay[hit].tx);
  else
    (void)Proj_PickLayout2(g_recentlay[hit].tx);
}

void Remove_Recent_Layout(uint32 tx) {
  for (int16 i = 0; i < MAX_NRECENTLAY; ++i)
    if (Get_Slot(i).count != 0 && RecentLay_TemplateX(i) == tx) Free_Slot(i);
  RecentLay_BuildList();
  if (gs.outer_window != nullptr && gs.curr_phase == NODOC_PHASE) Config_ProjPicker();
  Custom_Inval(CUSTOM_RECENT_LAYOUTS);
}

// --- Recent documents --------------------------------------------------------------

a_recent_list g_recent{};

void Recent_Add_Path(const FSSpec& path) {
  const size_t n = strnlen(path.name, sizeof path.name);
  // A path the slot cannot hold whole is not kept: a cut one would name
  // another file.
  if (n == 0 || n >= sizeof(a_stored_fsspec::name)) return;
  a_recent_doc* list = gs.pref.recent;
  // The path's own slot, else the first free one, else the first oldest.
  int16 same = -1, empty = -1, oldest = 0;
  for (int16 i = 0; i < MAX_NRECENT && same < 0; ++i) {
    const a_stored_fsspec& have = list[i].doc_path;
    if (std::strncmp(have.name, path.name, sizeof have.name) == 0)
      same = i;
    else if (have.name[0] == 0 && empty < 0)
      empty = i;
    else if (Earlier(list[i].doc_time, list[oldest].doc_time))
      oldest = i;
  }
  const int16 winner = same >= 0 ? same : empty >= 0 ? empty : oldest;
  a_recent_doc entry{};
  entry.doc_path.vRefNum = path.vRefNum;
  entry.doc_path.parID = path.parID;
  std::memcpy(entry.doc_path.name, path.name, n);
  Get_Date_Time(entry.doc_time);
  list[winner] = entry;
}

namespace {

FSSpec Slot_Path(int16 slot) {
  FSSpec spec{};
  const a_stored_fsspec& s = gs.pref.recent[slot].doc_path;
  spec.vRefNum = s.vRefNum;
  spec.parID = s.parID;
  std::memcpy(spec.name, s.name, std::min(sizeof spec.name - 1, sizeof s.name));
  return spec;
}

// The grid for n items: rows (v) by columns (h).
Point Recent_Grid(int16 n) {
  if (n <= 4) return Point{1, std::max<int16>(1, n)};
  if (n <= 8) return Point{2, 4};
  if (n <= 12) return Point{3, 4};
  if (n <= 20) return Point{4, 5};
  return Point{4, 6};
}

}  // namespace

void Calc_Recent_List(const Rect& area) {
  a_recent_list& l = g_recent;
  l = a_recent_list{};
  for (int16 i = 0; i < MAX_NRECENT && l.nlist < MAX_RECENT_SHOWN; ++i) {
    if (gs.pref.recent[i].doc_path.name[0] == 0) continue;
    const FSSpec spec = Slot_Path(i);
    if (!Is_DISC_File(spec)) continue;
    a_recent_item& item = l.list[l.nlist++];
    item.prefx = i;
    Str255 name{};
    if (!Path_To_Name(spec, name)) std::strncpy(name, spec.name, sizeof name - 1);
    std::strncpy(item.name, name, sizeof item.name - 1);
  }
  std::stable_sort(l.list, l.list + l.nlist, [](const a_recent_item& a, const a_recent_item& b) {
    return std::strcmp(a.name, b.name) < 0;  // by character codes
  });
  l.ncells = Recent_Grid(l.nlist);
  const int16 cols = l.ncells.h, rows = l.ncells.v;
  l.cellsize = Point{int16((area.bottom - area.top - 6) / rows), int16((area.right - area.left - 2) / cols)};
  // Centred in the area.
  const int16 used_w = int16(l.cellsize.h * cols), used_h = int16(l.cellsize.v * rows);
  l.origin = Point{int16(area.top + 6 + (area.bottom - area.top - 6 - used_h) / 2),
                   int16(area.left + 2 + (area.right - area.left - 2 - used_w) / 2)};
  for (int16 k = 0; k < l.nlist; ++k) {
    const int16 col = int16(k % cols), row = int16(k / cols);
    Rect cell{int16(l.origin.v + row * l.cellsize.v), int16(l.origin.h + col * l.cellsize.h),
              int16(l.origin.v + (row + 1) * l.cellsize.v), int16(l.origin.h + (col + 1) * l.cellsize.h)};
    InsetRect(cell, 8, 6);
    // A few items keep a card's size, centred in their cells.
    const int16 w = std::min<int16>(int16(cell.right - cell.left), kCardMaxW);
    const int16 h = std::min<int16>(int16(cell.bottom - cell.top), kCardMaxH);
    cell = Rect{int16((cell.top + cell.bottom - h) / 2), int16((cell.left + cell.right - w) / 2),
                int16((cell.top + cell.bottom + h) / 2), int16((cell.left + cell.right + w) / 2)};
    l.list[k].usedbox = cell;
    l.list[k].delbox = Delete_Box_Of(cell);
  }
  l.ready = true;
}

void Recent_Paint(const Rect& area) {
  if (!g_recent.ready) Calc_Recent_List(area);
  for (int16 k = 0; k < g_recent.nlist; ++k) {
    const a_recent_item& item = g_recent.list[k];
    const Rect& box = item.usedbox;
    if (EmptyRect(box)) continue;
    const Rect pict{box.top, box.left, int16(box.bottom - kNameBand), box.right};
    SetForeColor(255, 255, 255);
    PaintRect(box);
    PixMap pix{};
    if (Scan_DISC_Preview(Slot_Path(item.prefx), pix)) {
      Rect in = pict;
      InsetRect(in, 4, 4);
      a_coord_mapping fit;
      const Rect& pb = pix.bounds;
      Calc_Fit_Mapping(a_frect{float(pb.left), float(pb.top), float(pb.right), float(pb.bottom)}, in, fit);
      if (!EmptyRect(fit.netbox)) Pix_To_Port(&pix, Get_GWorld(), pb, fit.netbox, srcCopy, nullptr);
      Dispose_PixMap(pix);
    }
    const Rect band{pict.bottom, box.left, box.bottom, box.right};
    SetForeColor(0, 0, 0);
    Draw_String_Fit(true, gs.font_12pt, CStrSpan(item.name, std::strlen(item.name)), band);
    SetForeColor24(kCardFrame);
    PenNormal();
    FrameRect(box);
    Draw_Delete_Box(item.delbox);
  }
  ForeColor(1);
}

void Recent_MouseDown(const a_mousestroke& stroke) {
  bool del = false;
  const int16 hit = Card_Pressed(
      stroke, g_recent.nlist, [](int16 k) { return g_recent.list[k].usedbox; },
      [](int16 k) { return g_recent.list[k].delbox; }, del);
  if (hit < 0) return;
  const int16 slot = g_recent.list[hit].prefx;
  if (del) {
    gs.pref.recent[slot] = a_recent_doc{};
    HWND w = nullptr;
    Rect area{};
    if (Custom_Get_Info(CUSTOM_RECENT_DOCS, w, area)) Calc_Recent_List(area);
    Custom_Inval(CUSTOM_RECENT_DOCS);
    return;
  }
  Do_File_Open3(false, Slot_Path(slot));
}

// --- The language chooser ----------------------------------------------------------

namespace {

// Each language by its own name; those in scripts the interface fonts may
// lack by their English names.
constexpr const char16_t* kLanguageNames[NLANGUAGES] = {
    u"English", u"Čeština",   u"Dansk",   u"Deutsch",  u"Español",    u"Français",
    u"Italiano", u"Magyar",   u"Nederlands", u"Norsk", u"Polski",     u"Português",
    u"Suomi",   u"Svenska",   u"Türkçe",  u"Chinese (Traditional)",   u"Chinese (Simplified)",
    u"Japanese", u"Ελληνικά", u"Korean",
};

void Language_Name(int16 lang, uStr255& name) {
  std::memset(name, 0, sizeof(uStr255));
  if (lang < 0 || lang >= NLANGUAGES) return;
  const char16_t* s = kLanguageNames[lang];
  for (size_t i = 0; s[i] != 0 && i < 255; ++i) name[i] = UniChar(s[i]);
}

constexpr int16 kLangMargin = 16, kLangGap = 8, kLangCols = 2;
constexpr int16 kLangRows = (NLANGUAGES + kLangCols - 1) / kLangCols;

struct a_language_run {
  int16 result;
} g_lang_run;

bool Language_Available(int16 lang) { return lang >= 0 && lang < NLANGUAGES && (app_capability & Lang_Bit(lang)) != 0; }

void Language_Button(int16 lang, bool inverted) {
  const Rect r = Language_Box(lang);
  const bool current = lang == Current_Language();
  const bool on = Language_Available(lang);
  SetForeColor(240, 240, 240);
  PaintRect(r);
  a_pixt faces{};
  if (KPixt_Load_Checked(a_keyset{12, ART_PICT_LANGUAGE_BUTTONS, 0, 0}, faces) == PIXT_OK) {
    const int16 face = current ? ART_LANG_FACE_CURRENT : on ? ART_LANG_FACE_PLAIN : ART_LANG_FACE_UNAVAILABLE;
    const int16 top = int16(face * ART_LANG_FACE_DV);
    Pixt_Lock(faces);
    Pixt_DrawPartial(faces, Rect{top, 0, int16(top + ART_LANG_FACE_HEIGHT), ART_LANG_FACE_WIDTH}, r, ALPHA, nullptr);
  } else {
    // Without the library: a plain framed face, the current one in red.
    SetForeColor(250, 250, 250);
    PaintRect(r);
    SetForeColor(current ? 252 : 120, current ? 62 : 120, current ? 62 : 120);
    PenSize(current ? 2 : 1, current ? 2 : 1);
    FrameRect(r);
    PenNormal();
  }
  Pixt_Unload(faces);
  uStr255 name{};
  Language_Name(lang, name);
  SetForeColor(on ? 0 : 150, on ? 0 : 150, on ? 0 : 150);
  Rect text = ART_LANG_LABEL;
  OffsetRect(text, r.left, r.top);
  Draw_UString_Fit(1, gs.font_18pt, name, text);
  if (inverted) InvertRect(r);
}

void Language_Paint(HWND window) {
  const Point size = Language_Window_Size();
  Modal_Paint_Offscreen(window, Rect{0, 0, size.v, size.h}, [&size] {
    SetForeColor(240, 240, 240);
    PaintRect(Rect{0, 0, size.v, size.h});
    for (int16 l = 0; l < NLANGUAGES; ++l) Language_Button(l, false);
  });
}

void Flash(HWND window, int16 lang) {
  for (int k = 0; k < 6; ++k) {
    Modal_Paint_Offscreen(window, Language_Box(lang), [lang, k] { Language_Button(lang, k % 2 == 0); });
    Sleep(2);
  }
}

bool8 Language_Event(HWND window, const EventRecord& e, bool8& okay) {
  switch (e.what) {
    case updateEvt: Language_Paint(window); return false;
    case keyDown:
      if (Modal_Key(e) == MODAL_KEY_ESCAPE) {
        okay = false;
        return true;
      }
      Sound_Effect(SND_NULL);
      return false;
    case mouseDown: {
      const Point p = Modal_Point(window, e);
      for (int16 l = 0; l < NLANGUAGES; ++l) {
        if (!PtInRect(p, Language_Box(l))) continue;
        if (!Language_Available(l)) {
          Sound_Effect(SND_NULL);
          return false;
        }
        Sound_Effect(SND_SUBTOOL_ONESHOT);
        Flash(window, l);
        g_lang_run.result = l;
        okay = true;
        return true;
      }
      okay = false;  // a press beside the buttons cancels
      return true;
    }
    default: return false;
  }
}

}  // namespace

Point Language_Window_Size() {
  return Point{int16(2 * kLangMargin + kLangRows * ART_LANG_FACE_HEIGHT + (kLangRows - 1) * kLangGap),
               int16(2 * kLangMargin + kLangCols * ART_LANG_FACE_WIDTH + (kLangCols - 1) * kLangGap)};
}

Rect Language_Box(int16 lang) {
  const int16 col = int16(lang / kLangRows), row = int16(lang % kLangRows);
  const int16 left = int16(kLangMargin + col * (ART_LANG_FACE_WIDTH + kLangGap));
  const int16 top = int16(kLangMargin + row * (ART_LANG_FACE_HEIGHT + kLangGap));
  return Rect{top, left, int16(top + ART_LANG_FACE_HEIGHT), int16(left + ART_LANG_FACE_WIDTH)};
}

int16 Ask_Language() {
  g_lang_run.result = -1;
  const Point size = Language_Window_Size();
  if (!Modal_WindowM(ENABLE_NONE, size.h, size.v, nullptr, nullptr, Language_Event)) return -1;
  return g_lang_run.result;
}

void Language_Draw(const Rect& bounds, a_pixt* pixt) {
  const a_oneshot_item& item = g_oneshots[PROJ_LANG_BUTTON];
  if (pixt != nullptr && pixt->bits != nullptr)
    Pixt_DrawPartial(*pixt, item.src_rect, bounds, item.translucent ? ALPHA : transparent, nullptr);
  uStr255 name{};
  Language_Name(Current_Language(), name);
  SetForeColor(0, 0, 0);
  Rect text = bounds;
  InsetRect(text, 8, 0);
  Draw_UString_Fit(1, gs.font_14pt, name, text);
  ForeColor(1);
}

void Proj_Language() {
  const int16 lang = Ask_Language();
  if (lang < 0 || lang == Current_Language()) return;
  SV_Set_Int(SV_LANGUAGE, lang);
}
