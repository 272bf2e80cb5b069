#include "ui/VoskAskDesign.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "doc/VoskPrin.h"
#include "doc/VoskTmpl.h"
#include "host/HostControls.h"
#include "host/HostFiles.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/TextUtil.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysDlog.h"
#include "platform/SysFont.h"
#include "platform/SysIONav.h"
#include "platform/SysSound.h"
#include "platform/TextEdit.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskIntf.h"

a_design_rec g_design{};
int32 g_designx = 0;

namespace {

// Every unit kind by its enumeration name, index = kind.
constexpr std::array<const char*, NUNITKINDS> kKindNames = {
    "UNIT_EMPTY",          "UNIT_CIRCLE",           "UNIT_OVAL",
    "UNIT_RECT",           "UNIT_VISITING",         "UNIT_VISITING2",
    "UNIT_CD",             "UNIT_CD_CORE",          "UNIT_CD_WALLET",
    "UNIT_MINICD_RING",    "UNIT_MINICD_HOCKEY",    "UNIT_MINICD_RECT",
    "UNIT_MINICD_LID1",    "UNIT_MINICD_LID2",      "UNIT_JEWEL_LID1",
    "UNIT_JEWEL_LID2",     "UNIT_JEWEL_LID3",       "UNIT_JEWEL_SPINE",
    "UNIT_JEWEL_SLIMLINE", "UNIT_JEWEL_BASE",       "UNIT_SUPERJEWEL_INLAY",
    "UNIT_SUPERJEWEL_BOOKLET", "UNIT_SUPERJEWEL_COVER", "UNIT_DVDBOX_INSERT",
    "UNIT_DVDBOX_INSERT2", "UNIT_DVDBOX_WRAP",      "UNIT_AUDIO_FACE",
    "UNIT_AUDIO_JCARD",    "UNIT_AUDIO_SPINE",      "UNIT_AUDIO_BOX",
    "UNIT_DAT_FACE",       "UNIT_DAT_SPINE",        "UNIT_DAT_JCARD",
    "UNIT_VHS_FACE",       "UNIT_VHS_SPINE",        "UNIT_VHS_THIRD",
    "UNIT_VHS_SLEEVE",     "UNIT_VHS_WRAP",         "UNIT_BETACAM_FACE",
    "UNIT_BETACAM_SPINE",  "UNIT_BETACAM_INSERT",   "UNIT_UMATIC_FACE",
    "UNIT_UMATIC_SPINE",   "UNIT_UMATIC_INSERT",    "UNIT_MINIDV_FACE",
    "UNIT_MINIDV_SPINE",   "UNIT_MINIDV_INSERT",    "UNIT_DVCAM_FACE",
    "UNIT_DVCAM_SPINE",    "UNIT_DVCAM_INSERT",     "UNIT_DVCPRO_FACE",
    "UNIT_DVCPRO_SPINE",   "UNIT_DVCPRO_INSERT",    "UNIT_STATUS",
    "UNIT_HI8_FACE",       "UNIT_HI8_JCARD",        "UNIT_MD_FACEL",
    "UNIT_MD_FACE",        "UNIT_MD_SPINE",         "UNIT_8MM_FACE",
    "UNIT_8MM_SPINE",      "UNIT_FLOPPY",           "UNIT_LAMINATED",
    "UNIT_VIDEOTITLE",     "UNIT_XDCAM_INSERT",     "UNIT_XDCAM_FACE",
    "UNIT_VCD_WRAP",       "UNIT_D5_SPINE",         "UNIT_D5_INSERT",
    "UNIT_BLURAY_WRAP",
};
static_assert(kKindNames.size() == size_t(LAST_UNIT_KIND) + 1);

// The named papers of the paper pop-up (entries 1 .. 8), millimetres.
constexpr std::array<a_fpoint, kDesignPapers - 1> kPapers = {{
    {215.9f, 279.4f}, {215.9f, 355.6f}, {279.4f, 431.8f}, {101.6f, 152.4f},
    {297.0f, 420.0f}, {210.0f, 297.0f}, {148.5f, 210.0f}, {105.0f, 148.5f},
}};

// Texts of list 900 beyond the items; the pop-ups' entries of list 200.
constexpr int16 STR_TOO_MANY = 101;
constexpr int16 STR_NO_UNITS = 102;
constexpr int16 STR_TOO_LARGE = 103;
constexpr int16 STR_PAPER1 = 111;
constexpr int16 STR_SAVE_PROMPT = 6;
constexpr int16 STRLIST_KINDS = 600;
constexpr int16 STR_PORTRAIT = 368;
constexpr int16 STR_MILLIMETERS = 370;
constexpr int16 STR_PITCH_BETWEEN = 372;
constexpr int16 ALERT_EXPORT_FAILED = 49;
constexpr int16 SND_REFUSED = 136;

// The longest label a sheet may hold, either way (mm).
constexpr float kMaxLabelMM = 400.0f;
// The most labels a sheet holds.
constexpr uint64 kMaxLabels = MAXNUNITS;

struct a_real_field {
  int16 item;
  float a_cunit::*member;
};
constexpr a_real_field kRealFields[] = {
    {DES_BBOX_LEFT, &a_cunit::bboxleft},     {DES_BBOX_TOP, &a_cunit::bboxtop},
    {DES_BBOX_WIDTH, &a_cunit::bboxwidth},   {DES_BBOX_HEIGHT, &a_cunit::bboxheight},
    {DES_PITCH_X, &a_cunit::pitchx},         {DES_PITCH_Y, &a_cunit::pitchy},
    {DES_MEAS1, &a_cunit::meas1},            {DES_MEAS2, &a_cunit::meas2},
    {DES_MEAS3, &a_cunit::meas3},            {DES_MEAS4, &a_cunit::meas4},
    {DES_BLEED_LEFT, &a_cunit::bleedleft},   {DES_BLEED_TOP, &a_cunit::bleedtop},
    {DES_BLEED_RIGHT, &a_cunit::bleedright}, {DES_BLEED_BOTTOM, &a_cunit::bleedbottom},
};

struct a_flag_box {
  int16 item;
  uint8 flag;
};
constexpr a_flag_box kFlagBoxes[] = {
    {DES_STAGGERED, UNIT_STAGGERED}, {DES_SHORTODD, UNIT_SHORTODD},   {DES_CLOBBERS, UNIT_CLOBBERS},
    {DES_NOTINDEXED, UNIT_NOTINDEXED}, {DES_CROPMARKS, UNIT_CROPMARKS},
};

// The flags the text names, in its order.
struct a_flag_name {
  uint8 flag;
  const char* name;
};
constexpr a_flag_name kTemplateFlagNames[] = {
    {IS_LANDSCAPE, "IS_LANDSCAPE"}, {IS_PITCHBETWEEN, "IS_PITCHBETWEEN"},
    {IS_CDPRINTER, "IS_CDPRINTER"}, {IS_INCHES, "IS_INCHES"},
};
constexpr a_flag_name kUnitFlagNames[] = {
    {UNIT_STAGGERED, "UNIT_STAGGERED"},           {UNIT_CLOBBERS, "UNIT_CLOBBERS"},
    {UNIT_SHORTODD, "UNIT_SHORTODD"},             {UNIT_PERIMETERBLEED, "UNIT_PERIMETERBLEED"},
    {UNIT_PERIMETERPLUSH, "UNIT_PERIMETERPLUSH"}, {UNIT_PERIMETERPLUSV, "UNIT_PERIMETERPLUSV"},
    {UNIT_CROPMARKS, "UNIT_CROPMARKS"},           {UNIT_NOTINDEXED, "UNIT_NOTINDEXED"},
};

constexpr uint32 Bit(uint8 flag) { return uint32(1) << flag; }

// Set while the dialog fills its own items: the notifications that brings
// are not the user's.
bool g_loading = false;

// --- Items ---------------------------------------------------------------------------------

CStrSpan Span_Of(const std::string& s) { return CStrSpan(s.c_str(), s.size() + 1); }

std::string Item_Text(HWND dialog, int16 item) {
  Str255 s{};
  GetDialogText(dialog, item, s);
  return std::string(s, strnlen(s, sizeof s));
}

void Set_Item_Text(HWND dialog, int16 item, const std::string& s) { SetDialogText(dialog, item, Span_Of(s)); }

std::string_view Trimmed(const std::string& s) {
  std::string_view v(s);
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  return v;
}

// An entry that is not a whole number, or is out of range, reads as 0.
uint32 Parse_Count(const std::string& s) {
  const std::string_view v = Trimmed(s);
  uint32 n = 0;
  const auto r = std::from_chars(v.data(), v.data() + v.size(), n);
  return r.ec == std::errc() && r.ptr == v.data() + v.size() ? n : 0;
}

// An entry that is not a finite number reads as 0.
float Parse_Real(const std::string& s) {
  const std::string_view v = Trimmed(s);
  double d = 0;
  const auto r = std::from_chars(v.data(), v.data() + v.size(), d);
  if (r.ec != std::errc() || r.ptr != v.data() + v.size() || v.empty()) return 0.0f;
  const float f = float(d);
  return std::isfinite(f) ? f : 0.0f;
}

void Append_PopUp_String(HWND dialog, int16 item, int16 list, int16 index) {
  Str255 s{};
  Get_Translated_String(s, list, index);
  AppendDialogPopUp(dialog, item, CStrSpan(s, strnlen(s, sizeof s) + 1));
}

// Fields show their caption in the item before them; buttons and check
// boxes carry their own text.
bool Is_Own_Text(int16 item) {
  return item <= DES_PRINT_PREVIEW || item == DES_CDPRINTER || item >= DES_STAGGERED;
}

void Set_Texts(HWND dialog) {
  for (int16 item = 1; item < DES_PREVIEW; ++item) {
    Str255 s{};
    Get_Translated_String(s, STRLIST_DESIGN, item);
    if (s[0] == 0) continue;
    const int16 shown = Is_Own_Text(item) ? item : int16(item - 1);
    SetDialogText(dialog, shown, CStrSpan(s, strnlen(s, sizeof s) + 1));
  }
}

void Fill_PopUps(HWND dialog) {
  for (int16 k = 0; k < kDesignPapers; ++k) Append_PopUp_String(dialog, DES_PAPER, STRLIST_DESIGN, int16(STR_PAPER1 + k));
  for (int16 k = 0; k < 2; ++k) {
    Append_PopUp_String(dialog, DES_ORIENTATION, STRLIST_DLOG, int16(STR_PORTRAIT + k));
    Append_PopUp_String(dialog, DES_PITCH_MODE, STRLIST_DLOG, int16(STR_PITCH_BETWEEN + k));
    Append_PopUp_String(dialog, DES_UNITS, STRLIST_DLOG, int16(STR_MILLIMETERS + k));
  }
  for (char k = '1'; k <= '6'; ++k) {
    const char s[2] = {k, 0};
    AppendDialogPopUp(dialog, DES_SECTION, CStrSpan(s, 2));
  }
  for (uint32 kind = 0; kind < NUNITKINDS; ++kind)
    Append_PopUp_String(dialog, DES_KIND, STRLIST_KINDS, int16(kind + 1));
  for (int16 item : {DES_PAPER, DES_ORIENTATION, DES_PITCH_MODE, DES_UNITS, DES_SECTION, DES_KIND})
    SetDialogPopUp(dialog, item, 1);
}

a_cunit& Current_Section() { return g_design.design.units[g_design.section - 1]; }

// Fills the paper's width and height from a named paper (custom leaves them).
void Apply_Paper(HWND dialog) {
  g_design.paper = GetDialogPopUp(dialog, DES_PAPER);
  if (g_design.paper < 1 || g_design.paper >= DES_PAPER_CUSTOM) return;
  const a_fpoint size = kPapers[size_t(g_design.paper - 1)];
  g_loading = true;
  Set_Item_Text(dialog, DES_PAPER_WIDTH, AskDes_Real_Text(size.x));
  Set_Item_Text(dialog, DES_PAPER_HEIGHT, AskDes_Real_Text(size.y));
  g_loading = false;
}

// Export and Print Preview follow the validity.
void Check_Valid(HWND dialog) {
  g_design.valid = AskDes_Valid(g_design.design);
  SetDialogCtlActive(dialog, DES_EXPORT, g_design.valid);
  SetDialogCtlActive(dialog, DES_PRINT_PREVIEW, g_design.valid);
}

void Redraw_Preview(HWND dialog) {
  if (HWND w = GetDlgItem(dialog, DES_PREVIEW); w != nullptr) InvalidateRect(w, nullptr, false);
}

// --- The text ------------------------------------------------------------------------------

std::string Real_4(float v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", double(v));
  return buf;
}

// The name as the text carries it: a double quote would end the string, so
// it becomes a single quote, and a control character becomes a blank; at
// most 31 bytes, cut on a character.
std::string Name_Token(const char (&label)[32]) {
  const int32 len = int32(strnlen(label, sizeof label));
  const int32 cut = UTF8_Cut_Length(CStrSpan(label, sizeof label), len, int32(sizeof label) - 1);
  std::string name(label, size_t(cut));
  for (char& c : name) {
    if (c == '"') c = '\'';
    else if (uint8(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return name;
}

template <size_t N>
std::string Flag_List(uint32 flags, const a_flag_name (&names)[N]) {
  std::string s;
  for (const a_flag_name& f : names) {
    if ((flags & Bit(f.flag)) == 0) continue;
    if (!s.empty()) s += ", ";
    s += f.name;
  }
  return s;
}

// Labels a section holds (64 bits: both counts are 32-bit).
uint64 Section_Labels(const a_cunit& c) {
  const uint64 nx = c.nx, ny = c.ny;
  if ((c.uflags & Bit(UNIT_SHORTODD)) == 0 || nx == 0) return nx * ny;
  return (ny + 1) / 2 * nx + ny / 2 * (nx - 1);
}

// The sheet the preview shows: the sections that have a kind and labels,
// packed; Expand_Template's verdict on it.
a_expand_result Expand_Preview(const a_ctemplate& design, a_template& expanded) {
  a_ctemplate sheet = design;
  for (a_cunit& c : sheet.units)
    if (!AskDes_Section_Counts(c)) c.kind = UNIT_EMPTY;
  Sort_CTemplate(sheet, sheet);
  return Expand_Template(sheet, expanded);
}

}  // namespace

// --- Checks ---------------------------------------------------------------------------------

bool8 AskDes_Section_Counts(const a_cunit& c) {
  return c.nx > 0 && c.ny > 0 && c.bboxwidth > 0 && c.bboxheight > 0;
}

bool8 AskDes_Valid(const a_ctemplate& design) {
  if (design.label[0] == 0) return false;
  for (const a_cunit& c : design.units)
    if (AskDes_Section_Counts(c)) return true;
  return false;
}

void Sort_CTemplate(a_ctemplate& dst, const a_ctemplate& src) {
  const a_ctemplate copy = src;
  dst = copy;
  uint32 n = 0;
  for (const a_cunit& c : copy.units) {
    if (c.kind == UNIT_EMPTY) continue;
    dst.units[n++] = c;
  }
  for (uint32 k = n; k < MAXNCUNITS; ++k) dst.units[k] = a_cunit{};
  dst.nunits = n;
}

a_design_echo AskDes_Check(const a_ctemplate& design, a_template& expanded, a_expand_result* refusal) {
  if (refusal != nullptr) *refusal = EXPAND_OK;
  if (!AskDes_Valid(design)) return ECHO_INVALID;
  // Every section that counts, counted before anything is expanded; a
  // section over the limit ends the count, so the sum cannot wrap round.
  uint64 total = 0;
  bool kinds = false;
  for (const a_cunit& c : design.units) {
    if (!AskDes_Section_Counts(c)) continue;
    const uint64 labels = Section_Labels(c);
    if (labels > kMaxLabels) return ECHO_TOO_MANY;
    total += labels;
    kinds = kinds || c.kind != UNIT_EMPTY;
  }
  if (total > kMaxLabels) return ECHO_TOO_MANY;
  if (!kinds) return ECHO_NO_UNITS;
  if (const a_expand_result r = Expand_Preview(design, expanded); r != EXPAND_OK) {
    if (refusal != nullptr) *refusal = r;
    return ECHO_CANNOT_EXPAND;
  }
  for (uint32 u = 0; u < expanded.nunits; ++u) {
    const a_frect& b = expanded.units[u].bbox;
    if (b.right - b.left > kMaxLabelMM || b.bottom - b.top > kMaxLabelMM) return ECHO_TOO_LARGE;
  }
  return ECHO_SHEET;
}

const char* Emit_Unit_Kind(uint8 kind) { return kind < kKindNames.size() ? kKindNames[kind] : kKindNames[0]; }

std::string AskDes_Real_Text(float v) {
  std::string s = Real_4(v);
  if (s.find('.') == std::string::npos) return s;
  while (s.back() == '0') s.pop_back();
  return s;
}

// --- The layout definition text -------------------------------------------------------------

std::string AskDes_Text(const a_ctemplate& design) {
  a_ctemplate t;
  Sort_CTemplate(t, design);
  const char* eol = "\r\n";
  std::string s = "(* LAYOUT Version 4.00 *)";
  s += eol;
  s += "{ \"SORT________\", \"" + Name_Token(t.label) + "\", BOTH, a_template_flag_set { " +
       Flag_List(t.tflags, kTemplateFlagNames) + " }";
  // The separator and the comment's own leading blank: two blanks in all.
  s += ", " + std::string(" (* paper *) { ") + Real_4(t.papersize.x) + ", " + Real_4(t.papersize.y) + " }, " +
       std::to_string(t.nunits) + ", ";
  s += eol;
  s += "{";
  s += eol;
  for (uint32 k = 0; k < MAXNCUNITS; ++k) {
    const a_cunit& c = t.units[k];
    const bool last = k + 1 == MAXNCUNITS;
    if (c.kind == UNIT_EMPTY) {
      s += "EMPTY_UNIT";
      if (!last) s += ", ";
      continue;
    }
    s += "{ ";
    s += Emit_Unit_Kind(c.kind);
    s += ", a_unit_flag_set { " + Flag_List(c.uflags, kUnitFlagNames) + " }, ";
    s += std::to_string(c.nx) + ", " + std::to_string(c.ny) + ", ";
    s += "(* BBOX *) " + Real_4(c.bboxleft) + ", " + Real_4(c.bboxtop) + ", " + Real_4(c.bboxwidth) + ", " +
         Real_4(c.bboxheight) + ", ";
    s += "(* PITCH *) " + Real_4(c.pitchx) + ", " + Real_4(c.pitchy) + ", ";
    s += "(* BLEED *) " + Real_4(c.bleedleft) + ", " + Real_4(c.bleedtop) + ", " + Real_4(c.bleedright) + ", " +
         Real_4(c.bleedbottom) + ", ";
    s += "(* MEAS *) " + Real_4(c.meas1) + ", " + Real_4(c.meas2) + ", " + Real_4(c.meas3) + ", " +
         Real_4(c.meas4) + " }";
    if (!last) s += ", ";
    s += eol;
  }
  s += " }},";
  s += eol;
  return s;
}

bool8 AskDes_Save2(const FSSpec& path, const a_ctemplate& design, int32& err) {
  err = 0;
  const std::string text = AskDes_Text(design);
  HostReplace r;
  errno = 0;
  bool ok = Host_Replace_Begin(r, path.name);
  ok = ok && Host_Replace_Write(r, text.data(), text.size());
  ok = ok && Host_Replace_Commit(r);
  if (!ok) {
    err = errno != 0 ? errno : EIO;
    Host_Replace_Abort(r);
  }
  return ok;
}

bool8 AskDes_Save(const a_ctemplate& design) {
  ++g_designx;
  Str255 prompt{};
  Get_DLOG_String(prompt, STR_SAVE_PROMPT);
  const std::string defname = "LAYOUT" + std::to_string(g_designx);
  a_put_customize custom{};
  custom.format = FMT_TEXT;
  custom.formats_enabled = Format_Bit(FMT_TEXT);
  FSSpec path{};
  if (!Ask_Put_Path(CStrSpan(prompt, sizeof prompt), Span_Of(defname), 2, custom, path)) return false;
  int32 err = 0;
  if (AskDes_Save2(path, design, err)) return true;
  const std::string number = std::to_string(err);
  Param_Text(Span_Of(number), "", "", "");
  OK_Alert(false, ALERT_EXPORT_FAILED);
  return false;
}

// --- The dialog -----------------------------------------------------------------------------

void AskDes_Load_Section(HWND dialog) {
  const a_cunit& c = Current_Section();
  g_loading = true;
  SetDialogPopUp(dialog, DES_SECTION, g_design.section);
  SetDialogPopUp(dialog, DES_KIND, int16(c.kind + 1));
  Set_Item_Text(dialog, DES_NX, std::to_string(c.nx));
  Set_Item_Text(dialog, DES_NY, std::to_string(c.ny));
  for (const a_real_field& f : kRealFields) Set_Item_Text(dialog, f.item, AskDes_Real_Text(c.*f.member));
  for (const a_flag_box& b : kFlagBoxes) SetDialogCheckBox(dialog, b.item, (c.uflags & Bit(b.flag)) != 0);
  g_loading = false;
}

void AskDes_Store(HWND dialog) {
  a_ctemplate& d = g_design.design;
  const std::string name = Item_Text(dialog, DES_NAME);
  std::memset(d.label, 0, sizeof d.label);
  const int32 cut = UTF8_Cut_Length(Span_Of(name), int32(name.size()), int32(sizeof d.label) - 1);
  std::memcpy(d.label, name.data(), size_t(cut));

  g_design.orientation = GetDialogPopUp(dialog, DES_ORIENTATION);
  g_design.pitch = GetDialogPopUp(dialog, DES_PITCH_MODE);
  g_design.units = GetDialogPopUp(dialog, DES_UNITS);
  uint32 tflags = 0;
  if (GetDialogCheckBox(dialog, DES_CDPRINTER)) tflags |= Bit(IS_CDPRINTER);
  if (g_design.orientation == 2) tflags |= Bit(IS_LANDSCAPE);
  if (g_design.pitch == 1) tflags |= Bit(IS_PITCHBETWEEN);
  if (g_design.units == 2) tflags |= Bit(IS_INCHES);
  d.tflags = tflags;
  d.papersize.x = Parse_Real(Item_Text(dialog, DES_PAPER_WIDTH));
  d.papersize.y = Parse_Real(Item_Text(dialog, DES_PAPER_HEIGHT));

  a_cunit& c = Current_Section();
  const int16 kind = int16(GetDialogPopUp(dialog, DES_KIND) - 1);
  c.kind = uint8(kind >= 0 && kind <= LAST_UNIT_KIND ? kind : int16(UNIT_EMPTY));
  c.nx = Parse_Count(Item_Text(dialog, DES_NX));
  c.ny = Parse_Count(Item_Text(dialog, DES_NY));
  for (const a_real_field& f : kRealFields) c.*f.member = Parse_Real(Item_Text(dialog, f.item));
  for (const a_flag_box& b : kFlagBoxes) {
    c.uflags &= ~Bit(b.flag);
    if (GetDialogCheckBox(dialog, b.item)) c.uflags |= Bit(b.flag);
  }

  Check_Valid(dialog);
  g_design.echo = AskDes_Check(d, g_design.expanded, &g_design.refusal);
  g_design.print_ok = g_design.echo == ECHO_SHEET;
  // Drawn again either way: a design that stops being valid turns grey.
  Redraw_Preview(dialog);
}

void AskDes_Init(HWND dialog) {
  g_design = a_design_rec{};
  g_design.dialog = dialog;
  g_design.design.platforms = uint8(Bit(PLATFORM_MAC) | Bit(PLATFORM_WIN));
  g_design.section = 1;
  g_design.orientation = g_design.units = g_design.pitch = g_design.paper = 1;
  g_loading = true;
  Set_Texts(dialog);
  Fill_PopUps(dialog);
  g_loading = false;
  SetDialogUserItem(dialog, DES_PREVIEW, AskDes_Echo);
  GetDialogItemBounds(dialog, DES_PREVIEW, g_design.preview_area);
  g_design.preview_shown = true;
  AskDes_Load_Section(dialog);
  Apply_Paper(dialog);
  AskDes_Store(dialog);
}

void AskDes_Cmd(HWND dialog, int16 item) {
  if (g_loading) return;
  const uint16 note = Modal_Cmd_Notification();
  switch (item) {
    case DES_EXPORT:
      if (note != BN_CLICKED) return;
      if (g_design.valid)
        Modal_Exit(dialog, DES_EXPORT);
      else
        Sound_Effect(SND_REFUSED);
      return;
    case DES_CANCEL:
      if (note == BN_CLICKED) Modal_Exit(dialog, DES_CANCEL);
      return;
    case DES_PRINT_PREVIEW:
      if (note != BN_CLICKED) return;
      if (g_design.valid && g_design.print_ok)
        (void)Print_Template(g_design.expanded);
      else
        Sound_Effect(SND_REFUSED);
      return;
    case DES_CLEAR_SECTION:
      if (note != BN_CLICKED) return;
      Current_Section() = a_cunit{};
      AskDes_Load_Section(dialog);
      AskDes_Store(dialog);
      return;
    case DES_SECTION: {
      if (note != CBN_SELCHANGE) return;
      const int16 s = GetDialogPopUp(dialog, DES_SECTION);
      g_design.section = int16(s >= 1 && s <= int16(MAXNCUNITS) ? s : 1);
      AskDes_Load_Section(dialog);
      AskDes_Store(dialog);
      return;
    }
    case DES_PAPER:
      if (note != CBN_SELCHANGE) return;
      Apply_Paper(dialog);
      AskDes_Store(dialog);
      return;
    default:
      if (item < 1 || item > DES_LAST_ITEM) return;
      // A field's change, a pop-up's choice or a check box's click.
      if (note == EN_CHANGE || note == CBN_SELCHANGE || note == BN_CLICKED) AskDes_Store(dialog);
      return;
  }
}

bool8 AskDes_Filter(HWND dialog, EventRecord& event, int16& item) {
  if (event.what != keyDown) {
    Check_Valid(dialog);
    return false;
  }
  const uint8 key = Event_KeyCode(event);
  const uint8 ch = Event_CharCode(event);
  if (key == VK_ESCAPE) {
    item = DES_CANCEL;
    return true;
  }
  if (ch == 13 || key == VK_RETURN || key == 41) {
    if (g_design.valid) {
      item = DES_EXPORT;
    } else {
      Sound_Effect(SND_REFUSED);
      item = 0;
    }
    return true;
  }
  return false;
}

void AskDes_Echo(HWND dialog, int16 item) {
  Rect area{};
  GetDialogItemBounds(dialog, item, area);
  // The grey of an invalid design is also the ground under the decoration.
  SetForeColor(220, 220, 220);
  PaintRect(area);
  SetForeColor(0, 0, 0);
  if (!g_design.valid) return;
  Draw_Decoration(DECORATION_PARQUET, area);
  SetForeColor(166, 167, 151);
  FrameRect(area);
  int16 message = 0;
  switch (g_design.echo) {
    case ECHO_TOO_MANY: message = STR_TOO_MANY; break;
    case ECHO_NO_UNITS: message = STR_NO_UNITS; break;
    case ECHO_TOO_LARGE: message = STR_TOO_LARGE; break;
    default: break;
  }
  Str255 s{};
  if (message != 0) {
    Get_Translated_String(s, STRLIST_DESIGN, message);
  } else if (g_design.echo == ECHO_CANNOT_EXPAND) {
    std::snprintf(s, sizeof s, "%s", Expand_Result_Text(g_design.refusal));
  }
  if (s[0] != 0) {
    SetFont(gs.font_12pt);
    SetForeColor(0, 0, 0);
    const int32 len = int32(strnlen(s, sizeof s));
    Rect box = area;
    InsetRect(box, 12, 0);
    if (StringWidth(CStrSpan(s, size_t(len))) <= box.right - box.left) {
      DrawStringCentered(CStrSpan(s, size_t(len)), area);
    } else {
      // A longer reason wraps over a few lines about the middle.
      const int16 mid = int16((area.top + area.bottom) / 2);
      box.top = int16(mid - 24);
      box.bottom = int16(mid + 48);
      TextMode(srcOr);
      TETextBox(s, len, box, teCenter);
    }
    return;
  }
  if (g_design.echo != ECHO_SHEET) return;
  Rect inner = area;
  InsetRect(inner, 1, 1);
  ClipRect(inner);
  PaperEcho_Paint3(g_design.expanded, inner);
  ClipRect(area);
}

void Ask_Design() {
  const int16 hit = Modal_Dialog(DLOG_DESIGN, 0, DES_EXPORT, AskDes_Init, AskDes_Cmd, AskDes_Filter);
  if (hit == DES_EXPORT) (void)AskDes_Save(g_design.design);
}
