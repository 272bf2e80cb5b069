// The layout designer: the layout definition text byte for byte, the
// packing of sections, the preview's verdicts (labels counted in 64 bits
// before expanding), writing the file through a temporary one, and the
// dialog itself driven item by item on the headless backend.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "host/HostControls.h"
#include "host/HostDialog.h"
#include "host/HostFiles.h"
#include "host/HostScript.h"
#include "platform/SysDlog.h"
#include "platform/SysFont.h"
#include "platform/VoskErr.h"
#include "platform/WinTestSupport.h"
#include "ui/VoskAskDesign.h"
#include "ui/VoskStat.h"

namespace {

constexpr uint32 Bit(uint8 b) { return uint32(1) << b; }

a_cunit Section(uint8 kind, uint32 nx, uint32 ny, float w, float h) {
  a_cunit c{};
  c.kind = kind;
  c.nx = nx;
  c.ny = ny;
  c.bboxleft = c.bboxtop = 10;
  c.bboxwidth = w;
  c.bboxheight = h;
  return c;
}

a_ctemplate Design(const char* name) {
  a_ctemplate d{};
  std::strncpy(d.label, name, sizeof d.label - 1);
  d.papersize = {210, 297};
  return d;
}

// The design of the golden file: a disc column in section 1, section 2
// empty, two spines in section 3 (packed into second place).
a_ctemplate Two_Section_Design() {
  a_ctemplate d = Design("CD and inserts");
  d.tflags = Bit(IS_PITCHBETWEEN);
  a_cunit& cd = d.units[0];
  cd = Section(UNIT_CD, 1, 2, 120, 120);
  cd.uflags = Bit(UNIT_CLOBBERS) | Bit(UNIT_CROPMARKS);
  cd.bboxleft = 45;
  cd.bboxtop = 20;
  cd.pitchy = 5;
  cd.bleedleft = cd.bleedtop = cd.bleedright = cd.bleedbottom = 1.5f;
  cd.meas1 = 41;
  a_cunit& spine = d.units[2];
  spine = Section(UNIT_JEWEL_SPINE, 1, 2, 117.5f, 6.5f);
  spine.bboxleft = 20.25f;
  spine.bboxtop = 270;
  spine.pitchy = 10;
  return d;
}

std::string Golden() { return testdir::Read_Text(std::string(VELMOR_FIXTURES_DIR) + "/design/two_sections.txt"); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  for (size_t eol; (eol = text.find("\r\n", at)) != std::string::npos; at = eol + 2)
    out.push_back(text.substr(at, eol - at));
  EXPECT_EQ(at, text.size()) << "the text ends with a line end";
  return out;
}

// --- The text --------------------------------------------------------------------------------

TEST(DesignText, TwoSectionsMatchTheGoldenFileByteForByte) {
  const std::string golden = Golden();
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(AskDes_Text(Two_Section_Design()), golden);
}

TEST(DesignText, SixEmptySectionsAndTheCdPrinterFlagAlone) {
  a_ctemplate d = Design("Plain");
  std::vector<std::string> lines = Lines(AskDes_Text(d));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "(* LAYOUT Version 4.00 *)");
  EXPECT_EQ(lines[1], "{ \"SORT________\", \"Plain\", BOTH, a_template_flag_set {  },  (* paper *) "
                      "{ 210.0000, 297.0000 }, 0, ");
  EXPECT_EQ(lines[2], "{");
  EXPECT_EQ(lines[3], "EMPTY_UNIT, EMPTY_UNIT, EMPTY_UNIT, EMPTY_UNIT, EMPTY_UNIT, EMPTY_UNIT }},");

  // 4 x 6 labels of 50 x 30 mm on A4 for a disc printer, in section 4: the
  // flag list holds IS_CDPRINTER only, the section comes first and the
  // count says 1.
  d.tflags = Bit(IS_CDPRINTER);
  d.units[3] = Section(UNIT_RECT, 4, 6, 50, 30);
  lines = Lines(AskDes_Text(d));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_NE(lines[1].find("a_template_flag_set { IS_CDPRINTER }, "), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find(" }, 1, "), std::string::npos) << lines[1];
  EXPECT_EQ(lines[3], "{ UNIT_RECT, a_unit_flag_set {  }, 4, 6, (* BBOX *) 10.0000, 10.0000, 50.0000, 30.0000, "
                      "(* PITCH *) 0.0000, 0.0000, (* BLEED *) 0.0000, 0.0000, 0.0000, 0.0000, "
                      "(* MEAS *) 0.0000, 0.0000, 0.0000, 0.0000 }, ");
  EXPECT_EQ(lines[4], "EMPTY_UNIT, EMPTY_UNIT, EMPTY_UNIT, EMPTY_UNIT, EMPTY_UNIT }},");
}

TEST(DesignText, FlagsAreNamedInTheirFixedOrder) {
  a_ctemplate d = Design("All flags");
  d.tflags = Bit(IS_INCHES) | Bit(IS_CDPRINTER) | Bit(IS_PITCHBETWEEN) | Bit(IS_LANDSCAPE) | Bit(IS_SHOWNOPAPER);
  d.units[0] = Section(UNIT_CD, 1, 1, 4.6f, 4.6f);
  d.units[0].uflags = Bit(UNIT_NOTINDEXED) | Bit(UNIT_CROPMARKS) | Bit(UNIT_PERIMETERPLUSV) |
                      Bit(UNIT_PERIMETERPLUSH) | Bit(UNIT_PERIMETERBLEED) | Bit(UNIT_SHORTODD) |
                      Bit(UNIT_CLOBBERS) | Bit(UNIT_STAGGERED) | Bit(UNIT_FLIPX);
  const std::string text = AskDes_Text(d);
  EXPECT_NE(text.find("a_template_flag_set { IS_LANDSCAPE, IS_PITCHBETWEEN, IS_CDPRINTER, IS_INCHES }"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("a_unit_flag_set { UNIT_STAGGERED, UNIT_CLOBBERS, UNIT_SHORTODD, UNIT_PERIMETERBLEED, "
                      "UNIT_PERIMETERPLUSH, UNIT_PERIMETERPLUSV, UNIT_CROPMARKS, UNIT_NOTINDEXED }"),
            std::string::npos)
      << text;
}

// A double quote would end the name's string early; the name is at most 31
// bytes and never ends inside a character.
TEST(DesignText, NameQuotedSafelyAndCutOnACharacter) {
  struct Case {
    const char* name;
    const char* written;
  } cases[] = {
      {"5\" floppy \"A\"", "5' floppy 'A'"},
      // 30 letters and a two-byte letter: 32 bytes, the letter dropped whole.
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcd\xC3\xA9", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"},
      // 29 letters and the same letter: 31 bytes, kept.
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabc\xC3\xA9", "ABCDEFGHIJKLMNOPQRSTUVWXYZabc\xC3\xA9"},
  };
  for (const Case& c : cases) {
    a_ctemplate d{};
    std::memcpy(d.label, c.name, std::min(std::strlen(c.name), sizeof d.label));  // a full label: no NUL
    const std::string text = AskDes_Text(d);
    const std::string expect = std::string("{ \"SORT________\", \"") + c.written + "\", BOTH,";
    EXPECT_NE(text.find(expect), std::string::npos) << c.name << "\n" << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '"'), 4) << text;
  }
}

// Every kind the Kind pop-up offers is written by its name, the last seven too.
TEST(DesignText, EveryKindIsWrittenByItsName) {
  const std::pair<uint8, const char*> kinds[] = {
      {UNIT_CIRCLE, "UNIT_CIRCLE"},           {UNIT_LAMINATED, "UNIT_LAMINATED"},
      {UNIT_VIDEOTITLE, "UNIT_VIDEOTITLE"},   {UNIT_XDCAM_INSERT, "UNIT_XDCAM_INSERT"},
      {UNIT_XDCAM_FACE, "UNIT_XDCAM_FACE"},   {UNIT_VCD_WRAP, "UNIT_VCD_WRAP"},
      {UNIT_D5_SPINE, "UNIT_D5_SPINE"},       {UNIT_D5_INSERT, "UNIT_D5_INSERT"},
      {UNIT_BLURAY_WRAP, "UNIT_BLURAY_WRAP"},
  };
  a_ctemplate d = Design("Late kinds");
  for (const auto& [kind, name] : kinds) {
    EXPECT_STREQ(Emit_Unit_Kind(kind), name);
    d.units[5] = Section(kind, 1, 1, 100, 50);
    const std::string text = AskDes_Text(d);
    EXPECT_NE(text.find(std::string("{ ") + name + ", a_unit_flag_set {  }, 1, 1, "), std::string::npos) << text;
  }
  // Every name is distinct and spelled as an enumeration name.
  for (uint32 k = 0; k < NUNITKINDS; ++k) {
    EXPECT_EQ(std::strncmp(Emit_Unit_Kind(uint8(k)), "UNIT_", 5), 0) << k;
    for (uint32 j = 0; j < k; ++j) EXPECT_STRNE(Emit_Unit_Kind(uint8(k)), Emit_Unit_Kind(uint8(j)));
  }
}

TEST(DesignText, NumbersShownWithTrailingZerosRemoved) {
  const std::pair<float, const char*> cases[] = {
      {50, "50."}, {12.5f, "12.5"}, {0, "0."}, {215.9f, "215.9"}, {0.0625f, "0.0625"}, {-3.25f, "-3.25"}};
  for (const auto& [v, shown] : cases) EXPECT_EQ(AskDes_Real_Text(v), shown) << v;
}

// --- Packing and the preview's verdicts -----------------------------------------------------

TEST(DesignSheet, SortPacksSectionsWithAKind) {
  a_ctemplate d = Design("Packed");
  d.units[1] = Section(UNIT_CD, 1, 1, 120, 120);
  d.units[4] = Section(UNIT_RECT, 2, 3, 50, 30);
  d.units[5].nx = 7;  // no kind: dropped although it has numbers
  a_ctemplate p;
  Sort_CTemplate(p, d);
  EXPECT_EQ(p.nunits, 2u);
  EXPECT_EQ(p.units[0].kind, UNIT_CD);
  EXPECT_EQ(p.units[1].kind, UNIT_RECT);
  EXPECT_EQ(p.units[1].ny, 3u);
  for (uint32 k = 2; k < MAXNCUNITS; ++k) {
    EXPECT_EQ(p.units[k].kind, UNIT_EMPTY);
    EXPECT_EQ(p.units[k].nx, 0u);
  }
  EXPECT_STREQ(p.label, "Packed");
  // In place too.
  Sort_CTemplate(d, d);
  EXPECT_EQ(std::memcmp(&d, &p, sizeof d), 0);
}

TEST(DesignSheet, PreviewVerdicts) {
  struct Case {
    const char* what;
    const char* name;
    std::vector<a_cunit> sections;
    a_design_echo echo;
    uint32 tflags = 0;
    a_fpoint paper{210, 297};
    a_expand_result refusal = EXPAND_OK;  // the reason the preview shows
  };
  a_cunit shortodd = Section(UNIT_CD_CORE, 21, 24, 5, 5);  // 12 x 21 + 12 x 20 = 492
  shortodd.uflags = Bit(UNIT_SHORTODD);
  a_cunit shortodd_fits = Section(UNIT_CD_CORE, 11, 24, 5, 5);  // 12 x 11 + 12 x 10 = 252
  shortodd_fits.uflags = Bit(UNIT_SHORTODD);
  shortodd_fits.ny = 22;  // 11 x 11 + 11 x 10 = 231
  shortodd_fits.pitchx = 6;
  shortodd_fits.pitchy = 6;
  const Case cases[] = {
      {"no name", "", {Section(UNIT_RECT, 2, 2, 50, 30)}, ECHO_INVALID},
      {"no section with labels", "Sheet", {Section(UNIT_RECT, 0, 2, 50, 30)}, ECHO_INVALID},
      {"a negative width does not count", "Sheet", {Section(UNIT_RECT, 2, 2, -50, 30)}, ECHO_INVALID},
      {"20 across and 13 down", "Sheet", {Section(UNIT_EMPTY, 20, 13, 5, 5)}, ECHO_TOO_MANY},
      {"sections of 200 and 51", "Sheet",
       {Section(UNIT_RECT, 10, 20, 5, 5), Section(UNIT_OVAL, 51, 1, 1, 1)}, ECHO_TOO_MANY},
      {"six sections of 250", "Sheet",
       std::vector<a_cunit>(6, Section(UNIT_RECT, 25, 10, 5, 5)), ECHO_TOO_MANY},
      {"a count past 32 bits", "Sheet", {Section(UNIT_RECT, 65536, 65536, 5, 5)}, ECHO_TOO_MANY},
      // (2^32 - 1)^2 + 4 x 2^31 is 2^64 + 1: a 64-bit sum would wrap round to 1.
      {"counts whose sum wraps 64 bits", "Sheet",
       {Section(UNIT_RECT, 4294967295u, 4294967295u, 5, 5), Section(UNIT_RECT, 4, 2147483648u, 5, 5)},
       ECHO_TOO_MANY},
      {"staggered short rows over 250", "Sheet", {shortodd}, ECHO_TOO_MANY},
      {"staggered short rows within 250", "Sheet", {shortodd_fits}, ECHO_SHEET},
      {"labels without a kind", "Sheet", {Section(UNIT_EMPTY, 2, 2, 50, 30)}, ECHO_NO_UNITS},
      {"a label of 401 mm", "Sheet", {Section(UNIT_RECT, 1, 1, 401, 30)}, ECHO_TOO_LARGE},
      {"exactly 250", "Sheet", {Section(UNIT_RECT, 10, 25, 5, 5)}, ECHO_SHEET},
      {"a kind without labels beside one with", "Sheet",
       {Section(UNIT_CD, 0, 0, 0, 0), Section(UNIT_RECT, 2, 3, 50, 30)}, ECHO_SHEET},
      // Refused by the expansion, which gives the reason shown.
      {"cards for a disc printer", "Sheet", {Section(UNIT_RECT, 4, 6, 50, 30)}, ECHO_CANNOT_EXPAND,
       Bit(IS_CDPRINTER), {210, 297}, EXPAND_NOT_DISC},
      {"a custom paper left blank", "Sheet", {Section(UNIT_RECT, 1, 1, 50, 30)}, ECHO_CANNOT_EXPAND, 0, {0, 0},
       EXPAND_BAD_SIZE},
      {"inches", "Sheet", {Section(UNIT_RECT, 1, 1, 8, 8)}, ECHO_SHEET, Bit(IS_INCHES)},
      {"a label of 16 inches", "Sheet", {Section(UNIT_RECT, 1, 1, 16, 1)}, ECHO_TOO_LARGE, Bit(IS_INCHES)},
  };
  static a_template x;
  for (const Case& c : cases) {
    a_ctemplate d = Design(c.name);
    d.tflags = c.tflags;
    d.papersize = c.paper;
    for (size_t k = 0; k < c.sections.size(); ++k) d.units[k] = c.sections[k];
    x = a_template{};
    a_expand_result refusal = EXPAND_BAD_KIND;
    EXPECT_EQ(AskDes_Check(d, x, &refusal), c.echo) << c.what;
    EXPECT_EQ(refusal, c.refusal) << c.what;
    EXPECT_EQ(AskDes_Valid(d), c.echo != ECHO_INVALID) << c.what;
    if (c.echo != ECHO_SHEET) continue;
    uint32 expect = 0;
    for (const a_cunit& s : c.sections)
      if (AskDes_Section_Counts(s) && s.kind != UNIT_EMPTY)
        expect += (s.uflags & Bit(UNIT_SHORTODD)) ? (s.ny + 1) / 2 * s.nx + s.ny / 2 * (s.nx - 1) : s.nx * s.ny;
    EXPECT_EQ(x.nunits, expect) << c.what;
  }
}

// --- Writing the file ----------------------------------------------------------------------

class DesignFile : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testdir::Make_Temp_Dir("velmor-design"); }
  void TearDown() override {
    Host_Fail_Writes_After(-1);
    ::chmod(dir_.c_str(), 0755);
    testdir::Remove_Dir(dir_);
  }
  std::string P(const std::string& name) const { return dir_ + "/" + name; }
  static FSSpec Spec(const std::string& path) {
    FSSpec s{};
    EXPECT_TRUE(Path_From_Text(s, path.c_str()));
    return s;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    Host_List_Dir(dir_.c_str(), names);
    return names;
  }
  std::string dir_;
};

TEST_F(DesignFile, WrittenWholeOverAnOlderFile) {
  testdir::Write_Text(P("LAYOUT1.TXT"), "an older, longer text that must not survive in part");
  int32 err = -1;
  ASSERT_TRUE(AskDes_Save2(Spec(P("LAYOUT1.TXT")), Two_Section_Design(), err));
  EXPECT_EQ(err, 0);
  EXPECT_EQ(testdir::Read_Text(P("LAYOUT1.TXT")), Golden());
  EXPECT_EQ(Entries(), std::vector<std::string>{"LAYOUT1.TXT"});
}

// A write that fails half-way leaves neither a partial file nor the
// temporary one, and says which error it met.
TEST_F(DesignFile, FailedWriteLeavesNoFile) {
  Host_Fail_Writes_After(40);
  int32 err = 0;
  EXPECT_FALSE(AskDes_Save2(Spec(P("LAYOUT1.TXT")), Two_Section_Design(), err));
  EXPECT_EQ(err, EIO);
  EXPECT_TRUE(Entries().empty());
}

// A folder the user may not write to: nothing written, the error number
// given. Root ignores permissions, so the check runs as nobody.
TEST_F(DesignFile, ReadOnlyFolderRefused) {
  ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
  const bool root = ::geteuid() == 0;
  if (root && ::seteuid(65534) != 0) GTEST_SKIP() << "cannot act as another user";
  int32 err = 0;
  const bool8 ok = AskDes_Save2(Spec(P("LAYOUT1.TXT")), Two_Section_Design(), err);
  const int32 seen = err;
  if (root) {
    ASSERT_EQ(::seteuid(0), 0);
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(seen, EACCES);
  EXPECT_TRUE(Entries().empty());
}

// --- The dialog ------------------------------------------------------------------------------

// The body a test runs inside the shown dialog (pressed in as item 99).
constexpr int16 kRunBody = 99;
void (*g_body)(HWND) = nullptr;

void Body_Init(HWND d) {
  AskDes_Init(d);
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, std::to_string(kRunBody));
}
void Body_Cmd(HWND d, int16 item) {
  if (item != kRunBody) {
    AskDes_Cmd(d, item);
    return;
  }
  if (g_body != nullptr) g_body(d);
  if (Host_Dialog_Running(d)) Modal_Exit(d, DES_CANCEL);
}

std::string Text_Of(HWND d, int16 item) {
  Str255 s{};
  GetDialogText(d, item, s);
  return s;
}
void Type(HWND d, int16 item, const std::string& text) { SetDialogText(d, item, CStrSpan(text.c_str(), text.size() + 1)); }
void Choose(HWND d, int16 item, int16 entry) {
  SetDialogPopUp(d, item, entry);
  SendMessage(d, WM_COMMAND, MAKEWPARAM(item, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(d, item)));
}
void Key(HWND d, int32 vk) { SendMessage(GetDlgItem(d, DES_NAME), WM_KEYDOWN, WPARAM(vk), 0); }
bool Enabled(HWND d, int16 item) { return IsWindowEnabled(GetDlgItem(d, item)); }

std::string Snapshot_Path(const std::string& name) {
  const std::string exe = VELMOR4_EXE;
  const std::string dir = exe.substr(0, exe.find_last_of('/')) + "/snapshots";
  ::mkdir(dir.c_str(), 0755);
  ::mkdir((dir + "/design").c_str(), 0755);
  return dir + "/design/" + name;
}

// The dialog as a PNG under the build folder; the colour of the middle of
// the preview's lower half read back.
uint32 Snapshot(HWND d, const std::string& name) {
  UpdateWindow(d);
  for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) UpdateWindow(c);
  std::string err;
  const std::string path = Snapshot_Path(name);
  EXPECT_TRUE(Host_Snapshot_Window(d, path, err)) << err;
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  if (!Host_Read_PNG(path, px, w, h, err)) return 0xFFFFFFFFu;
  Rect area{};
  GetDialogItemBounds(d, DES_PREVIEW, area);
  POINT p{(area.left + area.right) / 2, area.top + (area.bottom - area.top) * 3 / 5};
  ClientToScreen(GetDlgItem(d, DES_PREVIEW), &p);
  ScreenToClient(d, &p);
  if (p.x < 0 || p.y < 0 || p.x >= w || p.y >= h) return 0xFFFFFFFFu;
  return px[size_t(p.y) * size_t(w) + size_t(p.x)] & 0xFFFFFF;
}

class DesignDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    wintest::Start_Dialog_Layer();
    Fonts_Stop();
    Fonts_Init();
    Init_Fonts();
    g_body = nullptr;
  }
  void TearDown() override {
    g_body = nullptr;
    Host_Script_Reset();
    Fonts_Stop();
    wintest::Clear_Port_State();
    wintest::Stop_Headless_Host();
  }
  static int16 Run() { return Modal_Dialog(DLOG_DESIGN, 0, DES_EXPORT, Body_Init, Body_Cmd, AskDes_Filter); }
};

// Fills the golden file's design through the items, as a person would.
void Fill_Two_Sections(HWND d) {
  Type(d, DES_NAME, "CD and inserts");
  Choose(d, DES_ORIENTATION, 1);
  Choose(d, DES_PAPER, 6);
  Choose(d, DES_KIND, int16(UNIT_CD + 1));
  for (auto [item, text] : std::initializer_list<std::pair<int16, const char*>>{
           {DES_NX, "1"}, {DES_NY, "2"}, {DES_BBOX_LEFT, "45"}, {DES_BBOX_TOP, "20"},
           {DES_BBOX_WIDTH, "120"}, {DES_BBOX_HEIGHT, "120"}, {DES_PITCH_Y, "5"},
           {DES_BLEED_LEFT, "1.5"}, {DES_BLEED_TOP, "1.5"}, {DES_BLEED_RIGHT, "1.5"},
           {DES_BLEED_BOTTOM, "1.5"}, {DES_MEAS1, "41"}})
    Type(d, item, text);
  Host_Dialog_Press(d, DES_CLOBBERS);
  Host_Dialog_Press(d, DES_CROPMARKS);
  Choose(d, DES_SECTION, 3);
  Choose(d, DES_KIND, int16(UNIT_JEWEL_SPINE + 1));
  for (auto [item, text] : std::initializer_list<std::pair<int16, const char*>>{
           {DES_NX, "1"}, {DES_NY, " 2 "}, {DES_BBOX_LEFT, "20.25"}, {DES_BBOX_TOP, "270"},
           {DES_BBOX_WIDTH, "117.5"}, {DES_BBOX_HEIGHT, "6.5"}, {DES_PITCH_Y, "10"}, {DES_MEAS2, "x"}})
    Type(d, item, text);
}

struct DialogSeen {
  bool export_at_start = true, print_at_start = true;
  std::string width, height;
  bool export_without_name = true;
  bool running_after_return = false;
  std::vector<int16> sounds_after_return;
  bool export_when_valid = false;
  a_design_echo echo = ECHO_INVALID;
  uint32 expanded = 0;
  std::string text;
  std::string section1_left, section1_bleed, section1_nx;
  bool clobbers_shown = false;
  a_design_echo echo_too_many = ECHO_INVALID;
  std::string section1_after_clear;
  a_cunit cleared{};
  uint32 preview_empty = 0, preview_sheet = 0, preview_too_many = 0;
  bool preview_redrawn_without_name = false;
  a_design_echo echo_disc_printer = ECHO_INVALID;
  a_expand_result refusal_disc_printer = EXPAND_OK;
  bool cdprinter_flag = false;
  uint32 preview_disc_printer = 0;
};
DialogSeen g_seen;

void Two_Sections_Body(HWND d) {
  DialogSeen& s = g_seen;
  s.export_at_start = Enabled(d, DES_EXPORT);
  s.print_at_start = Enabled(d, DES_PRINT_PREVIEW);
  s.width = Text_Of(d, DES_PAPER_WIDTH);
  s.height = Text_Of(d, DES_PAPER_HEIGHT);
  s.preview_empty = Snapshot(d, "empty.png");

  Fill_Two_Sections(d);
  // Without a name the design stays invalid: Return only beeps. The sheet
  // shown is to be painted over.
  UpdateWindow(GetDlgItem(d, DES_PREVIEW));
  Type(d, DES_NAME, "");
  s.preview_redrawn_without_name = GetUpdateRect(GetDlgItem(d, DES_PREVIEW), nullptr, false);
  s.export_without_name = Enabled(d, DES_EXPORT);
  {
    soundtest::SoundRecorder sounds;
    Key(d, VK_RETURN);
    s.sounds_after_return = sounds.Ids();
  }
  s.running_after_return = Host_Dialog_Running(d);
  Type(d, DES_NAME, "CD and inserts");
  s.export_when_valid = Enabled(d, DES_EXPORT) && Enabled(d, DES_PRINT_PREVIEW);
  s.echo = g_design.echo;
  s.expanded = g_design.expanded.nunits;
  s.text = AskDes_Text(g_design.design);
  s.preview_sheet = Snapshot(d, "two_sections.png");

  Choose(d, DES_SECTION, 1);
  s.section1_left = Text_Of(d, DES_BBOX_LEFT);
  s.section1_bleed = Text_Of(d, DES_BLEED_RIGHT);
  s.section1_nx = Text_Of(d, DES_NX);
  s.clobbers_shown = GetDialogCheckBox(d, DES_CLOBBERS) && !GetDialogCheckBox(d, DES_STAGGERED);

  // 20 across and 13 down in section 2.
  Choose(d, DES_SECTION, 2);
  Choose(d, DES_KIND, int16(UNIT_RECT + 1));
  Type(d, DES_NX, "20");
  Type(d, DES_NY, "13");
  Type(d, DES_BBOX_WIDTH, "5");
  Type(d, DES_BBOX_HEIGHT, "5");
  s.echo_too_many = g_design.echo;
  s.preview_too_many = Snapshot(d, "too_many.png");

  Choose(d, DES_SECTION, 1);
  Host_Dialog_Press(d, DES_CLEAR_SECTION);
  s.section1_after_clear = Text_Of(d, DES_BBOX_WIDTH);
  s.cleared = g_design.design.units[0];

  // Rectangles first on a disc printer: the expansion's reason is shown.
  Choose(d, DES_SECTION, 2);
  Type(d, DES_NY, "2");
  Host_Dialog_Press(d, DES_CDPRINTER);
  s.echo_disc_printer = g_design.echo;
  s.refusal_disc_printer = g_design.refusal;
  s.cdprinter_flag = (g_design.design.tflags & Bit(IS_CDPRINTER)) != 0;
  s.preview_disc_printer = Snapshot(d, "disc_printer.png");
}

TEST_F(DesignDialog, TwoSectionsTypedInWriteTheGoldenText) {
  g_seen = DialogSeen{};
  g_body = Two_Sections_Body;
  EXPECT_EQ(Run(), DES_CANCEL);
  const DialogSeen& s = g_seen;
  EXPECT_FALSE(s.export_at_start);
  EXPECT_FALSE(s.print_at_start);
  EXPECT_EQ(s.width, "215.9");
  EXPECT_EQ(s.height, "279.4");
  EXPECT_FALSE(s.export_without_name);
  EXPECT_TRUE(s.preview_redrawn_without_name);
  EXPECT_TRUE(s.running_after_return);
  EXPECT_EQ(s.sounds_after_return, std::vector<int16>{136});
  EXPECT_TRUE(s.export_when_valid);
  EXPECT_EQ(s.echo, ECHO_SHEET);
  EXPECT_EQ(s.expanded, 4u);
  EXPECT_EQ(s.text, Golden());
  EXPECT_EQ(s.section1_left, "45.");
  EXPECT_EQ(s.section1_bleed, "1.5");
  EXPECT_EQ(s.section1_nx, "1");
  EXPECT_TRUE(s.clobbers_shown);
  EXPECT_EQ(s.echo_too_many, ECHO_TOO_MANY);
  EXPECT_EQ(s.section1_after_clear, "0.");
  EXPECT_EQ(s.cleared.kind, UNIT_EMPTY);
  EXPECT_EQ(s.cleared.nx, 0u);
  EXPECT_EQ(s.cleared.uflags, 0u);
  EXPECT_EQ(s.cleared.bleedright, 0.0f);
  // Grey while invalid, the white paper of the sheet, grey under the message.
  EXPECT_EQ(s.preview_empty, 0xDCDCDCu);
  EXPECT_NE(s.preview_sheet, 0xDCDCDCu);
  EXPECT_NE(s.preview_sheet, 0xFFFFFFFFu);
  EXPECT_EQ(s.preview_too_many, 0xDCDCDCu);
  EXPECT_EQ(s.echo_disc_printer, ECHO_CANNOT_EXPAND);
  EXPECT_EQ(s.refusal_disc_printer, EXPAND_NOT_DISC);
  EXPECT_TRUE(s.cdprinter_flag);
  EXPECT_EQ(s.preview_disc_printer, 0xDCDCDCu);
}

// Return on a valid design exports, Escape cancels; each export asks for
// its file under the next number of the run, and a failed write is
// reported by alert 49 with its error number, no file left.
void Name_And_Section(HWND d) {
  Type(d, DES_NAME, "Cards");
  Choose(d, DES_KIND, int16(UNIT_VISITING + 1));
  Type(d, DES_NX, "2");
  Type(d, DES_NY, "5");
  Type(d, DES_BBOX_WIDTH, "85");
  Type(d, DES_BBOX_HEIGHT, "55");
  Key(d, VK_RETURN);
}
void Escape_Body(HWND d) {
  Type(d, DES_NAME, "Cards");
  Key(d, VK_ESCAPE);
}

TEST_F(DesignDialog, KeysEndTheDialogAndExportWritesOrAlerts) {
  g_body = Escape_Body;
  EXPECT_EQ(Run(), DES_CANCEL);
  g_body = Name_And_Section;
  EXPECT_EQ(Run(), DES_EXPORT);
  EXPECT_STREQ(g_design.design.label, "Cards");

  const std::string dir = testdir::Make_Temp_Dir("velmor-design");
  const int32 before = g_designx;
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, dir + "/cards.txt");
  EXPECT_TRUE(AskDes_Save(g_design.design));
  EXPECT_EQ(g_designx, before + 1);
  EXPECT_EQ(testdir::Read_Text(dir + "/cards.txt"), AskDes_Text(g_design.design));
  Host_Fail_Writes_After(10);
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, dir + "/broken.txt");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(AskDes_Save(g_design.design));
  const std::string err = testing::internal::GetCapturedStderr();
  Host_Fail_Writes_After(-1);
  EXPECT_EQ(g_designx, before + 2);
  EXPECT_NE(err.find("alert 49:"), std::string::npos) << err;
  EXPECT_NE(err.find("Error number " + std::to_string(EIO)), std::string::npos) << err;
  std::vector<std::string> names;
  Host_List_Dir(dir.c_str(), names);
  EXPECT_EQ(names, std::vector<std::string>{"cards.txt"});
  testdir::Remove_Dir(dir);
}

}  // namespace
