// The sounds: each read back through the program's reader and written as a
// WAV file under sounds/ to be listened to, and a sheet of them all, each
// with its waveform above and its spectrogram below (100 Hz to 11 kHz on a
// log scale, a tick each 50 ms), labelled with the peak level and, for the
// tonal ones, the strongest pitch.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include "Sheets.h"
#include "host/HostByteOrder.h"
#include "platform/SysSound.h"

namespace {

constexpr int32_t kCellW = 300, kWaveH = 48, kSpecH = 56;
constexpr size_t kFft = 512;

// What each sound marks, by the program's names for them.
struct a_sound_use {
  int16_t first, last;
  const char* what;
};
const a_sound_use kUses[] = {
    {SND_SUBTOOL_ONESHOT, SND_SUBTOOL_ONESHOT, "click, menu open"},
    {SND_SUBTOOL_ICONGRID, SND_SUBTOOL_ICONGRID, "grid choice"},
    {SND_SUBTOOL_SLIDER, SND_SUBTOOL_SLIDER, "slider, scroll step"},
    {SND_BAR_SELECT, SND_BAR_SELECT, "bar choice"},
    {SND_FANFARE, SND_FANFARE, "fanfare"},
    {SND_BUCKET, SND_BUCKET, "bucket"},
    {SND_NULL, SND_NULL, "refusal, limit"},
    {SND_UNDO, SND_UNDO, "undo"},
    {SND_UNDO2, SND_UNDO4, "undo, further"},
    {SND_BRUSH, SND_BRUSH, "brush"},
    {SND_ERASER, SND_ERASER, "eraser"},
    {SND_EYEDROPPER, SND_EYEDROPPER, "eyedropper"},
    {SND_CLEAR_FAST, SND_CLEAR_FAST, "clear paint"},
    {SND_SPRAY, SND_SPRAY, "spray"},
    {SND_STENCIL_DROPPER, SND_STENCIL_DROPPER, "stencil dropper"},
    {SND_POLYGON_FILL, SND_POLYGON_FILL, "polygon fill"},
    {SND_POLYGON_POINT, SND_POLYGON_POINT, "polygon point"},
    {SND_CENTERDOC, SND_CENTERDOC, "centre the view"},
    {SND_SET_GRAD_CENTER, SND_SET_GRAD_CENTER, "gradient centre"},
    {SND_SET_GRAD_RADIUS, SND_SET_GRAD_RADIUS, "gradient spread"},
    {SND_STENCIL_PREVIEW, SND_STENCIL_PREVIEW, "stencil preview"},
    {SND_BAR_PREV, SND_BAR_PREV, "previous row"},
    {SND_BAR_INDEX, SND_BAR_INDEX, "index"},
    {SND_BAR_NEXT, SND_BAR_NEXT, "next row"},
    {SND_REDO, SND_REDO, "redo"},
    {SND_HISTFAR, SND_HISTFAR, "far in history"},
    {SND_MENU_LO, SND_MENU_LO, "menu low"},
    {SND_MENU_HI, SND_MENU_HI, "menu high"},
    {SND_TEXT_SELECT, SND_TEXT_SELECT, "selection"},
    {521, 533, "drag: filled oval"},
    {801, 807, "drag: line"},
    {851, 862, "drag: area oval"},
    {902, 913, "drag: stamp, text"},
    {951, 962, "drag: frame rectangle"},
    {963, 974, "drag: area rectangle"},
};

const char* Use_Of(int16_t id) {
  for (const a_sound_use& u : kUses)
    if (id >= u.first && id <= u.last) return u.what;
  return "?";
}

struct a_pcm {
  uint32_t rate = 0;
  std::vector<double> s;  // -1 .. 1
};

// A sound object: rate, bits, length, then big-endian samples.
bool Parse_Sound(const std::vector<uint8_t>& b, a_pcm& pcm, std::string& why) {
  if (b.size() < 8) {
    why = "no header";
    return false;
  }
  pcm.rate = Load_BE16(&b[0]);
  const uint32_t bits = Load_BE16(&b[2]), len = Load_BE32(&b[4]);
  if (bits != 16 || len % 2 != 0 || len + 8 > b.size() || pcm.rate < 1000) {
    why = "not 16-bit samples that are all there";
    return false;
  }
  for (uint32_t i = 0; i < len; i += 2) pcm.s.push_back(int16_t(Load_BE16(&b[8 + i])) / 32768.0);
  return true;
}

// A RIFF WAVE file: PCM, one channel, 16 bits, little-endian samples.
std::vector<uint8> Wav_Bytes(const std::vector<uint8_t>& obj, uint32_t rate) {
  const uint32_t len = uint32_t(obj.size() - 8) & ~1u;
  std::vector<uint8> o;
  o.reserve(44 + len);
  auto tag = [&](const char* t) {
    for (int i = 0; i < 4; ++i) o.push_back(uint8(t[i]));
  };
  tag("RIFF");
  Append_LE32(o, 36 + len);
  tag("WAVE");
  tag("fmt ");
  Append_LE32(o, 16);
  Append_LE16(o, 1);  // PCM
  Append_LE16(o, 1);  // mono
  Append_LE32(o, rate);
  Append_LE32(o, rate * 2);
  Append_LE16(o, 2);
  Append_LE16(o, 16);
  tag("data");
  Append_LE32(o, len);
  for (uint32_t i = 0; i < len; i += 2) Append_LE16(o, Load_BE16(&obj[8 + i]));
  return o;
}

void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2 * M_PI / double(len));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> wk = 1;
      for (size_t k = 0; k < len / 2; ++k, wk *= w) {
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wk;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

// Magnitudes of a Hann-windowed frame centred on sample c.
std::vector<double> Spectrum(const a_pcm& p, int64_t c) {
  std::vector<std::complex<double>> a(kFft);
  for (size_t i = 0; i < kFft; ++i) {
    const int64_t k = c - int64_t(kFft / 2) + int64_t(i);
    const double w = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(kFft));
    a[i] = k >= 0 && k < int64_t(p.s.size()) ? p.s[size_t(k)] * w : 0.0;
  }
  Fft(a);
  std::vector<double> m(kFft / 2);
  for (size_t i = 0; i < m.size(); ++i) m[i] = std::abs(a[i]);
  return m;
}

// The strongest frequency over the middle of the sound, refined between
// bins; 0 when the sound is more noise than tone.
double Strongest_Hz(const a_pcm& p) {
  std::vector<double> sum(kFft / 2, 0.0);
  const int64_t n = int64_t(p.s.size());
  for (int64_t c = n / 4; c <= n / 2; c += 64) {
    const std::vector<double> m = Spectrum(p, c);
    for (size_t i = 0; i < sum.size(); ++i) sum[i] += m[i];
  }
  size_t best = 2;
  double total = 0;
  for (size_t i = 2; i + 1 < sum.size(); ++i) {
    total += sum[i];
    if (sum[i] > sum[best]) best = i;
  }
  // A tone puts much of its energy into a few bins; noise spreads it.
  if (sum[best] < 0.08 * total) return 0;
  const double a = sum[best - 1], b = sum[best], c = sum[best + 1];
  const double shift = 0.5 * (a - c) / (a - 2 * b + c);
  return (double(best) + shift) * p.rate / double(kFft);
}

std::string Note_Of(double hz) {
  static const char* const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  const int midi = int(std::lround(69 + 12 * std::log2(hz / 440.0)));
  return std::string(names[midi % 12]) + std::to_string(midi / 12 - 1);
}

void Draw_Sound(cairo_t* cr, const a_pcm& p, double x, double y) {
  const size_t n = p.s.size();
  // Waveform: the span of the samples under each column.
  Set_Rgb(cr, Hex("#fbfbfd"));
  cairo_rectangle(cr, x, y, kCellW, kWaveH);
  cairo_fill(cr);
  Set_Rgb(cr, Hex("#c8c8d4"));
  cairo_rectangle(cr, x, y + kWaveH / 2.0, kCellW, 0.5);
  cairo_fill(cr);
  Set_Rgb(cr, Hex("#2f5d8a"));
  for (int32_t col = 0; col < kCellW; ++col) {
    // At least a few periods under each column, so no moire.
    const size_t mid = n * (2 * size_t(col) + 1) / (2 * kCellW), half = std::max<size_t>(64, n / kCellW / 2);
    const size_t a = mid > half ? mid - half : 0, b = mid + half;
    double lo = 0, hi = 0;
    for (size_t i = a; i < b && i < n; ++i) {
      lo = std::min(lo, p.s[i]);
      hi = std::max(hi, p.s[i]);
    }
    cairo_rectangle(cr, x + col, y + kWaveH / 2.0 - hi * kWaveH / 2, 1, std::max(0.5, (hi - lo) * kWaveH / 2));
    cairo_fill(cr);
  }
  // Spectrogram, in decibels below the sound's loudest bin.
  const double ys = y + kWaveH + 2;
  std::vector<std::vector<double>> cols(kCellW);
  double top = 1e-9;
  for (int32_t col = 0; col < kCellW; ++col) {
    cols[size_t(col)] = Spectrum(p, int64_t(n * (2 * size_t(col) + 1) / (2 * kCellW)));
    for (double v : cols[size_t(col)]) top = std::max(top, v);
  }
  const a_ramp heat{{{0, Hex("#0b0b1a")}, {0.35, Hex("#4b1d6e")}, {0.65, Hex("#d9502f")}, {1, Hex("#fff3a8")}}};
  for (int32_t col = 0; col < kCellW; ++col) {
    for (int32_t row = 0; row < kSpecH; ++row) {
      const double hz = 100 * std::pow(110.0, double(kSpecH - 1 - row) / (kSpecH - 1));
      const double bin = std::min(hz * kFft / p.rate, kFft / 2.0 - 1.001);
      const size_t k = size_t(bin);
      const double m = cols[size_t(col)][k] * (1 - (bin - k)) + cols[size_t(col)][k + 1] * (bin - k);
      Set_Rgb(cr, heat.At(Clamp01(1 + 20 * std::log10(m / top + 1e-9) / 70)));
      cairo_rectangle(cr, x + col, ys + row, 1, 1);
      cairo_fill(cr);
    }
  }
  // A tick each 50 ms.
  Set_Rgb(cr, Hex("#8a8aa0"));
  for (double ms = 50; ms * p.rate / 1000 < n; ms += 50) {
    cairo_rectangle(cr, x + kCellW * ms * p.rate / 1000 / n, y + kWaveH - 4, 1, 4);
    cairo_fill(cr);
  }
}

}  // namespace

bool Sheet_Sounds(const a_art_context&, const std::string& dir, std::vector<std::string>& written,
                  std::string& err) {
  mkdir((dir + "/sounds").c_str(), 0755);
  a_sheet sheet("Sounds: waveform, spectrogram (100 Hz to 11 kHz, log), a tick each 50 ms; WAVs in sounds/", 1320);
  for (const a_keyset& k : Reader_Keys(a_keyset{ART_SOUND, 0, 0, 0}, 2)) {
    const std::vector<uint8_t> b = Reader_Bytes(k);
    const std::string id = std::to_string(k.c);
    a_pcm p;
    std::string why;
    double x = 0, y = 0;
    sheet.Next(kCellW, kWaveH + 2 + kSpecH + 14, x, y);
    if (!Parse_Sound(b, p, why)) {
      sheet.Label(x, y, id + "  " + why);
      continue;
    }
    const std::string wav = "sounds/sound-" + id + ".wav";
    if (!Art_Write_File(dir + "/" + wav, Wav_Bytes(b, p.rate), err)) return false;
    written.push_back(wav);
    Draw_Sound(sheet.Cr(), p, x, y);
    double peak = 0;
    for (double v : p.s) peak = std::max(peak, std::fabs(v));
    const double hz = Strongest_Hz(p);
    char info[96];
    std::snprintf(info, sizeof info, "%.0f ms, peak %.1f dB", 1000.0 * double(p.s.size()) / p.rate,
                  20 * std::log10(std::max(peak, 1e-9)));
    std::string label = id + "  " + Use_Of(k.c);
    sheet.Label(x, y + kWaveH + 2 + kSpecH, label, 10);
    std::string right = info;
    if (hz > 0) right += ", " + std::to_string(int(std::lround(hz))) + " Hz " + Note_Of(hz);
    cairo_text_extents_t e;
    Use_Font(sheet.Cr(), "sans", 9);
    cairo_text_extents(sheet.Cr(), right.c_str(), &e);
    sheet.Label(x + kCellW - e.x_advance, y + kWaveH + 2 + kSpecH + 1, right, 9);
  }
  if (!sheet.Write(dir + "/sounds.png", err)) return false;
  written.push_back("sounds.png");
  return true;
}
