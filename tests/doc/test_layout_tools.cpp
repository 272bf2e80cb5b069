// The layout tools: the converter rerun on the unpacked glabels-data package
// reproduces the committed converted.txt byte for byte and reports what it
// left out and why (skipped when the package is not unpacked); the catalogue
// compiler refuses bad rows with FILE:LINE and sorts what it accepts.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TempDirSupport.h"

namespace {

std::string Build_Dir() {
  const std::string exe = VELMOR4_EXE;
  return exe.substr(0, exe.find_last_of('/'));
}

std::string Tool(const char* name) { return Build_Dir() + "/tools/" + name; }

// Runs a shell command; its exit status.
int Shell(const std::string& cmd) {
  const int st = std::system(cmd.c_str());
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::string Templates_Dir() {
  std::string dir;
  if (const char* d = std::getenv("VELMOR_GLABELS_DIR"); d != nullptr && d[0] != 0) {
    dir = d;
  } else if (const char* c = std::getenv("XDG_CACHE_HOME"); c != nullptr && c[0] == '/') {
    dir = std::string(c) + "/velmor4/glabels-data";
  } else if (const char* h = std::getenv("HOME"); h != nullptr) {
    dir = std::string(h) + "/.cache/velmor4/glabels-data";
  }
  return dir + "/root/usr/share/libglabels-3.0/templates";
}

class LayoutTools : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testdir::Make_Temp_Dir("velmor-layouts");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { testdir::Remove_Dir(dir_); }

  // Compiles the rows; the exit status, with standard error in *err.
  int Compile(const std::string& rows, std::string* err, std::string* cpp = nullptr) {
    testdir::Write_Text(dir_ + "/rows.txt", rows);
    const int rc = Shell("'" + Tool("velmor_layoutc") + "' --cpp '" + dir_ + "/out.cpp' '" + dir_ + "/rows.txt' 2>'" +
                       dir_ + "/err.txt'");
    *err = testdir::Read_Text(dir_ + "/err.txt");
    if (cpp) *cpp = testdir::Read_Text(dir_ + "/out.cpp");
    return rc;
  }
  std::string dir_;
};

TEST_F(LayoutTools, ConverterRerunReproducesTheCommittedRows) {
  const std::string templates = Templates_Dir();
  if (testdir::Read_Text(templates + "/paper-sizes.xml").empty())
    GTEST_SKIP() << "glabels-data is not unpacked (scripts/convert-layouts.sh fetches it; VELMOR_GLABELS_DIR "
                    "names another folder)";
  const std::string out = dir_ + "/converted.txt", report = dir_ + "/report.txt";
  ASSERT_EQ(Shell("'" + Tool("velmor_glabelsconv") + "' --templates '" + templates + "' --overrides '" +
                VELMOR_SOURCE_DIR + "/data/layouts/overrides.txt' --out '" + out + "' --report '" + report + "'"),
            0);
  const std::string committed = testdir::Read_Text(std::string(VELMOR_SOURCE_DIR) + "/data/layouts/converted.txt");
  ASSERT_FALSE(committed.empty());
  EXPECT_TRUE(testdir::Read_Text(out) == committed) << "converted.txt differs from a fresh conversion";
  const std::string rep = testdir::Read_Text(report);
  for (const char* line : {"Avery L4730: 270 labels on the sheet, more than the 250 a layout holds",
                           "Rayfilm 3442: 270 labels on the sheet",
                           "Herma 10801: alias of 4608, which the package does not hold"})
    EXPECT_NE(rep.find(line), std::string::npos) << "report lacks: " << line << "\n" << rep;
}

TEST_F(LayoutTools, ConverterRefusesAnOverrideThatMatchesNothing) {
  const std::string templates = Templates_Dir();
  if (testdir::Read_Text(templates + "/paper-sizes.xml").empty()) GTEST_SKIP() << "glabels-data is not unpacked";
  testdir::Write_Text(dir_ + "/over.txt", "\"Avery\" \"NO-SUCH-PART\" kind=UNIT_FLOPPY # a stale line\n");
  ASSERT_EQ(Shell("'" + Tool("velmor_glabelsconv") + "' --templates '" + templates + "' --overrides '" + dir_ +
                "/over.txt' --out '" + dir_ + "/c.txt' --report '" + dir_ + "/r.txt' 2>'" + dir_ + "/err.txt'"),
            1);
  EXPECT_NE(testdir::Read_Text(dir_ + "/err.txt").find("over.txt:1: no template Avery \"NO-SUCH-PART\""),
            std::string::npos);
}

TEST_F(LayoutTools, ConverterTurnsStaggersAndFlagsSheetsByTheirGeometry) {
  // A package of five sheets: business-card discs cut at the sides on a
  // portrait letter sheet (turned, they are cut at the top and bottom), three
  // discs in a zigzag (one staggered grid going left, the boxes overlapping),
  // labels in touching rows with bleed (kept across, outside only down),
  // business cards and foldable business cards (kinds by category).
  const std::string pkg = dir_ + "/pkg";
  ASSERT_EQ(Shell("mkdir -p '" + pkg + "'"), 0);
  testdir::Write_Text(pkg + "/paper-sizes.xml",
                      "<?xml version=\"1.0\"?>\n<Glabels-paper-sizes>\n"
                      "  <Paper-size id=\"A4\" name=\"A4\" width=\"210mm\" height=\"297mm\"/>\n"
                      "  <Paper-size id=\"US-Letter\" name=\"US Letter\" width=\"8.5in\" height=\"11in\"/>\n"
                      "</Glabels-paper-sizes>\n");
  testdir::Write_Text(
      pkg + "/maker-templates.xml",
      "<?xml version=\"1.0\"?>\n<Glabels-templates>\n"
      "  <Template brand=\"Maker\" part=\"BCD\" size=\"US-Letter\"><Meta category=\"media\"/>\n"
      "    <Label-cd id=\"0\" radius=\"1.5in\" width=\"2.3in\" hole=\"0.25in\">\n"
      "      <Layout nx=\"2\" ny=\"2\" x0=\"1in\" y0=\"1in\" dx=\"3in\" dy=\"4in\"/></Label-cd></Template>\n"
      "  <Template brand=\"Maker\" part=\"ZIG\" size=\"A4\"><Meta category=\"media\"/>\n"
      "    <Label-cd id=\"0\" radius=\"55mm\" hole=\"7.5mm\">\n"
      "      <Layout nx=\"1\" ny=\"2\" x0=\"91.5mm\" y0=\"9mm\" dx=\"0mm\" dy=\"166mm\"/>\n"
      "      <Layout nx=\"1\" ny=\"1\" x0=\"9mm\" y0=\"92mm\" dx=\"0mm\" dy=\"0mm\"/></Label-cd></Template>\n"
      "  <Template brand=\"Maker\" part=\"TOUCH\" size=\"A4\"><Meta category=\"label\"/>\n"
      "    <Label-rectangle id=\"0\" width=\"50mm\" height=\"30mm\" waste=\"2mm\">\n"
      "      <Layout nx=\"3\" ny=\"4\" x0=\"10mm\" y0=\"10mm\" dx=\"60mm\" dy=\"30mm\"/></Label-rectangle></Template>\n"
      "  <Template brand=\"Maker\" part=\"CARD\" size=\"A4\"><Meta category=\"business-card\"/>\n"
      "    <Label-rectangle id=\"0\" width=\"85mm\" height=\"54mm\">\n"
      "      <Layout nx=\"2\" ny=\"5\" x0=\"15mm\" y0=\"13.5mm\" dx=\"95mm\" dy=\"55mm\"/></Label-rectangle></Template>\n"
      "  <Template brand=\"Maker\" part=\"FOLD\" size=\"A4\"><Meta category=\"business-card\"/>"
      "<Meta category=\"foldable\"/>\n"
      "    <Label-rectangle id=\"0\" width=\"170mm\" height=\"54mm\">\n"
      "      <Layout nx=\"1\" ny=\"5\" x0=\"20mm\" y0=\"13.5mm\" dx=\"0mm\" dy=\"55mm\"/></Label-rectangle></Template>\n"
      "</Glabels-templates>\n");
  const std::string over = dir_ + "/over.txt";
  testdir::Write_Text(over,
                      "category \"business-card\" kind=UNIT_VISITING # cards\n"
                      "category \"business-card+foldable\" kind=UNIT_VISITING2 # folded cards\n"
                      "\"Maker\" \"BCD\" turn=landscape # read on the turned page\n");
  const std::string run = "'" + Tool("velmor_glabelsconv") + "' --templates '" + pkg + "' --overrides '" + over +
                          "' --out '" + dir_ + "/c.txt' --report '" + dir_ + "/r.txt' 2>'" + dir_ + "/err.txt'";
  ASSERT_EQ(Shell(run), 0) << testdir::Read_Text(dir_ + "/err.txt");
  const std::string rows = testdir::Read_Text(dir_ + "/c.txt");
  for (const char* want :
       {"\"Maker BCD\" paper=215.9,279.4 flags=IS_LANDSCAPE",
        "unit UNIT_MINICD_HOCKEY grid=2x2 at=25.4,55.88 size=76.2,58.42 pitch=101.6,76.2 meas=12.7,0,0,0\n",
        "unit UNIT_CD grid=1x3 at=91.5,9 size=110,110 pitch=-82.5,83 meas=15,0,0,0 uflags=UNIT_STAGGERED|UNIT_CLOBBERS\n",
        "unit UNIT_RECT grid=3x4 at=10,10 size=50,30 pitch=60,30 bleed=2,2,2,2 uflags=UNIT_PERIMETERPLUSH\n",
        "unit UNIT_VISITING grid=2x5", "unit UNIT_VISITING2 grid=1x5"})
    EXPECT_NE(rows.find(want), std::string::npos) << "no row " << want << " in\n" << rows;
  // The rows compile; a turn on a sheet turned already, or a category no
  // template has, stops the conversion at its line.
  std::string err;
  EXPECT_EQ(Compile(rows, &err), 0) << err;
  testdir::Write_Text(over, "\"Maker\" \"BCD\" turn=landscape # once\n\"Maker\" \"BCD\" turn=landscape # twice\n");
  EXPECT_EQ(Shell(run), 1);
  EXPECT_NE(testdir::Read_Text(dir_ + "/err.txt").find("over.txt:2: the sheet is turned already"), std::string::npos)
      << testdir::Read_Text(dir_ + "/err.txt");
  testdir::Write_Text(over, "category \"no-such\" kind=UNIT_VISITING # stale\n");
  EXPECT_EQ(Shell(run), 1);
  EXPECT_NE(testdir::Read_Text(dir_ + "/err.txt").find("over.txt:1: no template of that category"), std::string::npos)
      << testdir::Read_Text(dir_ + "/err.txt");
}

TEST_F(LayoutTools, CompilerRefusesBadRowsWithTheirLine) {
  const std::string ok_unit = "  unit UNIT_RECT grid=2x2 at=10,10 size=50,50 pitch=60,60\n";
  const std::string head = "entry MAKE_0001 \"Maker 1\" paper=210,297 source=\"a sheet\"\n";
  struct Case {
    std::string rows, line_and_message;
  };
  const Case cases[] = {
      {"# only a comment\nentry MAKE_0001 \"Maker 1\" paper=210,297\n" + ok_unit, "rows.txt:2: entry without source="},
      {head + "  unit UNIT_SQUARE grid=1x1 at=0,0 size=5,5\n", "rows.txt:2: unknown unit kind \"UNIT_SQUARE\""},
      {head + "  unit UNIT_RECT grid=1x1 at=0,0 size=5,x5\n", "rows.txt:2: bad number \"x5\" in size"},
      {head + "  unit UNIT_RECT grid=0x1 at=0,0 size=5,5\n", "rows.txt:2: grid needs at least one column"},
      {head + "  unit UNIT_RECT grid=1x1 at=0,0 size=5,0\n", "rows.txt:2: size must be above 0"},
      {head + "  unit UNIT_RECT grid=1x1 at=0,0 size=5,5 bleed=0,0,-1,0\n", "rows.txt:2: bleeds must not be below 0"},
      {head + "  unit UNIT_RECT grid=26x10 at=0,0 size=5,5 pitch=5,5\n", "rows.txt:1: an entry expands to 1 to 250"},
      {head + "  unit UNIT_RECT grid=1x1 at=200,0 size=50,50\n", "rows.txt:2: units run off the paper"},
      {head + "  unit UNIT_RECT grid=1x1 at=0,0 size=5,5 uflags=UNIT_SPIN\n", "rows.txt:2: unknown flag \"UNIT_SPIN\""},
      {"entry MAKE_0001 \"Maker 1\" paper=120,120 flags=IS_CDPRINTER source=\"disc\"\n" + ok_unit,
       "rows.txt:2: a disc-printer layout must start with a disc kind"},
      {"entry MAKER_00000001 \"Maker 1\" paper=210,297 source=\"a sheet\"\n" + ok_unit,
       "rows.txt:1: sort key must be 1 to 12"},
      {"entry MAKE_0001 \"\" paper=210,297 source=\"a sheet\"\n" + ok_unit, "rows.txt:1: label must be 1 to 31"},
      {"entry MAKE_0001 \"Maker with a label much longer than allowed\" paper=210,297 source=\"a sheet\"\n" + ok_unit,
       "rows.txt:1: label must be 1 to 31"},
      {head + ok_unit + ok_unit + ok_unit + ok_unit + ok_unit + ok_unit + ok_unit,
       "rows.txt:8: an entry holds at most 6"},
      {head + ok_unit + head + ok_unit, "rows.txt:3: label \"Maker 1\" also at"},
      {head + ok_unit + "entry MAKE_0002 \"Other 2\" paper=210,297 source=\"a sheet\"\n" + ok_unit,
       "rows.txt:3: maker code MAKE is brand \"Maker\""},
      {head + ok_unit + "entry MAKX_0002 \"Maker 2\" paper=210,297 source=\"a sheet\"\n" + ok_unit,
       "rows.txt:3: brand \"Maker\" has maker code MAKE"},
      {"  unit UNIT_RECT grid=1x1 at=0,0 size=5,5\n", "rows.txt:1: unit line before any entry"},
      {head, "rows.txt:1: entry without units"},
      {head + "  unit UNIT_RECT grid=1x1 at=0,0 size=5,5 colour=red\n", "rows.txt:2: unknown key \"colour\""},
  };
  for (const Case& k : cases) {
    std::string err;
    EXPECT_EQ(Compile(k.rows, &err), 1) << k.rows;
    EXPECT_NE(err.find(k.line_and_message), std::string::npos) << "wanted " << k.line_and_message << "\ngot " << err;
  }
}

TEST_F(LayoutTools, CompilerSortsByKeyThenLabelAndTurnsLandscapePages) {
  const std::string rows =
      "entry ZZZZ_1 \"Zed 1\" paper=210,297 source=\"a sheet\"\n"
      "  unit UNIT_CD grid=1x1 at=10,10 size=100,100 meas=41,0,0,0\n"
      "entry AAAA_1 \"Aa b\" paper=210,297 source=\"a sheet\"\n"
      "  unit UNIT_RECT grid=1x1 at=0,0 size=297,210\n"  // fits only the turned page
      "entry AAAA_1 \"Aa a\" paper=210,297 flags=IS_LANDSCAPE source=\"a sheet\"\n"
      "  unit UNIT_RECT grid=1x1 at=0,0 size=297,210\n";
  std::string err, cpp;
  ASSERT_EQ(Compile(rows, &err), 1);
  EXPECT_NE(err.find("rows.txt:4: units run off the paper"), std::string::npos) << err;
  ASSERT_EQ(Compile(rows.substr(0, rows.find("entry AAAA_1 \"Aa b\"")) +
                        rows.substr(rows.find("entry AAAA_1 \"Aa a\"")) +
                        "entry AAAA_0 \"Aa c\" paper=210,297 source=\"a sheet\"\n  unit UNIT_OVAL grid=1x1 at=0,0 size=5,5\n",
                    &err, &cpp),
            0)
      << err;
  const size_t c = cpp.find("\"Aa c\""), a = cpp.find("\"Aa a\""), z = cpp.find("\"Zed 1\"");
  ASSERT_NE(c, std::string::npos);
  EXPECT_LT(c, a);
  EXPECT_LT(a, z);
  EXPECT_NE(cpp.find("const uint32 NTEMPLATES = 3;"), std::string::npos);
  EXPECT_NE(cpp.find("static_assert(UNIT_BLURAY_WRAP == 69);"), std::string::npos);
}

}  // namespace
