// One session of the real program on the headless backend for each family
// of media the catalogue was filled out with: a cassette J-card, a Video-8
// J-card, MiniDisc labels, a jewel case insert, business-card discs with
// round ends, an 8 cm disc case booklet, a DVD case inlet and a VHS case
// wrap. Each picks its layout in the layout chooser (Choose a
// layout..., the rows down to it, OK), places a photo and types a text,
// prints the document and a test sheet to the file printer, and quits. The
// test then reads both printed pages at 300 dpi: the test sheet's outline of
// a unit lies where the layout puts it within half a millimetre on all four
// sides, the document's ink keeps within half a millimetre of its units and
// their bleeds (and
// the crop marks of pieces cut from plain paper stand in line with their
// edges), and the photo printed. Snapshots go to <build>/e2e/families/.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DesignScriptSupport.h"
#include "LabelSessionSupport.h"
#include "OpenLogSupport.h"
#include "PrintSheetSupport.h"
#include "TestSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskShap.h"
#include "doc/VoskTmpl.h"
#include "ui/VoskDisp.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;
using labelsession::Menu;
using printsheet::Dots;
using printsheet::Page;

struct Family {
  const char* name;    // of the session's folder and snapshots
  const char* layout;  // the catalogue entry's label
  uint32 unit;         // the unit whose outline is measured (1-based)
  uint8 kind;
};

const Family kFamilies[] = {
    {"audio-cassette", "_ Cassette J-card (A4)", 1, UNIT_AUDIO_JCARD},
    {"video-cassette", "_ Video-8/Hi8 J-card (A4)", 2, UNIT_HI8_JCARD},
    {"minidisc", "Hama 50520-1", 10, UNIT_MD_FACE},
    {"case-insert", "_ Jewel case insert (A4)", 1, UNIT_JEWEL_LID1},
    {"business-card-disc", "Online_Labels OL5575", 5, UNIT_MINICD_HOCKEY},
    {"case-booklet-8cm", "_ 8 cm case booklet (Letter)", 2, UNIT_MINICD_LID2},
    {"dvd-case-inlet", "_ DVD case inlet (A4)", 2, UNIT_DVDBOX_INSERT},
    {"vhs-case-wrap", "_ VHS case wrap (Letter)", 1, UNIT_VHS_WRAP},
};

class LayoutFamilies : public openlog::Session, public ::testing::WithParamInterface<Family> {
 protected:
  LayoutFamilies() : Session("velmor-families-e2e", "families") {}
  void SetUp() override {
    Session::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    REQUIRE_TOOL("pdftoppm");
  }
  void TearDown() override {
    doctests::Close_Document();
    Session::TearDown();
  }
  // The entry's place in the layout chooser's list of every layout (0 for
  // the first row) and its expanded layout; -1 when it is not there.
  static int Row_Of(const char* label, a_template& x) {
    doctests::Start_Document_Modules();
    const uint32 tx = Find_Template(CStrSpan(label, std::strlen(label)));
    Build_Template_List();
    for (uint32 k = 0; k < t.tlist_n; ++k)
      if (t.tlist[k] == tx) {
        a_ctemplate c;
        if (!Get_CTemplate(tx, c) || Expand_Template(c, x) != EXPAND_OK) return -1;
        return int(k);
      }
    return -1;
  }
  // The PDF files the file printer left in the session's home, oldest first.
  std::vector<std::string> Printed() const {
    std::vector<fs::path> pdfs;
    for (const auto& e : fs::directory_iterator(dir))
      if (e.path().extension() == ".pdf") pdfs.push_back(e.path());
    std::sort(pdfs.begin(), pdfs.end(),
              [](const fs::path& a, const fs::path& b) { return fs::last_write_time(a) < fs::last_write_time(b); });
    std::vector<std::string> out;
    for (const auto& p : pdfs) out.push_back(p.string());
    return out;
  }
};

// The first dark pixel from `from` towards `to` along row y (horizontal) or
// column x (vertical), a neighbouring line counting too; -1 when none.
int32 First_Dark(const Page& page, bool horizontal, int32 line, int32 from, int32 to) {
  const int32 step = to > from ? 1 : -1;
  for (int32 p = from; p != to; p += step)
    for (int32 k = -1; k <= 1; ++k)
      if (horizontal ? page.Dark(p, line + k) : page.Dark(line + k, p)) return p;
  return -1;
}

TEST_P(LayoutFamilies, ChosenPhotographedTypedAndPrintedWhereTheLayoutSays) {
  const Family& f = GetParam();
  a_template x{};
  const int rows = Row_Of(f.layout, x);
  ASSERT_GE(rows, 0) << f.layout << " is not in the layout chooser";
  ASSERT_LE(f.unit, x.nunits);
  ASSERT_EQ(x.units[f.unit - 1].kind, f.kind);
  doctests::Close_Document();
  const std::string photo = P("photo.jpg");
  ASSERT_TRUE(printsheet::Write_Photo_Jpeg(photo, 400, 300));
  const std::string project = P("family.CD4");

  const auto snap = [&](const std::string& step) {
    return "wait 5\nsnapshot " + Shot(std::string(f.name) + "-" + step) + "\n";
  };
  std::string s = "wait 30\n";
  // Choose a layout..., the rows down to the layout in the list of all, OK.
  s += Menu(PANEL_ONESHOT + PROJ_PICKLAYOUT_BUTTON) + "wait 10\n" + designscript::Keys("Down", rows) +
       snap("1-chooser") + Menu(PANEL_ONESHOT + PAPER_OK_BUTTON) + "wait 10\n" + snap("2-document");
  // A photo from the file dialog's answer, then a typed text.
  s += Menu(PANEL_PHASE + PHOTO_PHASE) + "answer open " + photo + "\n" + Menu(PANEL_ONESHOT + PHOTO_NEW_BUTTON) +
       snap("3-photo") + Menu(PANEL_PHASE + TEXT_PHASE) + Menu(PANEL_ONESHOT + TEXT_NEW_BUTTON) + "wait 5\ntype Side A\nwait 32\nkey KeypadEnter\nwait 5\n" + snap("4-text");
  // Printed (the print dialog: Print; where it went: OK), then the test
  // sheet of the print panel.
  s += "answer alert 1\nanswer alert 1\nkey Ctrl+P\nwait 10\n";
  s += Menu(PANEL_PHASE + PREVIEW_PHASE) + "answer alert 1\nanswer alert 1\n" +
       Menu(PANEL_ONESHOT + PRINT_TEST_BUTTON) + "wait 10\n" + snap("5-printed");
  s += "answer save " + project + "\n" + Menu(MENU_FILE + 5) + "wait 10\nquit\n";

  const int rc = openlog::Run(dir, s, P("opener"), "VELMOR_PRINT=file");
  const std::string err = Err();
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  for (const char* bad : {"alert 15", "alert 20", "alert 48", "script line", "ended without"})
    EXPECT_EQ(err.find(bad), std::string::npos) << bad << " in\n" << err;

  // The project is on the layout chosen, with the photo and the text.
  {
    doctests::Start_Document_Modules();
    FSSpec spec{};
    ASSERT_TRUE(Path_From_Text(spec, project.c_str()) && Read_DISC(spec, false)) << project;
    EXPECT_STREQ(g_doc.doc_template.label, f.layout);
    ASSERT_EQ(g_doc.doc_template.nunits, x.nunits);
    int photos = 0, texts = 0;
    for (int32 i = 0; i < Doc_Unit(1)->oj.nlist; ++i)
      photos += Doc_Unit(1)->oj.list[i].kind == PHOTO_BLOCK, texts += Doc_Unit(1)->oj.list[i].kind == TEXT_BLOCK;
    EXPECT_EQ(photos, 1);
    EXPECT_EQ(texts, 1);
    doctests::Close_Document();
  }

  const std::vector<std::string> pdfs = Printed();
  ASSERT_EQ(pdfs.size(), 2u) << "the document and the test sheet; the program said:\n" << err;
  const Page doc = printsheet::Render_Pdf_Page(pdfs[0], P("doc-page"));
  const Page test = printsheet::Render_Pdf_Page(pdfs[1], P("test-page"));
  const bool turned = (x.tflags & (1u << IS_LANDSCAPE)) != 0;
  const float pw = turned ? x.papersize.y : x.papersize.x, ph = turned ? x.papersize.x : x.papersize.y;
  for (const Page* page : {&doc, &test}) {
    ASSERT_EQ(page->width, Dots(pw)) << "page across";
    ASSERT_EQ(page->height, Dots(ph)) << "page down";
  }

  // The test sheet's outline of the unit, on each side, where the layout
  // says: scanned along its middle from 1 mm inside outwards (past the
  // outline lies the dashed outline of a bleed).
  // A booklet's fold runs down its middle: its top and bottom are scanned a
  // quarter of the way across.
  const a_frect& b = x.units[f.unit - 1].bbox;
  const bool folded = Unit_Kind_Shape(f.kind) == SHAPE_BOOKLET;
  const int32 cx = Dots(folded ? b.left + (b.right - b.left) / 4 : (b.left + b.right) / 2),
              cy = Dots((b.top + b.bottom) / 2);
  const struct {
    const char* side;
    bool horizontal;
    int32 line;
    float edge, outward;
  } sides[] = {{"left", true, cy, b.left, -3}, {"right", true, cy, b.right, 3},
               {"top", false, cx, b.top, -3}, {"bottom", false, cx, b.bottom, 3}};
  for (const auto& sd : sides) {
    const int32 at = First_Dark(test, sd.horizontal, sd.line, Dots(sd.edge - sd.outward / 3), Dots(sd.edge + sd.outward));
    ASSERT_GE(at, 0) << f.layout << ": no outline on the " << sd.side;
    const double mm = (at + 0.5) / printsheet::kDotsPerMM;
    EXPECT_NEAR(mm, sd.edge, 0.5) << f.layout << ": the " << sd.side << " side";
  }

  // The document: ink only within half a millimetre of its units, or on the
  // crop marks 1 to 5 mm out in line with the edges of pieces cut from plain
  // paper; the photo printed on the measured unit.
  std::vector<uint8> allowed(size_t(doc.width) * size_t(doc.height), 0);
  const auto allow = [&](double l, double tp, double r, double bt) {
    for (int32 yy = std::max(0, Dots(tp)); yy < std::min(doc.height, Dots(bt)); ++yy)
      for (int32 xx = std::max(0, Dots(l)); xx < std::min(doc.width, Dots(r)); ++xx)
        allowed[size_t(yy) * size_t(doc.width) + size_t(xx)] = 1;
  };
  bool cropped = false;
  for (uint32 i = 0; i < x.nunits; ++i) {
    const a_frect& u = x.units[i].bbox;
    const a_frect& bl = x.units[i].bleed;  // artwork runs into the bleed
    allow(u.left - bl.left - 0.5, u.top - bl.top - 0.5, u.right + bl.right + 0.5, u.bottom + bl.bottom + 0.5);
    if ((x.units[i].uflags & (1u << UNIT_CROPMARKS)) == 0) continue;
    cropped = true;
    for (double ex : {double(u.left), double(u.right)}) {
      allow(ex - 0.5, u.top - 5.5, ex + 0.5, u.top - 0.5);
      allow(ex - 0.5, u.bottom + 0.5, ex + 0.5, u.bottom + 5.5);
    }
    // Booklets and wraps are marked at their middle too.
    const bool middle = Unit_Kind_Shape(x.units[i].kind) == SHAPE_BOOKLET;
    for (double ey : {double(u.top), double(u.bottom), middle ? (double(u.top) + u.bottom) / 2 : double(u.top)}) {
      allow(u.left - 5.5, ey - 0.5, u.left - 0.5, ey + 0.5);
      allow(u.right + 0.5, ey - 0.5, u.right + 5.5, ey + 0.5);
    }
  }
  int32 stray = 0, inked = 0;
  for (int32 yy = 0; yy < doc.height; ++yy)
    for (int32 xx = 0; xx < doc.width; ++xx)
      if (doc.Marked(xx, yy)) {
        if (!allowed[size_t(yy) * size_t(doc.width) + size_t(xx)]) ++stray;
        if (xx >= Dots(b.left) && xx < Dots(b.right) && yy >= Dots(b.top) && yy < Dots(b.bottom)) ++inked;
      }
  EXPECT_EQ(stray, 0) << f.layout << ": ink off its units";
  // A twentieth of the unit, or a 20 mm square on the large pieces, whose
  // photo takes no more room than on the small ones.
  EXPECT_GT(inked, std::min(Dots(b.right - b.left) * Dots(b.bottom - b.top) / 20, Dots(20) * Dots(20)))
      << f.layout << ": the photo did not print";
  if (cropped) {
    // The crop mark above the unit's left edge, in line with it.
    const int32 at = First_Dark(doc, true, Dots(b.top - 3), Dots(b.left - 2), Dots(b.left + 2));
    ASSERT_GE(at, 0) << f.layout << ": no crop mark above the left edge";
    EXPECT_NEAR((at + 0.5) / printsheet::kDotsPerMM, b.left, 0.5) << f.layout << ": crop mark";
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, LayoutFamilies, ::testing::ValuesIn(kFamilies),
                         [](const ::testing::TestParamInfo<Family>& i) {
                           std::string n;
                           for (const char* p = i.param.name; *p; ++p) n += *p == '-' ? '_' : *p;
                           return n;
                         });

}  // namespace
