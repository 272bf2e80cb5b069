// The interface's named pictures in the built library: each id of
// ArtKeys.h is there, 32-bit and run-length packed; every rectangle the
// program reads lies inside its picture, opaque or carrying alpha as the
// picture is meant to; the phase selector's buttons tile its strip; the
// pressed, selected and checked looks differ from the plain ones; the
// background tiles repeat without a seam; the colour wheel shows hue h at
// angle h of the polar kernel. Failures name the picture.
#include <cmath>

#include "ArtLibSupport.h"
#include "pixel/Polar.h"

namespace {

using namespace art_test;

class ArtPictures : public ArtLibrary {};

Rect Moved(const Rect& r, int32 dh, int32 dv) {
  return Rect{int16(r.top + dv), int16(r.left + dh), int16(r.bottom + dv), int16(r.right + dh)};
}
int32 Width(const Rect& r) { return r.right - r.left; }
int32 Height(const Rect& r) { return r.bottom - r.top; }
bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
std::string Str(const Rect& r) {
  return "(" + std::to_string(r.top) + ", " + std::to_string(r.left) + ", " + std::to_string(r.bottom) + ", " +
         std::to_string(r.right) + ")";
}

// A picture and the rectangles the program reads from it (none: the whole
// picture, a tile).
struct Named {
  int16 id;
  const char* name;
  bool translucent;
  std::vector<Rect> read;
};

std::vector<Named> All_Named() {
  std::vector<Rect> faces, lang, phase, history;
  for (const Rect& r : {ART_FACE_PREV, ART_FACE_NEXT, ART_FACE_NUMBER, ART_FACE_TEXT, ART_FACE_DEFAULT}) {
    faces.push_back(r);
    faces.push_back(Moved(r, 0, ART_FACE_PRESSED_DV));
  }
  for (int k = 0; k < ART_LANG_FACES; ++k)
    lang.push_back(Rect{int16(k * ART_LANG_FACE_DV), 0, int16(k * ART_LANG_FACE_DV + ART_LANG_FACE_HEIGHT),
                        ART_LANG_FACE_WIDTH});
  for (const Rect& b : ART_PHASE_BUTTON) {
    phase.push_back(Moved(b, ART_PHASE_SOURCE_DH, 0));
    phase.push_back(Moved(b, ART_PHASE_SOURCE_DH, ART_PHASE_SELECTED_DV));
  }
  const Rect strip{0, 0, ART_HISTORY_STRIP_HEIGHT, ART_HISTORY_STRIP_WIDTH};
  const int16 c = ART_HUE_WHEEL_CENTER, r = ART_HUE_WHEEL_RADIUS;
  return {
      {ART_PICT_LIGHT_STRIPE, "light stripe", false, {}},
      {ART_PICT_DARK_STRIPE, "dark stripe", false, {}},
      {ART_PICT_BLUE_LINE, "blue line", false, {}},
      {ART_PICT_PARQUET, "parquet", false, {}},
      {ART_PICT_BUTTON_FACES, "button faces", true, faces},
      {ART_PICT_LANGUAGE_BUTTONS, "language faces", true, lang},
      {ART_PICT_PHASE_STRIP, "phase strip", false, phase},
      {ART_PICT_COPY_ARROWS, "copy arrows", true, {ART_COPY_UP, ART_COPY_DOWN}},
      {ART_PICT_HUE_WHEEL, "hue wheel", true, {Rect{int16(c - r), int16(c - r), int16(c + r), int16(c + r)}}},
      {ART_PICT_PRINT_BADGE, "print badge", true,
       {ART_BADGE_LARGE_OFF, ART_BADGE_LARGE_ON, ART_BADGE_SMALL_OFF, ART_BADGE_SMALL_ON}},
      {ART_PICT_UNIT_MARKS, "unit marks", true,
       {ART_UNIT_MARK_PRINT_ON, ART_UNIT_MARK_PRINT_OFF, ART_UNIT_MARK_CLONE, ART_UNIT_MARK_ORIGINAL}},
      {ART_PICT_HISTORY_STRIPS, "history strips", false, {strip, Moved(strip, ART_HISTORY_HILITE_DH, 0)}},
  };
}

TEST_F(ArtPictures, EachIsThereAndEveryRectangleReadLiesInsideOpaqueOrWithAlpha) {
  size_t bytes = 0;
  for (const Named& n : All_Named()) {
    const std::string what = std::string(n.name) + " " + Name(Pixt_Key(n.id));
    bytes += Bytes(Pixt_Key(n.id)).size();
    Shown p = Show(Pixt_Key(n.id));
    ASSERT_TRUE(p.ok) << what << " does not load";
    EXPECT_EQ(p.depth, 32) << what;
    EXPECT_EQ(p.flags, PIXT_FLAG_RLE) << what;
    EXPECT_LE(p.width, 8191) << what;
    std::vector<Rect> read = n.read;
    if (read.empty()) read.push_back(Rect{0, 0, int16(p.height), int16(p.width)});
    for (size_t i = 0; i < read.size(); ++i) {
      const Rect& r = read[i];
      ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= p.width && r.bottom <= p.height && r.left < r.right &&
                  r.top < r.bottom)
          << what << " " << Str(r) << " is not inside its " << p.width << " x " << p.height;
      for (size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(r, read[j])) << what << " " << Str(r) << " overlaps " << Str(read[j]);
      int64 seen = 0, clear = 0, solid = 0, white = 0;
      for (int32 y = r.top; y < r.bottom; ++y) {
        for (int32 x = r.left; x < r.right; ++x, ++seen) {
          const uint8* q = p.At(x, y);
          clear += q[3] == 0;
          solid += q[3] == 255;
          white += q[3] > 0 && q[0] == 255 && q[1] == 255 && q[2] == 255;
        }
      }
      EXPECT_EQ(white, 0) << what << " " << Str(r) << " has pure white pixels";
      if (n.translucent) {
        // Rounded or shaped: clear round its edge, solid in its body.
        EXPECT_GT(clear, 0) << what << " " << Str(r) << " carries no alpha";
        EXPECT_GT(solid * 10, seen) << what << " " << Str(r) << " is nearly empty";
      } else {
        EXPECT_EQ(solid, seen) << what << " " << Str(r) << " is not opaque";
      }
    }
  }
  EXPECT_LE(bytes, size_t(1536) * 1024) << "the interface pictures' budget";
}

TEST(ArtPictureGeometry, RectanglesHaveTheSizesTheirReadersDraw) {
  // The phase selector's seven buttons cover its 350 x 56 strip exactly.
  int64 area = 0;
  for (int i = 0; i < ART_PHASE_BUTTONS; ++i) {
    const Rect& b = ART_PHASE_BUTTON[i];
    EXPECT_TRUE(b.left >= 0 && b.top >= 0 && b.right <= ART_PHASE_STRIP_WIDTH && b.bottom <= ART_PHASE_STRIP_HEIGHT)
        << "phase button " << i << " " << Str(b);
    area += int64(Width(b)) * Height(b);
    for (int j = 0; j < i; ++j) EXPECT_FALSE(Overlap(b, ART_PHASE_BUTTON[j])) << "phase buttons " << i << " and " << j;
  }
  EXPECT_EQ(area, int64(ART_PHASE_STRIP_WIDTH) * ART_PHASE_STRIP_HEIGHT);
  EXPECT_EQ(Width(ART_PHASE_BUTTON[0]), 89);  // preview, the tall one
  EXPECT_EQ(Height(ART_PHASE_BUTTON[0]), 56);
  // The selected look lies below the plain one, not over it.
  EXPECT_GE(ART_PHASE_SELECTED_DV, ART_PHASE_STRIP_HEIGHT);
  EXPECT_GE(ART_FACE_PRESSED_DV, ART_FACE_HEIGHT);
  EXPECT_GE(ART_LANG_FACE_DV, ART_LANG_FACE_HEIGHT);
  EXPECT_GE(ART_HISTORY_HILITE_DH, ART_HISTORY_STRIP_WIDTH);

  const struct {
    const char* name;
    Rect r;
    int32 w, h;
  } sizes[] = {
      {"previous page", ART_FACE_PREV, 48, ART_FACE_HEIGHT},
      {"next page", ART_FACE_NEXT, 48, ART_FACE_HEIGHT},
      {"cancel", ART_FACE_TEXT, 65, ART_FACE_HEIGHT},
      {"ok", ART_FACE_DEFAULT, 65, ART_FACE_HEIGHT},
      {"copy up", ART_COPY_UP, 32, 14},
      {"copy down", ART_COPY_DOWN, 32, 14},
      {"large badge", ART_BADGE_LARGE_OFF, 69, 30},
      {"large badge checked", ART_BADGE_LARGE_ON, 69, 30},
      {"small badge", ART_BADGE_SMALL_OFF, 47, 23},
      {"small badge checked", ART_BADGE_SMALL_ON, 47, 23},
      {"unit mark", ART_UNIT_MARK_CLONE, ART_UNIT_MARK_SIZE, ART_UNIT_MARK_SIZE},
  };
  for (const auto& s : sizes) {
    EXPECT_EQ(Width(s.r), s.w) << s.name;
    EXPECT_EQ(Height(s.r), s.h) << s.name;
  }
  EXPECT_EQ(ART_LANG_FACE_WIDTH, 200);
  EXPECT_EQ(ART_LANG_FACE_HEIGHT, 38);
  EXPECT_TRUE(ART_LANG_LABEL.left >= 0 && ART_LANG_LABEL.right <= ART_LANG_FACE_WIDTH &&
              ART_LANG_LABEL.bottom <= ART_LANG_FACE_HEIGHT);
  // History rows are 30 high and run the panel's width less one: 178 in the
  // widest (179) panel.
  EXPECT_EQ(ART_HISTORY_STRIP_HEIGHT, 30);
  EXPECT_GE(ART_HISTORY_STRIP_WIDTH, 178);
  // The cursor marks colour distances 0 .. 72 in pixels from the centre.
  EXPECT_EQ(ART_HUE_WHEEL_RADIUS, 72);
  EXPECT_LE(ART_HUE_WHEEL_CENTER + ART_HUE_WHEEL_RADIUS, ART_HUE_WHEEL_SIZE);
}

TEST_F(ArtPictures, PressedSelectedAndCheckedLooksDifferFromThePlainOnes) {
  const int32 lang_dv = ART_LANG_FACE_DV;
  const Rect lang{0, 0, ART_LANG_FACE_HEIGHT, ART_LANG_FACE_WIDTH};
  const Rect strip{0, 0, ART_HISTORY_STRIP_HEIGHT, ART_HISTORY_STRIP_WIDTH};
  struct Pair {
    const char* name;
    int16 id;
    Rect plain, other;
  };
  std::vector<Pair> pairs = {
      {"pressed previous", ART_PICT_BUTTON_FACES, ART_FACE_PREV, Moved(ART_FACE_PREV, 0, ART_FACE_PRESSED_DV)},
      {"pressed cancel", ART_PICT_BUTTON_FACES, ART_FACE_TEXT, Moved(ART_FACE_TEXT, 0, ART_FACE_PRESSED_DV)},
      {"pressed ok", ART_PICT_BUTTON_FACES, ART_FACE_DEFAULT, Moved(ART_FACE_DEFAULT, 0, ART_FACE_PRESSED_DV)},
      {"current language", ART_PICT_LANGUAGE_BUTTONS, lang, Moved(lang, 0, ART_LANG_FACE_CURRENT * lang_dv)},
      {"unavailable language", ART_PICT_LANGUAGE_BUTTONS, lang, Moved(lang, 0, ART_LANG_FACE_UNAVAILABLE * lang_dv)},
      {"checked large badge", ART_PICT_PRINT_BADGE, ART_BADGE_LARGE_OFF, ART_BADGE_LARGE_ON},
      {"checked small badge", ART_PICT_PRINT_BADGE, ART_BADGE_SMALL_OFF, ART_BADGE_SMALL_ON},
      {"print off", ART_PICT_UNIT_MARKS, ART_UNIT_MARK_PRINT_ON, ART_UNIT_MARK_PRINT_OFF},
      {"original", ART_PICT_UNIT_MARKS, ART_UNIT_MARK_CLONE, ART_UNIT_MARK_ORIGINAL},
      {"copy down", ART_PICT_COPY_ARROWS, ART_COPY_UP, ART_COPY_DOWN},
      {"current history row", ART_PICT_HISTORY_STRIPS, strip, Moved(strip, ART_HISTORY_HILITE_DH, 0)},
  };
  for (int i = 0; i < ART_PHASE_BUTTONS; ++i) {
    const Rect src = Moved(ART_PHASE_BUTTON[i], ART_PHASE_SOURCE_DH, 0);
    pairs.push_back({"selected phase button", ART_PICT_PHASE_STRIP, src, Moved(src, 0, ART_PHASE_SELECTED_DV)});
  }
  for (const Pair& pr : pairs) {
    Shown p = Show(Pixt_Key(pr.id));
    ASSERT_TRUE(p.ok) << pr.name;
    ASSERT_EQ(Width(pr.plain), Width(pr.other)) << pr.name;
    ASSERT_EQ(Height(pr.plain), Height(pr.other)) << pr.name;
    // Colours weighted by alpha, so that a clear pixel counts as nothing.
    double diff = 0;
    for (int32 y = 0; y < Height(pr.plain); ++y) {
      for (int32 x = 0; x < Width(pr.plain); ++x) {
        const uint8* a = p.At(pr.plain.left + x, pr.plain.top + y);
        const uint8* b = p.At(pr.other.left + x, pr.other.top + y);
        for (int c = 0; c < 3; ++c) diff += std::abs(a[c] * a[3] / 255.0 - b[c] * b[3] / 255.0);
      }
    }
    diff /= 3.0 * Width(pr.plain) * Height(pr.plain);
    EXPECT_GT(diff, 4.0) << pr.name << " looks like the plain one";
  }
}

TEST_F(ArtPictures, BackgroundTilesAreSubtleAndRepeatWithoutASeam) {
  for (const int16 id : {ART_PICT_LIGHT_STRIPE, ART_PICT_DARK_STRIPE, ART_PICT_BLUE_LINE, ART_PICT_PARQUET}) {
    Shown p = Show(Pixt_Key(id));
    ASSERT_TRUE(p.ok) << Name(Pixt_Key(id));
    // Next to the largest step between neighbours inside the tile, the step
    // from its last column to its first (and last row to first) is no
    // larger: the tile wraps without a seam.
    for (const bool across : {true, false}) {
      const int32 n = across ? p.width : p.height, m = across ? p.height : p.width;
      double inner = 0, wrap = 0;
      for (int32 i = 0; i < n; ++i) {
        double sum = 0;
        for (int32 j = 0; j < m; ++j) {
          const uint8* a = across ? p.At(i, j) : p.At(j, i);
          const uint8* b = across ? p.At((i + 1) % n, j) : p.At(j, (i + 1) % n);
          for (int c = 0; c < 3; ++c) sum += std::abs(int(a[c]) - int(b[c]));
        }
        (i == n - 1 ? wrap : inner) = std::max(i == n - 1 ? wrap : inner, sum / m);
      }
      EXPECT_LE(wrap, 1.25 * inner + 6) << Name(Pixt_Key(id)) << (across ? " seam across" : " seam down");
    }
    // Behind controls and text: every channel stays near its mean.
    double mean[3];
    Mean(p, 0, mean);
    double dev = 0;
    for (int32 y = 0; y < p.height; ++y)
      for (int32 x = 0; x < p.width; ++x)
        for (int c = 0; c < 3; ++c) dev += (p.At(x, y)[c] - mean[c]) * (p.At(x, y)[c] - mean[c]);
    EXPECT_LE(std::sqrt(dev / (3.0 * p.width * p.height)), 10.0) << Name(Pixt_Key(id)) << " is too busy";
    if (id == ART_PICT_LIGHT_STRIPE) {
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(mean[c], ART_LIGHT_STRIPE_RGB[c], 1.0) << "light stripe channel " << c;
    }
  }
}

// The hue of a colour in degrees (0 red, 120 green, 240 blue); its
// saturation 0 .. 1.
void Hue_Sat(const uint8* q, double& hue, double& sat) {
  const double r = q[0], g = q[1], b = q[2];
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b}), d = hi - lo;
  sat = hi > 0 ? d / hi : 0;
  if (d == 0) {
    hue = 0;
    return;
  }
  if (hi == r) hue = 60 * std::fmod((g - b) / d + 6, 6.0);
  else if (hi == g) hue = 60 * ((b - r) / d + 2);
  else hue = 60 * ((r - g) / d + 4);
}

TEST_F(ArtPictures, HueWheelShowsHueAtItsAngleAndDistanceGrowingOutward) {
  Shown p = Show(Pixt_Key(ART_PICT_HUE_WHEEL));
  ASSERT_TRUE(p.ok);
  ASSERT_EQ(p.width, ART_HUE_WHEEL_SIZE);
  ASSERT_EQ(p.height, ART_HUE_WHEEL_SIZE);
  const Point centre{ART_HUE_WHEEL_CENTER, ART_HUE_WHEEL_CENTER};
  // Where the colour wheel's cursor stands for hue h and distance d: the
  // polar kernel's point at radius d, angle h.
  auto at = [&](int h, int d) {
    Point pt{};
    Cyl_To_XY(centre, int16(d), int16(h * 10), pt);
    return p.At(pt.h, pt.v);
  };
  for (int h = 0; h < 360; h += 15) {
    double hue = 0, sat = 0, sat_in = 0, ignore = 0;
    Hue_Sat(at(h, ART_HUE_WHEEL_RADIUS - 4), hue, sat);
    const double off = std::fabs(std::remainder(hue - h, 360.0));
    EXPECT_LE(off, 4.0) << "hue " << h << " shows hue " << hue;
    EXPECT_EQ(at(h, ART_HUE_WHEEL_RADIUS - 4)[3], 255) << "hue " << h;
    Hue_Sat(at(h, ART_HUE_WHEEL_RADIUS / 4), ignore, sat_in);
    EXPECT_GT(sat, 0.85) << "hue " << h << " at the rim";
    EXPECT_LT(sat_in, sat - 0.4) << "hue " << h << ": distance should grow outward";
  }
  // No colour at the centre; nothing in the corners.
  const uint8* mid = p.At(ART_HUE_WHEEL_CENTER, ART_HUE_WHEEL_CENTER);
  EXPECT_LE(std::max({mid[0], mid[1], mid[2]}) - std::min({mid[0], mid[1], mid[2]}), 12);
  EXPECT_EQ(p.At(0, 0)[3], 0);
  EXPECT_EQ(p.At(p.width - 1, p.height - 1)[3], 0);
}

}  // namespace
