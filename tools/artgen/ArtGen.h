// Shared parts of the art generator: the jobs the families hand the driver,
// the data tables under art/, fonts by file path, a seeded random generator
// of our own, noise, colours and a cairo drawing surface.
//
// Everything here is deterministic: the same data give the same pixels on
// every run, whatever the number of threads. Nothing reads the clock, and
// every collection that is walked is ordered.
#pragma once

#include <cairo.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "PictLibWrite.h"
#include "pixel/ArtKeys.h"

// ---------------------------------------------------------------------------
// Jobs
// ---------------------------------------------------------------------------
// One unit of work: draws some objects of the library. Jobs run in parallel;
// each touches nothing but its own output.
struct a_art_job {
  std::string name;  // for messages
  std::function<bool(std::vector<a_art_object>& out, std::string& err)> run;
};

// What the families know of the run.
struct a_art_context {
  std::string art_dir;  // the folder of the data tables
};

// Each family reads its tables and adds its jobs; false, with the table's
// FILE:LINE in err, on bad data.
bool Canvas_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);
bool Gradient_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);
bool Pattern_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);
bool Picture_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);
bool Sound_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);
bool Stamp_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);
bool Border_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);
bool Symbol_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);
bool Interface_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err);

// ---------------------------------------------------------------------------
// Data tables
// ---------------------------------------------------------------------------
// A table is one entry a line; blank lines and lines starting with "#" are
// skipped; tokens are separated by blanks, a token holding blanks is written
// in double quotes. Tokens of the form name=value are options.
struct a_table_row {
  std::string file;  // for messages: the table's name under art/
  int32 line = 0;
  std::vector<std::string> words;             // the tokens that are not options
  std::map<std::string, std::string> options;  // name=value tokens

  std::string Where() const;  // "art/FILE:LINE"
  // Options, with their default when absent; false (err set) when present
  // but malformed.
  bool Int(const std::string& name, int64_t lo, int64_t hi, int64_t def, int64_t& val, std::string& err) const;
  bool Real(const std::string& name, double lo, double hi, double def, double& val, std::string& err) const;
  std::string Text(const std::string& name, const std::string& def) const;
};

bool Read_Table(const a_art_context& ctx, const std::string& name, std::vector<a_table_row>& rows, std::string& err);
bool Parse_Int_Word(const std::string& s, int64_t lo, int64_t hi, int64_t& val);

// ---------------------------------------------------------------------------
// Fonts, by file path (art/fonts.txt): FreeType straight from the file, no
// fontconfig, no hinting, fixed options, so glyphs come out the same on
// every machine with the same font files.
// ---------------------------------------------------------------------------
// Reads art/fonts.txt and checks that every file is there; a missing file
// is an error naming the package that provides it.
bool Fonts_Load(const a_art_context& ctx, std::string& err);
// The cairo face of a font by its name in fonts.txt, for the calling thread
// (each thread has faces of its own). Aborts on a name that is not listed:
// that is a fault of the generator, not of the data.
cairo_font_face_t* Font_Face(const std::string& name);
// Sets the face, size and the fixed font options on cr.
void Use_Font(cairo_t* cr, const std::string& name, double size);

// ---------------------------------------------------------------------------
// Random numbers: SplitMix64, seeded from the data, never from the clock.
// ---------------------------------------------------------------------------
class a_rng {
 public:
  explicit a_rng(uint64_t seed) : s_(seed) {}
  uint64_t Next();
  double Unit();                       // [0, 1)
  double Range(double lo, double hi);  // [lo, hi)
  int32_t Below(int32_t n);            // 0 .. n - 1
  double Gauss();                      // mean 0, deviation 1
  bool Chance(double p) { return Unit() < p; }

 private:
  uint64_t s_;
};

// A seed made from a text and numbers (FNV-1a, then mixed).
uint64_t Seed_Of(const std::string& text, int64_t a = 0, int64_t b = 0, int64_t c = 0);

// ---------------------------------------------------------------------------
// Noise: gradient noise in [-1, 1]; with a period it tiles (period in
// lattice cells, at most 256).
// ---------------------------------------------------------------------------
class a_noise {
 public:
  explicit a_noise(uint64_t seed);
  double At(double x, double y) const;
  double At_Periodic(double x, double y, int32_t px, int32_t py) const;
  // Sums of octaves, each twice the frequency and `gain` the weight of the
  // one before; normalised back to about [-1, 1].
  double Fbm(double x, double y, int octaves, double gain = 0.5) const;
  double Fbm_Periodic(double x, double y, int32_t px, int32_t py, int octaves, double gain = 0.5) const;
  // Turbulence: the same of absolute values, in [0, 1].
  double Turb(double x, double y, int octaves) const;
  double Turb_Periodic(double x, double y, int32_t px, int32_t py, int octaves) const;

 private:
  double Grad(int32_t ix, int32_t iy, double fx, double fy) const;
  std::array<uint8_t, 512> perm_;
};

// ---------------------------------------------------------------------------
// Colours: channels 0 .. 1, gamma-encoded (sRGB) unless said otherwise.
// ---------------------------------------------------------------------------
struct a_rgb {
  double r = 0, g = 0, b = 0;
};
a_rgb Mix(const a_rgb& x, const a_rgb& y, double t);
a_rgb Scale(const a_rgb& c, double k);
a_rgb Hsv(double h_degrees, double s, double v);
// Perceptual mixing through OKLab: gradients stay even in lightness.
a_rgb Mix_Lab(const a_rgb& x, const a_rgb& y, double t);
// "#RRGGBB" or "RRGGBB"; false when malformed.
bool Parse_Hex(const std::string& s, a_rgb& c);
a_rgb Hex(const char* s);  // a constant of the code; aborts when malformed
double Clamp01(double v);
double Smooth(double e0, double e1, double x);  // smoothstep
uint8_t To_Byte(double v);

// A colour ramp: stops at positions 0 .. 1, mixed through OKLab.
struct a_ramp {
  std::vector<std::pair<double, a_rgb>> stops;
  a_rgb At(double t) const;
};
// "pos:#RRGGBB" words, or plain colours spaced evenly.
bool Parse_Ramp(const std::vector<std::string>& words, size_t first, a_ramp& ramp, std::string& why);

// ---------------------------------------------------------------------------
// Drawing surface: a cairo image surface of 32 bits (premultiplied alpha).
// ---------------------------------------------------------------------------
class a_surface {
 public:
  a_surface(int32_t width, int32_t height);
  ~a_surface();
  a_surface(const a_surface&) = delete;
  a_surface& operator=(const a_surface&) = delete;

  int32_t W() const { return w_; }
  int32_t H() const { return h_; }
  cairo_t* Cr() const { return cr_; }
  cairo_surface_t* Surface() const { return s_; }
  // Direct access to the pixels (cairo's order: alpha in the top byte,
  // premultiplied). Flush before reading after cairo drew; Mark after
  // writing.
  uint32_t* Row(int32_t y);
  void Flush() { cairo_surface_flush(s_); }
  void Mark() { cairo_surface_mark_dirty(s_); }

  // Every pixel from a function of its centre (opaque).
  void Shade(const std::function<a_rgb(double x, double y)>& f);
  // Rows y0 .. y1 - 1 only.
  void Shade_Rows(int32_t y0, int32_t y1, const std::function<a_rgb(double x, double y)>& f);
  // Gaussian-like blur of all four channels (three box passes).
  void Blur(double radius);
  // Adds grain: each pixel's channels move by the same amount, up to
  // +/- amount (0 .. 1), from a seeded generator.
  void Grain(double amount, uint64_t seed);
  // Draws other over this one at (x, y) with the given opacity.
  void Paint(const a_surface& other, double x, double y, double alpha = 1.0);
  void Clear();  // fully transparent

  a_art_image Image() const;  // straight alpha, red, green, blue, alpha order

 private:
  int32_t w_, h_;
  cairo_surface_t* s_;
  cairo_t* cr_;
};

// Cairo helpers.
void Set_Rgb(cairo_t* cr, const a_rgb& c, double alpha = 1.0);
void Add_Stop(cairo_pattern_t* p, double at, const a_rgb& c, double alpha = 1.0);
// Paints the whole clip with a linear or radial gradient of a ramp.
void Fill_Linear(cairo_t* cr, double x0, double y0, double x1, double y1, const a_ramp& ramp);
void Fill_Radial(cairo_t* cr, double cx, double cy, double r, const a_ramp& ramp);
// A filled circle with a soft edge: solid to `inner` x r, fading to 0 at r.
void Soft_Disc(cairo_t* cr, double x, double y, double r, const a_rgb& c, double alpha, double inner = 0.0);

// Area-average scaling of an image to another size (both ways smaller or
// larger); alpha-weighted so transparent pixels give no colour.
a_art_image Resample(const a_art_image& src, int32_t width, int32_t height);

// An 8-bit image with a palette, shown in 32 bits.
a_art_image Image_From_Indexes(const a_art_image8& img, const std::array<a_rgb, 256>& palette);

// Keys.
inline a_keyset Key(int16_t a, int16_t b, int16_t c, int16_t d) { return a_keyset{a, b, c, d}; }
std::string Key_Name(const a_keyset& k);
