// The stamps and borders of the program's picture library, as the build
// draws them: stamps are coloured art cut cleanly from pure white (the
// stamp tool leaves white out, so a pale blend at an edge would show as a
// fringe on dark paint and a stray white pixel as a pinhole); borders carry
// their pieces and markers exactly where the border tool's reader looks,
// and their pieces join one another round a frame. Also the generator's
// refusals of bad rows in art/stamps.txt and art/borders.txt.
#include <cmath>

#include "ArtLibSupport.h"

namespace {

using namespace art_test;

class ArtStamps : public ArtLibrary {};
class ArtBorders : public ArtLibrary {};

bool White_At(const uint8* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }

// A window on a picture: the whole of it, or one piece of a border.
struct View {
  Shown* s;
  int32 x0, y0, w, h;
  const uint8* At(int32 x, int32 y) const { return s->At(x0 + x, y0 + y); }
  bool White(int32 x, int32 y) const { return White_At(At(x, y)); }
  bool Inside(int32 x, int32 y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

View Whole(Shown& s) { return View{&s, 0, 0, s.width, s.height}; }

// The share of edge pixels (inked, beside white) that are a pale blend of
// the ink next to them with white: lighter in every channel by a good part
// of the way to white. Art cut on white has next to none; art drawn with
// soft edges onto white has them all round.
double Pale_Edge_Share(const View& v) {
  int edges = 0, pale = 0;
  const int32 dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
  for (int32 y = 0; y < v.h; ++y) {
    for (int32 x = 0; x < v.w; ++x) {
      if (v.White(x, y)) continue;
      for (int d = 0; d < 4; ++d) {
        const int32 wx = x + dx[d], wy = y + dy[d], ix = x - dx[d], iy = y - dy[d];
        if (!v.Inside(wx, wy) || !v.White(wx, wy) || !v.Inside(ix, iy) || v.White(ix, iy)) continue;
        ++edges;
        const uint8 *p = v.At(x, y), *q = v.At(ix, iy);
        bool lighter = true;
        double share = 0;
        int counted = 0;
        for (int c = 0; c < 3; ++c) {
          lighter = lighter && p[c] + 3 >= q[c];
          if (255 - q[c] >= 40) share += double(p[c] - q[c]) / (255 - q[c]), ++counted;
        }
        if (lighter && counted > 0 && share / counted >= 0.25) ++pale;
        break;
      }
    }
  }
  return edges == 0 ? 0.0 : double(pale) / edges;
}

// White pixels shut in by ink, in clusters too small to be a hole the art
// means (a disc's centre, a reel's windows): pinholes, where an own white
// reached 255 or a thin gap fell below half cover.
int Pinholes(const View& v) {
  std::vector<int> mark(size_t(v.w) * size_t(v.h), 0);  // 1 reached from outside, 2 counted
  std::vector<std::pair<int32, int32>> stack;
  for (int32 y = 0; y < v.h; ++y)
    for (int32 x = 0; x < v.w; ++x)
      if ((x == 0 || y == 0 || x == v.w - 1 || y == v.h - 1) && v.White(x, y)) stack.emplace_back(x, y);
  auto flood = [&](int tag) {
    int n = 0;
    while (!stack.empty()) {
      const auto [x, y] = stack.back();
      stack.pop_back();
      int& m = mark[size_t(y) * size_t(v.w) + size_t(x)];
      if (m != 0) continue;
      m = tag;
      ++n;
      const int32 nx[4] = {x + 1, x - 1, x, x}, ny[4] = {y, y, y + 1, y - 1};
      for (int d = 0; d < 4; ++d)
        if (v.Inside(nx[d], ny[d]) && v.White(nx[d], ny[d])) stack.emplace_back(nx[d], ny[d]);
    }
    return n;
  };
  flood(1);
  int small = 0;
  for (int32 y = 0; y < v.h; ++y) {
    for (int32 x = 0; x < v.w; ++x) {
      if (!v.White(x, y) || mark[size_t(y) * size_t(v.w) + size_t(x)] != 0) continue;
      stack.emplace_back(x, y);
      if (flood(2) < 4) ++small;
    }
  }
  return small;
}

// ---------------------------------------------------------------------------
// Stamps
// ---------------------------------------------------------------------------
TEST_F(ArtStamps, EnoughStampsInGroupsWithoutThumbnails) {
  const std::vector<a_keyset> keys = Keys(a_keyset{ART_STAMP, 0, 0, 0}, 1);
  ASSERT_GE(int(keys.size()), ART_MIN_STAMPS);
  std::set<int16> groups;
  for (const a_keyset& k : keys) {
    groups.insert(k.b);
    EXPECT_EQ(k.d, 0) << Name(k);
    // The stamp bar draws the next key instead when it exists.
    EXPECT_FALSE(OP_Exists(a_keyset{k.a, k.b, k.c, int16(k.d + 1)})) << Name(k) << " has a thumbnail";
  }
  EXPECT_GE(int(groups.size()), ART_MIN_STAMP_GROUPS);
}

TEST_F(ArtStamps, StampsAreColouredArtOnPureWhite) {
  for (const a_keyset& k : Keys(a_keyset{ART_STAMP, 0, 0, 0}, 1)) {
    Shown s = Show(k);
    ASSERT_TRUE(s.ok) << Name(k) << " does not load";
    EXPECT_EQ(s.depth, 32) << Name(k);
    EXPECT_EQ(s.flags, PIXT_FLAG_RLE) << Name(k);
    EXPECT_TRUE(s.width >= ART_STAMP_MIN_SIZE && s.width <= ART_STAMP_MAX_SIZE && s.height >= ART_STAMP_MIN_SIZE &&
                s.height <= ART_STAMP_MAX_SIZE)
        << Name(k) << " " << s.width << " x " << s.height;
    int inked = 0, rim_ink = 0, chroma = 0;
    for (int32 y = 0; y < s.height; ++y) {
      for (int32 x = 0; x < s.width; ++x) {
        const uint8* p = s.At(x, y);
        ASSERT_EQ(p[3], 255) << Name(k) << " not opaque at " << x << ", " << y;
        if (White_At(p)) continue;
        ++inked;
        rim_ink += x == 0 || y == 0 || x == s.width - 1 || y == s.height - 1;
        chroma = std::max(chroma, std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}));
      }
    }
    EXPECT_EQ(rim_ink, 0) << Name(k) << " runs off its picture";
    EXPECT_GT(inked, s.width * s.height / 12) << Name(k) << " is mostly empty";
    EXPECT_GE(chroma, 80) << Name(k) << " has no strong colour";
  }
}

TEST_F(ArtStamps, EdgesAreCutWithoutFringeOrPinholes) {
  for (const a_keyset& k : Keys(a_keyset{ART_STAMP, 0, 0, 0}, 1)) {
    Shown s = Show(k);
    ASSERT_TRUE(s.ok) << Name(k);
    EXPECT_LE(Pale_Edge_Share(Whole(s)), 0.03) << Name(k) << " has a pale fringe";
    EXPECT_EQ(Pinholes(Whole(s)), 0) << Name(k) << " has white pinholes";
  }
}

// The two checks above on art made to fail them: a disc blended softly onto
// white, and one cut on white with a white pixel in it.
TEST(ArtStampChecks, FindAFringeAndAPinhole) {
  Shown soft, cut;
  for (Shown* s : {&soft, &cut}) {
    s->width = s->height = 40;
    s->rgba.assign(40 * 40 * 4, 255);
  }
  const uint8 ink[3] = {40, 90, 200};
  for (int32 y = 0; y < 40; ++y) {
    for (int32 x = 0; x < 40; ++x) {
      int in = 0;  // cover out of 16
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) in += std::hypot(x + (sx + 0.5) / 4 - 20, y + (sy + 0.5) / 4 - 20) < 15;
      for (int c = 0; c < 3; ++c) {
        soft.At(x, y)[c] = uint8(255 - (255 - ink[c]) * in / 16);
        if (in >= 8) cut.At(x, y)[c] = ink[c];
      }
    }
  }
  EXPECT_GT(Pale_Edge_Share(Whole(soft)), 0.3);
  EXPECT_LT(Pale_Edge_Share(Whole(cut)), 0.01);
  EXPECT_EQ(Pinholes(Whole(cut)), 0);
  for (int c = 0; c < 3; ++c) cut.At(14, 20)[c] = 255;
  EXPECT_EQ(Pinholes(Whole(cut)), 1);
}

// ---------------------------------------------------------------------------
// Borders: the border tool's reading of the markers, done here afresh
// ---------------------------------------------------------------------------
struct Box {
  int32 top = 0, left = 0, bottom = 0, right = 0;  // bottom and right outside
  bool Empty() const { return bottom <= top || right <= left; }
  int32 W() const { return right - left; }
  int32 H() const { return bottom - top; }
};

struct Layout {
  int cls = 2;
  Box corner, side, sliver;
  bool side_found = false;
};

uint32 Pixel(Shown& s, int32 x, int32 y) {
  const uint8* p = s.At(x, y);
  return uint32(p[0]) << 24 | uint32(p[1]) << 16 | uint32(p[2]) << 8 | p[3];
}

Layout Read_Layout(Shown& s) {
  const uint32 sep = Pixel(s, 0, 0);
  auto is_sep = [&](int32 x, int32 y) { return x < s.width && y < s.height && Pixel(s, x, y) == sep; };
  // From spos + 1 along the separator line to where the next line down (or
  // across) is the separator too; 0 when the line breaks or ends first.
  auto find_h = [&](int32 y, int32 spos) {
    for (int32 x = spos + 1; x < s.width && is_sep(x, y); ++x)
      if (is_sep(x, y + 1)) return x;
    return 0;
  };
  auto find_v = [&](int32 x, int32 spos) {
    for (int32 y = spos + 1; y < s.height && is_sep(x, y); ++y)
      if (is_sep(x + 1, y)) return y;
    return 0;
  };
  auto rgb = [&](int32 x, int32 y) { return Pixel(s, x, y) >> 8; };
  Layout sp;
  const int32 last = s.width - 1;
  if (rgb(last, 0) == 0xFFFFFF && rgb(last, 1) == 0xFF00FF) {
    for (int32 y = 2; y <= 5; ++y) {
      if (rgb(last, y) == 0) {
        sp.cls = int(y - 1);
        break;
      }
    }
  }
  sp.corner = Box{1, 1, find_v(0, 0), find_h(0, 0)};
  Box side, sliver;
  if (sp.corner.right + 1 < s.width) {
    side = Box{1, sp.corner.right + 1, find_v(sp.corner.right, 0), find_h(0, sp.corner.right)};
    sliver = Box{1, side.right + 1, find_v(side.right, 0), find_h(0, side.right)};
  } else if (sp.corner.bottom + 1 < s.height) {
    side = Box{sp.corner.bottom + 1, 1, find_v(0, sp.corner.bottom), find_h(sp.corner.bottom, 0)};
    sliver = Box{1, side.right + 1, find_v(side.right, 0), find_h(sp.corner.bottom, side.right)};
  }
  sp.side_found = side.bottom != 0 && side.right != 0;
  sp.side = sp.side_found ? side : sp.corner;
  if (sp.side_found && sliver.bottom != 0 && sliver.right != 0) sp.sliver = sliver;
  return sp;
}

// A piece cut out, or turned by quarters clockwise, or mirrored.
struct Piece {
  int32 w = 0, h = 0;
  std::vector<bool> ink;  // not white
  bool At(int32 x, int32 y) const { return ink[size_t(y) * size_t(w) + size_t(x)]; }
};

Piece Cut(Shown& s, const Box& b) {
  Piece p{b.W(), b.H(), {}};
  for (int32 y = b.top; y < b.bottom; ++y)
    for (int32 x = b.left; x < b.right; ++x) p.ink.push_back(!White_At(s.At(x, y)));
  return p;
}

Piece Map(const Piece& p, int quarters, bool mirror_x, bool mirror_y) {
  const bool swap = quarters % 2 == 1;
  Piece q{swap ? p.h : p.w, swap ? p.w : p.h, {}};
  q.ink.resize(p.ink.size());
  for (int32 y = 0; y < q.h; ++y) {
    for (int32 x = 0; x < q.w; ++x) {
      const int32 mx = mirror_x ? q.w - 1 - x : x, my = mirror_y ? q.h - 1 - y : y;
      // The source pixel that turning clockwise brings to (mx, my).
      int32 sx = mx, sy = my;
      if (quarters == 1) sx = my, sy = p.h - 1 - mx;
      if (quarters == 2) sx = p.w - 1 - mx, sy = p.h - 1 - my;
      if (quarters == 3) sx = p.w - 1 - my, sy = mx;
      q.ink[size_t(y) * size_t(q.w) + size_t(x)] = p.At(sx, sy);
    }
  }
  return q;
}

// One edge of a piece as a run of ink: 'T'op and 'B'ottom rows left to
// right, 'L'eft and 'R'ight columns top to bottom.
std::vector<bool> Edge(const Piece& p, char e) {
  std::vector<bool> out;
  const bool row = e == 'T' || e == 'B';
  for (int32 i = 0; i < (row ? p.w : p.h); ++i)
    out.push_back(row ? p.At(i, e == 'T' ? 0 : p.h - 1) : p.At(e == 'L' ? 0 : p.w - 1, i));
  return out;
}

// Where the first edge has ink and the second none: a line of the first
// piece that stops dead at the second.
int Cut_Off(const std::vector<bool>& a, const std::vector<bool>& b) {
  if (a.size() != b.size()) return int(std::max(a.size(), b.size()));
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] && !b[i];
  return n;
}

TEST_F(ArtBorders, EveryBorderReadsAsTheBorderToolReadsIt) {
  const std::vector<a_keyset> keys = Keys(a_keyset{ART_BORDER, 0, 0, 0}, 1);
  ASSERT_GE(int(keys.size()), ART_MIN_BORDERS);
  std::set<int> classes;
  int below = 0, slivers = 0;
  for (const a_keyset& k : keys) {
    Shown s = Show(k);
    ASSERT_TRUE(s.ok) << Name(k) << " does not load";
    EXPECT_EQ(k.d, 0) << Name(k);
    EXPECT_EQ(s.depth, 32) << Name(k);
    EXPECT_EQ(s.flags, PIXT_FLAG_RLE) << Name(k);
    for (size_t i = 3; i < s.rgba.size(); i += 4) ASSERT_EQ(s.rgba[i], 255) << Name(k) << " not opaque";
    const Layout sp = Read_Layout(s);
    classes.insert(sp.cls);
    const int32 t = sp.corner.H();
    ASSERT_TRUE(sp.side_found) << Name(k) << ": no side piece found";
    EXPECT_TRUE(sp.corner.W() >= 2 && sp.corner.H() >= 2 && sp.side.W() >= 2 && sp.side.H() >= 2)
        << Name(k) << " corner " << sp.corner.W() << " x " << sp.corner.H() << ", side " << sp.side.W() << " x " << sp.side.H();
    EXPECT_TRUE(t >= ART_BORDER_MIN_THICK && t <= ART_BORDER_MAX_THICK) << Name(k) << " is " << t << " thick";
    // Square corners and pieces of one thickness, so the edges meet.
    EXPECT_EQ(sp.corner.W(), t) << Name(k);
    EXPECT_EQ(sp.side.H(), t) << Name(k);
    if (!sp.sliver.Empty()) {
      ++slivers;
      EXPECT_EQ(sp.sliver.H(), t) << Name(k);
    }
    below += sp.side.top > sp.corner.bottom;
    // No piece holds the separator colour: the reader's walks along the
    // separator lines can only stop where a piece ends.
    const uint32 sep = Pixel(s, 0, 0);
    for (const Box* b : {&sp.corner, &sp.side, &sp.sliver})
      for (int32 y = b->top; y < b->bottom; ++y)
        for (int32 x = b->left; x < b->right; ++x) ASSERT_NE(Pixel(s, x, y), sep) << Name(k) << " at " << x << ", " << y;
  }
  EXPECT_EQ(classes, (std::set<int>{1, 2, 3, 4}));
  EXPECT_GE(below, 1) << "no border lays its side below the corner";
  EXPECT_GE(slivers, ART_MIN_BORDERS / 2);
}

TEST_F(ArtBorders, PiecesAreCutOnWhiteAndJoinRoundAFrame) {
  for (const a_keyset& k : Keys(a_keyset{ART_BORDER, 0, 0, 0}, 1)) {
    Shown s = Show(k);
    ASSERT_TRUE(s.ok) << Name(k);
    const Layout sp = Read_Layout(s);
    ASSERT_TRUE(sp.side_found && !sp.corner.Empty()) << Name(k);
    const int32 t = sp.corner.H();
    for (const Box* b : {&sp.corner, &sp.side, &sp.sliver}) {
      if (b->Empty()) continue;
      const View v{&s, b->left, b->top, b->W(), b->H()};
      EXPECT_LE(Pale_Edge_Share(v), 0.03) << Name(k) << " has a pale fringe";
      EXPECT_EQ(Pinholes(v), 0) << Name(k) << " has white pinholes";
    }

    // The pieces of the four edges (0 top, 1 right, 2 bottom, 3 left) as
    // the class gives them: sides and slivers turned, corners mirrored,
    // turned or copied.
    const Piece c = Cut(s, sp.corner);
    Piece corner[4] = {c, c, c, c};
    if (sp.cls == 1) corner[1] = Map(c, 0, true, false), corner[2] = Map(c, 2, false, false), corner[3] = Map(c, 0, false, true);
    if (sp.cls == 2)
      for (int d = 1; d < 4; ++d) corner[d] = Map(c, d, false, false);
    std::vector<Piece> along[4];  // the pieces that may stand next to a corner on each edge
    for (const Box* b : {&sp.side, &sp.sliver})
      if (!b->Empty())
        for (int d = 0; d < 4; ++d) along[d].push_back(Map(Cut(s, *b), d, false, false));

    // Whatever runs out of a side or sliver runs on into the corner or the
    // piece beside it (a corner may be a block wider than the strip). The
    // top edge runs left to right, the right edge down, the bottom edge
    // right to left, the left edge up.
    const int allowed = std::max(2, int(t) / 8);
    for (size_t i = 0; i < along[0].size(); ++i) {
      const char* what = i == 0 ? " side" : " sliver";
      EXPECT_LE(Cut_Off(Edge(along[0][i], 'L'), Edge(corner[0], 'R')), allowed) << Name(k) << " top-left corner," << what;
      EXPECT_LE(Cut_Off(Edge(along[0][i], 'R'), Edge(corner[1], 'L')), allowed) << Name(k) << what << ", top-right corner";
      EXPECT_LE(Cut_Off(Edge(along[1][i], 'T'), Edge(corner[1], 'B')), allowed) << Name(k) << " top-right corner," << what;
      EXPECT_LE(Cut_Off(Edge(along[1][i], 'B'), Edge(corner[2], 'T')), allowed) << Name(k) << what << ", bottom-right corner";
      EXPECT_LE(Cut_Off(Edge(along[2][i], 'R'), Edge(corner[2], 'L')), allowed) << Name(k) << " bottom-right corner," << what;
      EXPECT_LE(Cut_Off(Edge(along[2][i], 'L'), Edge(corner[3], 'R')), allowed) << Name(k) << what << ", bottom-left corner";
      EXPECT_LE(Cut_Off(Edge(along[3][i], 'B'), Edge(corner[3], 'T')), allowed) << Name(k) << " bottom-left corner," << what;
      EXPECT_LE(Cut_Off(Edge(along[3][i], 'T'), Edge(corner[0], 'B')), allowed) << Name(k) << what << ", top-left corner";
      for (size_t j = 0; j < along[0].size(); ++j) {
        const std::vector<bool> end = Edge(along[0][i], 'R'), start = Edge(along[0][j], 'L');
        EXPECT_LE(Cut_Off(end, start) + Cut_Off(start, end), allowed) << Name(k) << what << " then " << (j == 0 ? "side" : "sliver");
      }
    }

    // Side after side shows no seam in colour either: across the wrap the
    // colours change no more than across the sharpest line inside.
    auto diff = [&](int32 x0, int32 x1) {
      double sum = 0;
      for (int32 y = sp.side.top; y < sp.side.bottom; ++y)
        for (int ch = 0; ch < 3; ++ch) sum += std::abs(int(s.At(x0, y)[ch]) - int(s.At(x1, y)[ch]));
      return sum / sp.side.H();
    };
    double inside = 0;
    for (int32 x = sp.side.left; x + 1 < sp.side.right; ++x) inside = std::max(inside, diff(x, x + 1));
    EXPECT_LE(diff(sp.side.right - 1, sp.side.left), 1.25 * inside + 6) << Name(k) << ": a seam between sides";
  }
}

// ---------------------------------------------------------------------------
// The generator refuses bad rows, naming the row and why, before drawing
// ---------------------------------------------------------------------------
TEST(ArtStampsGenerator, BadRowsStopTheRunNamingWhy) {
  struct Case {
    const char* file;
    std::string text;
    std::string want;
  };
  const Case cases[] = {
      {"stamps.txt", "1 1 star \"A\" size=96\n1 2 teapot \"B\" size=96\n", "art/stamps.txt:2: no stamp style teapot"},
      {"stamps.txt", "1 1 star \"A\" size=200\n", "art/stamps.txt:1: size="},
      {"stamps.txt", "1 1 star \"A\" size=96x40\n", "art/stamps.txt:1: size="},
      {"stamps.txt", "1 1 star \"A\" size=96 n=3\n", "art/stamps.txt:1: n must be a whole number from 4 to 12"},
      {"stamps.txt", "1 1 heart \"A\" size=96 n=5\n", "art/stamps.txt:1: style heart takes no n"},
      {"stamps.txt", "1 1 heart \"A\" size=96 colors=#ff0000,#00ff00\n", "art/stamps.txt:1: style heart takes at most 1 colours"},
      {"stamps.txt", "1 1 star \"A\" size=96\n1 1 heart \"B\" size=96\n", "art/stamps.txt:2: the key"},
      {"stamps.txt", "1 1 star \"A\" size=96 shade=3\n", "art/stamps.txt:1: unknown option shade"},
      {"borders.txt", "1 1 gold \"A\" class=3 thick=20 side=36 repeat=6\n",
       "art/borders.txt:1: style gold differs from edge to edge, so class 3 cannot copy its corner unchanged"},
      {"borders.txt", "1 1 beads \"A\" class=3 thick=50 side=60\n", "art/borders.txt:1: thick must be a whole number from 12 to 40"},
      {"borders.txt", "1 1 beads \"A\" thick=20 side=60\n", "art/borders.txt:1: class= is needed"},
      {"borders.txt", "1 1 pearls \"A\" class=1 thick=20 side=16 layout=below\n", "art/borders.txt:1: layout=below"},
      {"borders.txt", "1 1 pearls \"A\" class=2 thick=20 side=24 layout=below\n", "art/borders.txt:1: layout=below"},
      {"borders.txt", "1 1 rope \"A\" class=2 thick=16 side=40 repeat=5 sliver=5\n",
       "art/borders.txt:1: style rope has no gaps: sliver= must be one repeat (8)"},
      {"borders.txt", "1 1 beads \"A\" class=3 thick=20 side=70 repeat=3\n", "art/borders.txt:1: side=70 is not 3 whole repeats"},
      {"borders.txt", "1 1 film \"A\" class=4 thick=28 side=54 sliver=10\n",
       "art/borders.txt:1: style film needs a sliver of whole steps of 18"},
      {"borders.txt", "1 1 beads \"A\" class=3 thick=20 side=60\n1 1 stars \"B\" class=3 thick=20 side=60\n",
       "art/borders.txt:2: the key"},
  };
  for (const Case& c : cases) Expect_Table_Refused(c.file, c.text, c.want);
}

}  // namespace
