// The interface items' art in the built library, checked against the item
// records of the generated header (pixel/ArtItems.h) that the item tables
// include: every row of the grid, one-shot and toggle tables is there, each
// artwork and each of its versions lies in its picture and is drawn, the
// pictures are 32-bit run-length pictures outside the language-dependent
// ids, and no language offset leads from one picture to another. Also the
// generator's refusals of a bad interface table.
#include <cstring>

#include "ArtLibSupport.h"
#include "pixel/ArtItems.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"
#include "ui/VoskStat.h"

namespace {

using namespace art_test;

class ArtInterface : public ArtLibrary {
 protected:
  // The tool pictures, loaded once each.
  Shown& Picture(int16 id) {
    auto it = pictures_.find(id);
    if (it == pictures_.end()) it = pictures_.emplace(id, Show(Pixt_Key(id))).first;
    return it->second;
  }
  std::map<int16, Shown> pictures_;
};

int32 Width(const Rect& r) { return r.right - r.left; }
int32 Height(const Rect& r) { return r.bottom - r.top; }

bool Inside(const Rect& r, const Shown& p) {
  return r.left >= 0 && r.top >= 0 && r.right <= p.width && r.bottom <= p.height && r.left < r.right && r.top < r.bottom;
}

Rect Moved(const Rect& r, int32 dh, int32 dv) {
  return Rect{int16(r.top + dv), int16(r.left + dh), int16(r.bottom + dv), int16(r.right + dh)};
}

std::string Text(const Rect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// Pixels the interface draws in r: translucent art where it has alpha,
// other art where it is not pure white (which is left out).
int32 Drawn(Shown& p, const Rect& r, bool translucent) {
  int32 n = 0;
  for (int32 y = r.top; y < r.bottom; ++y)
    for (int32 x = r.left; x < r.right; ++x) {
      const uint8* q = p.At(x, y);
      n += translucent ? q[3] != 0 : !(q[0] == 255 && q[1] == 255 && q[2] == 255);
    }
  return n;
}

bool Same_Pixels(Shown& p, const Rect& a, const Rect& b) {
  for (int32 y = 0; y < Height(a); ++y)
    if (std::memcmp(p.At(a.left, a.top + y), p.At(b.left, b.top + y), size_t(Width(a)) * 4) != 0) return false;
  return true;
}

struct a_listed {
  const a_art_item* item;
  char kind;  // 'g' grid, 'o' one-shot, 't' toggle, 's' slider
};

std::vector<a_listed> All() {
  std::vector<a_listed> all{{&ART_ITEM_SLIDER, 's'}};
  for (const a_art_item& it : ART_GRID_ITEMS) all.push_back({&it, 'g'});
  for (const a_art_item& it : ART_ONESHOT_ITEMS) all.push_back({&it, 'o'});
  for (const a_art_item& it : ART_TOGGLE_ITEMS) all.push_back({&it, 't'});
  all.push_back({&ART_ITEM_PHOTO_SHAD_TOGGLE_ALT, 't'});
  return all;
}

// The grids whose label is drawn into them keep only their first cell.
bool Has_Label(const a_art_item& it) {
  return std::string(it.name) == "PROJ_AGE_GRID" || std::string(it.name) == "PROJ_SORT_GRID" ||
         std::string(it.name) == "PRINT_MEDIA_GRID";
}

TEST(ArtInterfaceHeader, HoldsEveryRowOfTheItemTablesInTheirOrder) {
  EXPECT_EQ(std::size(ART_GRID_ITEMS), size_t(NGRIDS));
  EXPECT_EQ(std::size(ART_TOGGLE_ITEMS), size_t(NTOGGLES));
  EXPECT_EQ(std::size(ART_ONESHOT_ITEMS), 86u);
  // Rows the program already names are where it looks for them.
  const std::pair<int16, const char*> grids[] = {{PROJ_AGE_GRID, "PROJ_AGE_GRID"},   {PROJ_SORT_GRID, "PROJ_SORT_GRID"},
                                                 {GRAD_KIND_GRID, "GRAD_KIND_GRID"}, {GRAD_DIR_GRID, "GRAD_DIR_GRID"},
                                                 {SYMMETRY_KIND_GRID, "SYMMETRY_KIND_GRID"}, {ZOOM_GRID, "ZOOM_GRID"}};
  for (const auto& [ix, name] : grids) EXPECT_STREQ(ART_GRID_ITEMS[ix].name, name);
  EXPECT_STREQ(ART_GRID_ITEMS[NGRIDS - 1].name, "RULERS_UNITS_GRID");
  EXPECT_STREQ(ART_ONESHOT_ITEMS[0].name, "PROJ_LANG_BUTTON");
  EXPECT_STREQ(ART_ONESHOT_ITEMS[85].name, "PLAYBACK_BUTTON");
  EXPECT_STREQ(ART_TOGGLE_ITEMS[NTOGGLES - 1].name, "FLEX_VERIFY_TOGGLE");
  std::set<std::string> names;
  for (const a_listed& l : All())
    if (l.item != &ART_ITEM_PHOTO_SHAD_TOGGLE_ALT) {
      EXPECT_TRUE(names.insert(l.item->name).second) << l.item->name << " twice";
    }
  // The slider art is fixed; so is where the photo shadow toggle is read
  // from on the two kinds of page.
  EXPECT_EQ(ART_ITEM_SLIDER.pixtx, ART_PICT_SLIDER);
  EXPECT_TRUE(ART_ITEM_SLIDER.src_rect.left == 0 && ART_ITEM_SLIDER.src_rect.top == 0 &&
              Width(ART_ITEM_SLIDER.src_rect) == 319 && Height(ART_ITEM_SLIDER.src_rect) == 34);
  const a_art_item& shad = ART_TOGGLE_ITEMS[13];
  ASSERT_STREQ(shad.name, "PHOTO_SHAD_TOGGLE");
  EXPECT_TRUE(shad.pixtx == ART_PICT_SLIDER && shad.src_rect.left == 176 && shad.src_rect.top == 437 &&
              Width(shad.src_rect) == 28 && Height(shad.src_rect) == 28);
  EXPECT_TRUE(ART_ITEM_PHOTO_SHAD_TOGGLE_ALT.src_rect.left == 207 && ART_ITEM_PHOTO_SHAD_TOGGLE_ALT.src_rect.top == 437);
}

TEST_F(ArtInterface, EveryArtworkAndItsVersionsLieInItsPictureAndAreDrawn) {
  for (const a_listed& l : All()) {
    const a_art_item& it = *l.item;
    SCOPED_TRACE(std::string(it.name) + " in picture " + std::to_string(it.pixtx));
    const bool grid = l.kind == 'g';
    Shown& p = Picture(it.pixtx);
    ASSERT_TRUE(p.ok) << Name(Pixt_Key(it.pixtx)) << " does not load";
    const int32 versions = grid ? 3 : (l.kind == 'o' && it.src_verh == 0 && it.src_verv == 0) ? 1 : 2;
    if (l.kind == 's') continue;  // its parts are checked on their own
    for (int32 v = 0; v < versions; ++v) {
      const Rect r = Moved(it.src_rect, v * it.src_verh, v * it.src_verv);
      ASSERT_TRUE(Inside(r, p)) << "version " << v << " " << Text(r) << " outside " << p.width << " x " << p.height;
      if (!grid) {
        EXPECT_GT(Drawn(p, r, it.translucent), Width(r) * Height(r) / 10) << "version " << v << " " << Text(r) << " is blank";
        continue;
      }
      // A grid: its size follows from its cells, and every cell it draws
      // from holds art in every version.
      const int32 rows = it.grid_ncells.v, cols = it.grid_ncells.h;
      EXPECT_EQ(Width(r), cols * it.grid_cell.h - (cols - 1) * it.grid_overlap + it.grid_shadow);
      EXPECT_EQ(Height(r), rows * it.grid_cell.v - (rows - 1) * it.grid_overlap + it.grid_shadow);
      const int32 cells = Has_Label(it) ? 1 : rows * cols;
      for (int32 e = 0; e < cells; ++e) {
        const int32 col = e % cols, row = e / cols;
        const int16 x = int16(r.left + (it.grid_cell.h - it.grid_overlap) * col);
        const int16 y = int16(r.top + (it.grid_cell.v - it.grid_overlap) * row);
        const Rect cell{y, x, int16(y + it.grid_cell.v), int16(x + it.grid_cell.h)};
        ASSERT_TRUE(Inside(cell, p)) << "cell " << e << " version " << v;
        EXPECT_GT(Drawn(p, cell, it.translucent), it.grid_cell.v + it.grid_cell.h) << "cell " << e << " version " << v << " is blank";
      }
    }
    // Versions look different: a hilite, a value, a current cell shows.
    if (versions > 1) {
      EXPECT_FALSE(Same_Pixels(p, it.src_rect, Moved(it.src_rect, it.src_verh, it.src_verv))) << "version 1 looks like version 0";
    }
    // Art that is not translucent has no alpha; translucent art has.
    bool some_alpha = false;
    for (int32 v = 0; v < versions; ++v) {
      const Rect r = Moved(it.src_rect, v * it.src_verh, v * it.src_verv);
      for (int32 y = r.top; y < r.bottom; ++y)
        for (int32 x = r.left; x < r.right; ++x) {
          if (!it.translucent) {
            ASSERT_EQ(p.At(x, y)[3], 255) << "alpha at (" << x << "," << y << ")";
          }
          some_alpha |= p.At(x, y)[3] < 255;
        }
    }
    if (it.translucent) {
      EXPECT_TRUE(some_alpha) << "translucent art without alpha";
    }
  }
}

TEST_F(ArtInterface, SliderPartsLieInItsPictureAtTheirOnScreenSizes) {
  Shown& p = Picture(ART_ITEM_SLIDER.pixtx);
  ASSERT_TRUE(p.ok);
  // Label, rack, thumb, minus, plus, reset as the slider shows them.
  const int32 sizes[ART_SLIDER_PARTS_N][2] = {{249, 17}, {249, 5}, {18, 17}, {31, 24}, {31, 24}, {55, 16}};
  for (int look = 0; look < ART_SLIDER_LOOKS; ++look) {
    for (int part = 0; part < ART_SLIDER_PARTS_N; ++part) {
      const Rect& r = ART_SLIDER_PARTS[look][part];
      SCOPED_TRACE("look " + std::to_string(look) + " part " + std::to_string(part) + " " + Text(r));
      ASSERT_TRUE(Inside(r, p));
      EXPECT_EQ(Width(r), sizes[part][0]);
      EXPECT_EQ(Height(r), sizes[part][1]);
      if (part != ART_PART_LABEL) {
        EXPECT_GT(Drawn(p, r, false), 20) << "blank";
      }
    }
  }
  // Each look of the stepping buttons is a look of its own; the other parts'
  // hilited and dimmed looks too.
  for (const int part : {ART_PART_MINUS, ART_PART_PLUS})
    for (int a = 0; a < ART_SLIDER_LOOKS; ++a)
      for (int b = a + 1; b < ART_SLIDER_LOOKS; ++b)
        EXPECT_FALSE(Same_Pixels(p, ART_SLIDER_PARTS[a][part], ART_SLIDER_PARTS[b][part])) << "part " << part << ", looks " << a << " and " << b;
  for (const int part : {ART_PART_RACK, ART_PART_THUMB, ART_PART_RESET})
    for (const int look : {ART_SLIDER_HILITE, ART_SLIDER_DIM})
      EXPECT_FALSE(Same_Pixels(p, ART_SLIDER_PARTS[ART_SLIDER_PLAIN][part], ART_SLIDER_PARTS[look][part])) << "part " << part;
  // The thumb moves over the rack: it is not drawn within the slider's own
  // rectangle, or a part of the rack would carry a thumb.
  const Rect& thumb = ART_SLIDER_PARTS[ART_SLIDER_PLAIN][ART_PART_THUMB];
  EXPECT_TRUE(thumb.left >= ART_ITEM_SLIDER.src_rect.right || thumb.top >= ART_ITEM_SLIDER.src_rect.bottom) << Text(thumb);
}

TEST_F(ArtInterface, ToolPicturesAreRunLengthPicturesAnInterfaceCanLoad) {
  std::set<int16> ids(std::begin(ART_ITEM_PICTURES), std::end(ART_ITEM_PICTURES));
  for (const a_listed& l : All()) EXPECT_TRUE(ids.count(l.item->pixtx)) << l.item->name << " uses an unlisted picture";
  // A panel's items all load at once: with the tags and the slider no
  // configuration comes near the interface's 20 cached pictures.
  EXPECT_LE(ids.size() + 4, 20u);
  size_t bytes = 0;
  for (const int16 id : ids) {
    const a_keyset key = Pixt_Key(id);
    SCOPED_TRACE(Name(key));
    EXPECT_FALSE(id >= ART_PICT_LANGUAGE_FIRST && id <= ART_PICT_LANGUAGE_LAST) << "takes the language offset";
    Shown& p = Picture(id);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.depth, 32);
    EXPECT_EQ(p.flags, PIXT_FLAG_RLE);
    EXPECT_LE(p.width, ART_PICT_MAX_WIDTH);
    bytes += Bytes(key).size();
  }
  EXPECT_LE(bytes, size_t(2) << 20) << "the interface pictures take more than 2 MB";
}

TEST_F(ArtInterface, NoLanguageOffsetLeadsFromOnePictureToAnother) {
  const std::vector<a_keyset> keys = Keys(a_keyset{ART_PICTURE, 0, 0, 0}, 1);
  ASSERT_FALSE(keys.empty());
  std::set<int16> ids;
  for (const a_keyset& k : keys) ids.insert(k.b);
  for (const a_keyset& k : keys) {
    EXPECT_TRUE(k.c == 0 && k.d == 0) << Name(k);
    // Add_Ref adds the language offset to ids from 160 to 400 whenever a
    // picture of the sum exists; that must be the same picture's
    // translation, never another picture.
    if (k.b < ART_PICT_LANGUAGE_FIRST || k.b > ART_PICT_LANGUAGE_LAST) continue;
    for (int16 off = 1; off <= ART_LANGUAGE_OFFSET_MAX; ++off)
      EXPECT_FALSE(ids.count(int16(k.b + off))) << Name(k) << " + language " << off << " is picture " << k.b + off;
  }
}

// ---------------------------------------------------------------------------
// The generator's refusals
// ---------------------------------------------------------------------------
// The interface table with the row of `name` replaced (or, for an empty
// name, a row added).
std::string Edited(const std::string& table, const std::string& name, const std::string& row) {
  if (name.empty()) return table + row + "\n";
  std::istringstream in(table);
  std::string out, line;
  bool done = false;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind, item;
    words >> kind >> item;
    if (!done && item == name) {
      done = true;
      if (!row.empty()) out += row + "\n";
      continue;
    }
    out += line + "\n";
  }
  EXPECT_TRUE(done) << "the table has no row " << name;
  return out;
}

TEST(ArtInterfaceTable, BadRowsStopTheRunNamingWhy) {
  const std::string table = Read_All(VELMOR_ART_DIR "/interface.txt");
  ASSERT_FALSE(table.empty());
  struct Case {
    std::string name, row;  // the row replaced (empty: added) and its new text
    std::string want;
  };
  const Case cases[] = {
      {"", "grid NO_SUCH_GRID pic=140 at=0,0 cells=1x1 cell=9x9 ver=0,20 motif=tools", "no icon grid is called NO_SUCH_GRID"},
      {"TOOL_GRID", "", "no row for the icon grid TOOL_GRID"},
      {"UNDO_BUTTON", "oneshot UNDO_BUTTON pic=140 at=9000,0 size=40x32 ver=44,0 motif=undo", "lies outside picture 140"},
      {"UNDO_BUTTON", "oneshot UNDO_BUTTON pic=139 at=0,0 size=40x32 ver=44,0 motif=undo", "overlaps the art of SLIDER"},
      {"UNDO_BUTTON", "oneshot UNDO_BUTTON pic=140 at=0,0 size=40x32 ver=20,0 motif=undo", "versions overlap each other"},
      {"", "picture 200 10x10 \"in the language range\"", "picture 200 lies in 160 to 400"},
      {"", "picture 150 9000x10 \"too wide\"", "more than 8191"},
      {"", "picture 600 10x10 \"another family's id\"", "item pictures take 139, 140 to 159 or 401 to 499"},
      {"UNDO_BUTTON", "oneshot UNDO_BUTTON pic=140 at=0,0 size=40x32 ver=44,0 motif=teapot", "no one-shot motif is called teapot"},
      {"TOOL_GRID", "grid TOOL_GRID pic=140 at=0,0 cells=2x7 cell=30x34 ver=0,70 motif=tools", "has 2x8 cells of 30x34"},
      {"TAG_FONT", "grid TAG_FONT pic=142 at=0,0 cells=1x1 cell=35x88 overlap=0 shadow=0 ver=0,39 motif=tag-font",
       "TAG_FONT is translucent in the item table"},
      {"TEXT_OK_BUTTON", "oneshot TEXT_OK_BUTTON pic=139 at=0,0 size=120x34 ver=124,0 motif=undo", "takes a plain face"},
      {"TEXT_OK_BUTTON", "oneshot TEXT_OK_BUTTON as=UNDO_BUTTON", "cannot share the art of UNDO_BUTTON"},
      {"ZOOM_GRID", "grid ZOOM_GRID pic=142 at=0,0 cells=5x1 cell=21x45 overlap=1 shadow=1 ver=0,110 motif=tools",
       "motif tools draws 16 cells, the grid shows 5"},
      {"", "oneshot UNDO_BUTTON as=REDO_BUTTON", "UNDO_BUTTON has a row already"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    Expect_Table_Refused("interface.txt", Edited(table, c.name, c.row), c.want, true, true);
  }
}

}  // namespace
