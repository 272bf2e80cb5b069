// Sounds (art/sounds.txt): the interface's sound effects and the painting
// tools' drag notes, synthesised here from short recipes.
//
//   ID "NAME" TIMBRE ms=N notes=NOTE[:START[:LEN]],... [options]
//   FIRST-LAST "NAME" TIMBRE ms=N scale=SCALE root=NOTE [options]
//
// A NOTE is a name (C4, F#3, Bb5; A4 is 440 Hz) or a frequency in Hz; START
// and LEN are milliseconds (without START, note i starts at i x step; without
// LEN it rings to the end). A range row makes one sound an id, the notes of
// the scale from the root upwards, so a drag range rises in pitch by id.
//
// Every sound is 22,050 Hz, 16-bit mono (one format, so the player never
// reopens its device), 5 ms fades at both ends, its peak at -3 dBFS. The
// voices are rendered at twice the rate and filtered down, so nothing
// aliases. Noise comes from a_rng seeded by the id: the same bytes each run.
#include <algorithm>
#include <cmath>
#include <set>

#include "ArtGen.h"

namespace {

constexpr double kTau = 2 * M_PI;
constexpr int32_t kOver = 2;                      // oversampling while voices are rendered
constexpr double kRate2 = double(ART_SOUND_RATE) * kOver;
constexpr double kFadeMs = 5;                     // fades at both ends
constexpr double kPeak = 0.70794578438;           // -3 dBFS
constexpr double kTopHz = 0.45 * kRate2;          // partials above this are left out
constexpr double kPluckAt = 0.18;                 // where a string is plucked, from its end

struct a_note {
  double hz = 0;
  double start = 0;  // seconds from the sound's start
  double len = 0;    // seconds; 0: rings to the end
};

struct a_sound;
using a_voice_fn = void (*)(const a_sound& s, const a_note& n, a_rng& rng, std::vector<double>& buf);

struct a_timbre {
  const char* name;
  a_voice_fn voice;
  const char* extra;  // options of its own beside the common ones, blank-separated
  double ratio;       // default frequency ratio of an FM pair
};

// One recipe; a range row gives one of these a note.
struct a_sound {
  int16_t id = 0;
  std::string name;
  const a_timbre* timbre = nullptr;
  double ms = 0;
  std::vector<a_note> notes;
  // Envelope (ms): rise, decay time constant (0: none), fall at a note's end
  // and at the sound's end.
  double attack = 2, decay = 0, release = 25;
  double glide = 1, gms = 0;  // pitch ratio reached after gms ms (0: over the note)
  double vib = 0;             // vibrato depth in cents
  double bright = 0.5;        // 0 .. 1: the timbre's upper partials
  double ratio = 1;           // FM pair
  double noise = 0, nf = 3000, nms = 20;  // a burst of band noise at each note's start
  double q = 1, am = 0, depth = 0.5;      // noise timbre: band width, rubbing rate and depth
  double room = 0;                        // a little room around the sound
  uint64_t seed = 0;
};

// ---------------------------------------------------------------------------
// Building blocks
// ---------------------------------------------------------------------------
double Seconds(const a_sound& s) { return s.ms / 1000.0; }
size_t Samples2(const a_sound& s) { return size_t(std::lround(Seconds(s) * ART_SOUND_RATE)) * kOver; }

// The samples a note covers in the oversampled buffer.
void Span(const a_sound& s, const a_note& n, size_t& i0, size_t& i1) {
  const size_t end = Samples2(s);
  i0 = std::min(end, size_t(std::lround(n.start * kRate2)));
  i1 = end;
  if (n.len > 0) i1 = std::min(end, size_t(std::lround((n.start + n.len + s.release / 1000.0) * kRate2)));
}

// Loudness of a note t seconds after its start: a smooth rise, an
// exponential decay (decay_scale shortens it for upper partials), and a
// smooth fall after a given length.
double Env(const a_sound& s, const a_note& n, double t, double decay_scale = 1) {
  double e = 1;
  const double a = s.attack / 1000.0;
  if (t < a) e = std::pow(std::sin(M_PI / 2 * t / a), 2);
  if (s.decay > 0) e *= std::exp(-t / (s.decay / 1000.0 * decay_scale));
  if (n.len > 0 && t > n.len) {
    const double r = s.release / 1000.0, u = (t - n.len) / r;
    e *= u >= 1 ? 0.0 : std::pow(std::cos(M_PI / 2 * u), 2);
  }
  return e;
}

// The note's frequency t seconds after its start: the glide, then vibrato
// that fades in after the attack.
double Hz(const a_sound& s, const a_note& n, double t) {
  double f = n.hz;
  if (s.glide != 1) {
    const double span = s.gms > 0 ? s.gms / 1000.0 : (n.len > 0 ? n.len : Seconds(s) - n.start);
    f *= std::pow(s.glide, std::min(1.0, t / std::max(span, 1e-3)));
  }
  if (s.vib > 0) f *= std::pow(2.0, s.vib / 1200.0 * std::sin(kTau * 5.5 * t) * Smooth(0.06, 0.18, t));
  return f;
}

// A state-variable filter (trapezoidal, stable at any frequency below half
// the rate): low, band and high outputs of one input.
struct a_svf {
  double ic1 = 0, ic2 = 0;
  void Step(double v0, double hz, double q, double& low, double& band, double& high) {
    const double g = std::tan(M_PI * std::min(hz, 0.49 * kRate2) / kRate2), k = 1 / q;
    const double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
    const double v3 = v0 - ic2, v1 = a1 * ic1 + a2 * v3, v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    low = v2;
    band = v1 * k;  // unity gain at the centre
    high = v0 - k * v1 - v2;
  }
};

// A partial of an additive voice: frequency ratio, loudness, and how much
// sooner than the fundamental it dies away.
struct a_partial {
  double ratio, amp, decay_scale;
};

void Additive(const a_sound& s, const a_note& n, const std::vector<a_partial>& parts, std::vector<double>& buf) {
  size_t i0 = 0, i1 = 0;
  Span(s, n, i0, i1);
  std::vector<double> phase(parts.size(), 0.0);
  for (size_t i = i0; i < i1; ++i) {
    const double t = double(i - i0) / kRate2, f = Hz(s, n, t);
    double y = 0;
    for (size_t k = 0; k < parts.size(); ++k) {
      const double fk = f * parts[k].ratio;
      phase[k] += kTau * fk / kRate2;
      if (fk < kTopHz) y += parts[k].amp * Env(s, n, t, parts[k].decay_scale) * std::sin(phase[k]);
    }
    buf[i] += y;
  }
}

// A short burst of band-limited noise (a mallet, a pick, a flick of paper).
void Burst(const a_sound& s, const a_note& n, double amount, double hz, double ms, a_rng& rng, std::vector<double>& buf) {
  if (amount <= 0) return;
  size_t i0 = 0, i1 = 0;
  Span(s, n, i0, i1);
  i1 = std::min(i1, i0 + size_t(kRate2 * ms / 1000.0 * 8));
  a_svf f;
  for (size_t i = i0; i < i1; ++i) {
    const double t = double(i - i0) / kRate2;
    double lo = 0, band = 0, hi = 0;
    f.Step(rng.Range(-1, 1), hz, 0.9, lo, band, hi);
    const double rise = std::min(1.0, t / 0.0006);
    buf[i] += amount * 2.5 * band * rise * std::exp(-t / (ms / 1000.0));
  }
}

// ---------------------------------------------------------------------------
// Voices
// ---------------------------------------------------------------------------
// A sine, warmed by two quiet harmonics.
void Voice_Sine(const a_sound& s, const a_note& n, a_rng&, std::vector<double>& buf) {
  Additive(s, n, {{1, 1, 1}, {2, 0.3 * s.bright, 0.7}, {3, 0.12 * s.bright, 0.5}}, buf);
}

// A crisp tick: a high tone and an inharmonic overtone that dies at once.
void Voice_Click(const a_sound& s, const a_note& n, a_rng&, std::vector<double>& buf) {
  Additive(s, n, {{1, 1, 1}, {2.41, 0.6, 0.5}, {3.93, 0.3 * s.bright, 0.3}}, buf);
}

// A wood block: its modes close to 1 : 2.57 : 4.2.
void Voice_Wood(const a_sound& s, const a_note& n, a_rng& rng, std::vector<double>& buf) {
  Additive(s, n, {{1, 1, 1}, {2.57, 0.45, 0.5}, {4.2, 0.25 * s.bright, 0.3}, {6.3, 0.1 * s.bright, 0.2}}, buf);
  Burst(s, n, 0.15 * s.bright, std::min(6000.0, n.hz * 3), 1.5, rng, buf);
}

// A marimba bar, tuned 1 : 4 : 10, with the soft knock of the mallet.
void Voice_Marimba(const a_sound& s, const a_note& n, a_rng& rng, std::vector<double>& buf) {
  const double b = 0.5 + s.bright;
  Additive(s, n, {{1, 1, 1}, {3.99, 0.3 * b, 0.28}, {9.9, 0.08 * b, 0.1}}, buf);
  Burst(s, n, 0.2 * s.bright, std::min(5000.0, n.hz * 6), 2.5, rng, buf);
}

// A glockenspiel bar: partials 1 : 2.76 : 5.40 : 8.93, the upper ones short.
void Voice_Glock(const a_sound& s, const a_note& n, a_rng&, std::vector<double>& buf) {
  const double b = 0.5 + s.bright;
  Additive(s, n, {{1, 1, 1}, {2.76, 0.35, 0.4}, {5.40, 0.18 * b, 0.2}, {8.93, 0.08 * b, 0.12}}, buf);
}

// A soft square: odd harmonics falling faster than a square's, and dying
// sooner the higher they are.
void Voice_Blip(const a_sound& s, const a_note& n, a_rng&, std::vector<double>& buf) {
  std::vector<a_partial> parts;
  for (int k = 1; k <= 15; k += 2) parts.push_back({double(k), std::pow(double(k), -(2.2 - s.bright)), 1 / (1 + 0.25 * (k - 1))});
  Additive(s, n, parts, buf);
}

// Two-operator FM. A bell: an inharmonic pair whose brightness dies well
// before the tone, so the bell settles on its pitch.
void Voice_Bell(const a_sound& s, const a_note& n, a_rng&, std::vector<double>& buf) {
  size_t i0 = 0, i1 = 0;
  Span(s, n, i0, i1);
  double pc = 0, pm = 0;
  const double index0 = 0.8 + 2.4 * s.bright, index_tau = std::max(0.01, (s.decay > 0 ? s.decay : s.ms) / 1000.0 / 4);
  for (size_t i = i0; i < i1; ++i) {
    const double t = double(i - i0) / kRate2, f = Hz(s, n, t);
    pc += kTau * f / kRate2;
    pm += kTau * f * s.ratio / kRate2;
    const double index = f * s.ratio < kTopHz ? index0 * std::exp(-t / index_tau) : 0.0;
    buf[i] += Env(s, n, t) * std::sin(pc + index * std::sin(pm));
  }
}

// A brass note: FM whose brightness follows the loudness, with a little
// scoop up to the pitch at the start.
void Voice_Brass(const a_sound& s, const a_note& n, a_rng&, std::vector<double>& buf) {
  size_t i0 = 0, i1 = 0;
  Span(s, n, i0, i1);
  double pc = 0, pm = 0;
  const double index0 = 0.6 + 2.6 * s.bright;
  for (size_t i = i0; i < i1; ++i) {
    const double t = double(i - i0) / kRate2, f = Hz(s, n, t) * (1 - 0.025 * std::exp(-t / 0.018));
    const double e = Env(s, n, t);
    pc += kTau * f / kRate2;
    pm += kTau * f * s.ratio / kRate2;
    buf[i] += e * std::sin(pc + index0 * e * std::sin(pm));
  }
}

// A plucked string (Karplus-Strong): one period of the string's shape when
// plucked near its end (a triangle, harmonics falling as 1 / n^2) with a
// little noise in it, circulating in a delay line one period long, through a
// low-pass that takes the upper harmonics away sooner the duller the string
// (bright), and a loss that sets how long it rings.
void Voice_Pluck(const a_sound& s, const a_note& n, a_rng& rng, std::vector<double>& buf) {
  size_t i0 = 0, i1 = 0;
  Span(s, n, i0, i1);
  const size_t cap = size_t(kRate2 / 40) + 4;
  std::vector<double> line(cap, 0.0);
  size_t w = 0;
  const double c = 0.25 + 0.6 * s.bright;  // the loop's low-pass
  const double lag = (1 - c) / c;          // its delay at low frequencies, in samples
  const double excite = 1 / n.hz, decay = s.decay > 0 ? s.decay / 1000.0 : 1.0;
  const double ce = 1 - std::exp(-kTau * n.hz * (2 + 10 * s.bright) / kRate2);
  double soft1 = 0, soft = 0, lp = 0;
  for (size_t i = i0; i < i1; ++i) {
    const double t = double(i - i0) / kRate2, f = std::max(40.0, Hz(s, n, t));
    const double p = double(w + cap) - (kRate2 / f - lag);
    const size_t k = size_t(std::floor(p));
    const double fr = p - std::floor(p), past = line[k % cap] * (1 - fr) + line[(k + 1) % cap] * fr;
    double in = 0;
    if (t < excite) {
      soft1 += ce * (rng.Range(-1, 1) - soft1);
      soft += ce * (soft1 - soft);
      const double at = t / excite, shape = at < kPluckAt ? at / kPluckAt : (1 - at) / (1 - kPluckAt);
      in = shape - 0.5 + 0.5 * soft;
    }
    lp += c * (past - lp);
    const double y = in + std::exp(-1 / (f * decay)) * lp;
    line[w] = y;
    w = (w + 1) % cap;
    buf[i] += y * Env(s, n, t, 1e9);
  }
}

// Band noise: the note is the band's centre, glide sweeps it; am rubs it.
void Voice_Noise(const a_sound& s, const a_note& n, a_rng& rng, std::vector<double>& buf) {
  size_t i0 = 0, i1 = 0;
  Span(s, n, i0, i1);
  a_svf f1, f2;
  for (size_t i = i0; i < i1; ++i) {
    const double t = double(i - i0) / kRate2, hz = Hz(s, n, t);
    double lo = 0, band = 0, hi = 0, band2 = 0;
    f1.Step(rng.Range(-1, 1), hz, s.q, lo, band, hi);
    f2.Step(band, hz, s.q, lo, band2, hi);  // two poles each side: a rounder band
    double rub = 1;
    if (s.am > 0) rub = 1 - s.depth + s.depth * std::pow(0.5 - 0.5 * std::cos(kTau * s.am * t), 1.5);
    buf[i] += 3 * band2 * rub * Env(s, n, t);
  }
}

const a_timbre kTimbres[] = {
    {"sine", Voice_Sine, "", 1},       {"click", Voice_Click, "", 1},   {"wood", Voice_Wood, "", 1},
    {"marimba", Voice_Marimba, "", 1}, {"glock", Voice_Glock, "", 1},   {"blip", Voice_Blip, "", 1},
    {"bell", Voice_Bell, "ratio", 3.5}, {"brass", Voice_Brass, "ratio", 1}, {"pluck", Voice_Pluck, "", 1},
    {"noise", Voice_Noise, "q am depth", 1},
};

// ---------------------------------------------------------------------------
// Mixing down
// ---------------------------------------------------------------------------
// A small room: four damped combs in parallel, two allpasses after them.
void Room(double amount, std::vector<double>& buf) {
  if (amount <= 0) return;
  const size_t combs[] = {1116, 1188, 1277, 1356}, passes[] = {556, 441};
  std::vector<std::vector<double>> cb, ab;
  for (size_t c : combs) cb.emplace_back(c, 0.0);
  for (size_t a : passes) ab.emplace_back(a, 0.0);
  std::vector<size_t> ci(4, 0), ai(2, 0);
  std::vector<double> damp(4, 0.0);
  for (double& x : buf) {
    double wet = 0;
    for (size_t k = 0; k < 4; ++k) {
      const double out = cb[k][ci[k]];
      damp[k] = out * 0.6 + damp[k] * 0.4;
      cb[k][ci[k]] = x + damp[k] * 0.7;
      ci[k] = (ci[k] + 1) % cb[k].size();
      wet += out;
    }
    wet *= 0.25;
    for (size_t k = 0; k < 2; ++k) {
      const double out = ab[k][ai[k]];
      ab[k][ai[k]] = wet + out * 0.5;
      ai[k] = (ai[k] + 1) % ab[k].size();
      wet = out - wet;
    }
    x += amount * wet;
  }
}

// Down to the output rate through a windowed-sinc low-pass at 10 kHz.
std::vector<double> Decimate(const std::vector<double>& in, size_t n) {
  constexpr int32_t kTaps = 63, kMid = kTaps / 2;
  static const std::array<double, kTaps> h = [] {
    std::array<double, kTaps> c{};
    const double fc = 10000.0 / kRate2;
    double sum = 0;
    for (int32_t k = 0; k < kTaps; ++k) {
      const double x = k - kMid, sinc = x == 0 ? 2 * fc : std::sin(kTau * fc * x) / (M_PI * x);
      const double win = 0.42 - 0.5 * std::cos(kTau * k / (kTaps - 1)) + 0.08 * std::cos(2 * kTau * k / (kTaps - 1));
      c[size_t(k)] = sinc * win;
      sum += c[size_t(k)];
    }
    for (double& v : c) v /= sum;
    return c;
  }();
  std::vector<double> out(n, 0.0);
  for (size_t j = 0; j < n; ++j) {
    double y = 0;
    for (int32_t k = 0; k < kTaps; ++k) {
      const int64_t src = int64_t(j) * kOver + k - kMid;
      if (src >= 0 && src < int64_t(in.size())) y += h[size_t(k)] * in[size_t(src)];
    }
    out[j] = y;
  }
  return out;
}

bool Render(const a_sound& s, std::vector<int16>& pcm, std::string& err) {
  std::vector<double> buf(Samples2(s), 0.0);
  a_rng rng(s.seed);
  for (const a_note& n : s.notes) {
    s.timbre->voice(s, n, rng, buf);
    Burst(s, n, s.noise, s.nf, s.nms, rng, buf);
  }
  Room(s.room, buf);
  std::vector<double> out = Decimate(buf, buf.size() / kOver);
  // No offset (it would thump at the fades), the sound's own fall, then the
  // fades that make it start and end in silence.
  const double pole = 1 - kTau * 20.0 / ART_SOUND_RATE;
  double x1 = 0, y1 = 0;
  for (double& v : out) {
    const double y = v - x1 + pole * y1;
    x1 = v;
    v = y1 = y;
  }
  const size_t n = out.size();
  const size_t fall = std::min(n / 2, size_t(s.release / 1000.0 * ART_SOUND_RATE));
  const size_t fade = std::min(n / 2, size_t(kFadeMs / 1000.0 * ART_SOUND_RATE));
  for (size_t i = 0; i < fall; ++i) out[n - 1 - i] *= std::pow(std::sin(M_PI / 2 * double(i) / double(fall)), 2);
  for (size_t i = 0; i < fade; ++i) {
    const double w = 0.5 - 0.5 * std::cos(M_PI * double(i) / double(fade));
    out[i] *= w;
    out[n - 1 - i] *= w;
  }
  double peak = 0;
  for (double v : out) peak = std::max(peak, std::fabs(v));
  if (!(peak > 1e-9)) {
    err = "silent";
    return false;
  }
  pcm.resize(n);
  for (size_t i = 0; i < n; ++i) pcm[i] = int16(std::lround(out[i] / peak * kPeak * 32767));
  return true;
}

// ---------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------
double Midi_Hz(int32_t midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// "C4", "F#3", "Bb5": the MIDI number; false when malformed or beyond
// C0 .. B8.
bool Parse_Note_Name(const std::string& s, int32_t& midi) {
  static const int32_t base[7] = {9, 11, 0, 2, 4, 5, 7};  // A .. G
  if (s.size() < 2 || s[0] < 'A' || s[0] > 'G') return false;
  int32_t semi = base[s[0] - 'A'];
  size_t i = 1;
  if (s[i] == '#' || s[i] == 'b') semi += s[i++] == '#' ? 1 : -1;
  int64_t oct = 0;
  if (!Parse_Int_Word(s.substr(i), 0, 8, oct)) return false;
  midi = int32_t(12 * (oct + 1)) + semi;
  return true;
}

// A note name or a frequency of 20 .. 10,000 Hz.
bool Parse_Pitch(const std::string& s, double& hz) {
  int32_t midi = 0;
  if (Parse_Note_Name(s, midi)) {
    hz = Midi_Hz(midi);
    return true;
  }
  int64_t v = 0;
  if (!Parse_Int_Word(s, 20, 10000, v)) return false;
  hz = double(v);
  return true;
}

struct a_scale {
  const char* name;
  std::vector<int32_t> steps;  // semitones above the root within an octave
};
const a_scale kScales[] = {
    {"major", {0, 2, 4, 5, 7, 9, 11}},      {"minor", {0, 2, 3, 5, 7, 8, 10}},
    {"dorian", {0, 2, 3, 5, 7, 9, 10}},     {"lydian", {0, 2, 4, 6, 7, 9, 11}},
    {"mixolydian", {0, 2, 4, 5, 7, 9, 10}}, {"pentatonic", {0, 2, 4, 7, 9}},
    {"minor-pentatonic", {0, 3, 5, 7, 10}},
};

std::string Ranges_Text() {
  std::string t;
  for (const a_art_id_range& r : ART_SOUND_RANGES)
    t += (t.empty() ? "" : ", ") + std::to_string(r.first) + "-" + std::to_string(r.last);
  return t;
}

const a_art_id_range* Range_Of(int64_t id) {
  for (const a_art_id_range& r : ART_SOUND_RANGES)
    if (id >= r.first && id <= r.last) return &r;
  return nullptr;
}

bool Parse_Ids(const a_table_row& r, int64_t& first, int64_t& last, std::string& err) {
  const std::string& w = r.words[0];
  const size_t dash = w.find('-');
  const bool ok = dash == std::string::npos
                      ? Parse_Int_Word(w, 1, 31999, first) && (last = first, true)
                      : Parse_Int_Word(w.substr(0, dash), 1, 31999, first) &&
                            Parse_Int_Word(w.substr(dash + 1), 1, 31999, last) && last > first;
  if (!ok) {
    err = r.Where() + ": ID or FIRST-LAST (rising) expected, not " + w;
    return false;
  }
  const a_art_id_range* a = Range_Of(first);
  if (a == nullptr || Range_Of(last) != a) {
    err = r.Where() + ": sound " + w + " lies in no one sound range (" + Ranges_Text() + ")";
    return false;
  }
  return true;
}

bool Parse_Notes(const a_table_row& r, const a_sound& s, double step_ms, std::vector<a_note>& notes, std::string& err) {
  const std::string text = r.Text("notes", "");
  if (text.empty()) {
    err = r.Where() + ": notes=NOTE[:START[:LEN]],... expected";
    return false;
  }
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string one = text.substr(start, comma - start);
    std::vector<std::string> parts;
    for (size_t p = 0; p <= one.size();) {
      const size_t colon = std::min(one.find(':', p), one.size());
      parts.push_back(one.substr(p, colon - p));
      p = colon + 1;
    }
    a_note n;
    int64_t at = int64_t(std::lround(double(notes.size()) * step_ms)), len = 0;
    if (parts.size() > 3 || !Parse_Pitch(parts[0], n.hz) ||
        (parts.size() > 1 && !Parse_Int_Word(parts[1], 0, 1499, at)) ||
        (parts.size() > 2 && !Parse_Int_Word(parts[2], 1, 1500, len))) {
      err = r.Where() + ": bad note " + one + " (NOTE[:START[:LEN]]: C4, F#3, Bb5 or 20 to 10000 Hz, ms)";
      return false;
    }
    if (double(at) >= s.ms) {
      err = r.Where() + ": note " + one + " starts after the sound's end";
      return false;
    }
    n.start = double(at) / 1000.0;
    n.len = double(len) / 1000.0;
    notes.push_back(n);
    start = comma + 1;
  }
  return true;
}

bool Parse_Sound_Row(const a_table_row& r, std::vector<a_sound>& out, std::string& err) {
  if (r.words.size() != 3) {
    err = r.Where() + ": ID \"NAME\" TIMBRE and options expected";
    return false;
  }
  int64_t first = 0, last = 0;
  if (!Parse_Ids(r, first, last, err)) return false;
  a_sound s;
  s.name = r.words[1];
  for (const a_timbre& t : kTimbres)
    if (r.words[2] == t.name) s.timbre = &t;
  if (s.timbre == nullptr) {
    std::string names;
    for (const a_timbre& t : kTimbres) names += std::string(names.empty() ? "" : ", ") + t.name;
    err = r.Where() + ": no timbre " + r.words[2] + " (" + names + ")";
    return false;
  }
  // Options: the common ones, the timbre's own, and those of the row's form.
  std::set<std::string> known = {"ms",    "attack", "decay", "release", "glide", "gms", "vib",
                                 "bright", "noise", "nf",    "nms",     "room",  "seed"};
  const std::string extra = std::string(s.timbre->extra) + (first == last ? " notes step" : " scale root");
  for (size_t p = 0; p < extra.size();) {
    const size_t sp = std::min(extra.find(' ', p), extra.size());
    if (sp > p) known.insert(extra.substr(p, sp - p));
    p = sp + 1;
  }
  for (const auto& [name, value] : r.options) {
    if (known.count(name) == 0) {
      err = r.Where() + ": option " + name + " does not belong to a " +
            (first == last ? "" : "range row of ") + "timbre " + s.timbre->name;
      return false;
    }
  }
  // The fanfare alone may take longer than an interface sound.
  const int64_t most = first == ART_SOUND_FANFARE ? ART_SOUND_FANFARE_MAX_MS : ART_SOUND_MAX_MS;
  int64_t ms = 0, seed = 0;
  if (!Parse_Int_Word(r.Text("ms", ""), ART_SOUND_MIN_MS, most, ms)) {
    err = r.Where() + ": sound " + r.words[0] + " lasts " + r.Text("ms", "no") + " ms: it must last " +
          std::to_string(ART_SOUND_MIN_MS) + " to " + std::to_string(most) + " ms";
    return false;
  }
  double step = 0;
  if (!r.Real("attack", 0, 500, s.attack, s.attack, err) || !r.Real("decay", 0, 5000, s.decay, s.decay, err) ||
      !r.Real("release", kFadeMs, 1000, s.release, s.release, err) ||
      !r.Real("glide", 0.1, 10, s.glide, s.glide, err) || !r.Real("gms", 0, 1500, s.gms, s.gms, err) ||
      !r.Real("vib", 0, 100, s.vib, s.vib, err) || !r.Real("bright", 0, 1, s.bright, s.bright, err) ||
      !r.Real("ratio", 0.25, 16, s.timbre->ratio, s.ratio, err) || !r.Real("noise", 0, 2, s.noise, s.noise, err) ||
      !r.Real("nf", 100, 9000, s.nf, s.nf, err) || !r.Real("nms", 0.5, 200, s.nms, s.nms, err) ||
      !r.Real("q", 0.3, 20, s.q, s.q, err) || !r.Real("am", 0, 100, s.am, s.am, err) ||
      !r.Real("depth", 0, 1, s.depth, s.depth, err) || !r.Real("room", 0, 1, s.room, s.room, err) ||
      !r.Real("step", 0, 1500, 0, step, err) || !r.Int("seed", 0, INT32_MAX, first, seed, err))
    return false;
  s.ms = double(ms);
  if (first == last) {
    s.id = int16_t(first);
    s.seed = Seed_Of("sound", seed);
    if (!Parse_Notes(r, s, step, s.notes, err)) return false;
    out.push_back(std::move(s));
    return true;
  }
  // A range: one note of the scale an id, from the root upwards.
  const a_scale* scale = nullptr;
  for (const a_scale& sc : kScales)
    if (r.Text("scale", "") == sc.name) scale = &sc;
  if (scale == nullptr) {
    std::string names;
    for (const a_scale& sc : kScales) names += std::string(names.empty() ? "" : ", ") + sc.name;
    err = r.Where() + ": scale=NAME expected (" + names + ")";
    return false;
  }
  int32_t root = 0;
  if (!Parse_Note_Name(r.Text("root", ""), root)) {
    err = r.Where() + ": root=NOTE expected (a name such as C4, F#3 or Bb5)";
    return false;
  }
  const int32_t per = int32_t(scale->steps.size());
  for (int64_t id = first; id <= last; ++id) {
    const int32_t i = int32_t(id - first);
    const int32_t midi = root + 12 * (i / per) + scale->steps[size_t(i % per)];
    if (midi > 108) {
      err = r.Where() + ": sound " + std::to_string(id) + " would be above C8: start the scale lower";
      return false;
    }
    a_sound one = s;
    one.id = int16_t(id);
    one.seed = Seed_Of("sound", seed, id);
    one.notes = {a_note{Midi_Hz(midi), 0, 0}};
    out.push_back(std::move(one));
  }
  return true;
}

}  // namespace

bool Sound_Jobs(const a_art_context& ctx, std::vector<a_art_job>& jobs, std::string& err) {
  std::vector<a_table_row> rows;
  if (!Read_Table(ctx, "sounds.txt", rows, err)) return false;
  std::vector<std::vector<a_sound>> groups;  // one a row, each row a job
  std::map<int16_t, int32_t> line_of;
  for (const a_table_row& r : rows) {
    std::vector<a_sound> group;
    if (!Parse_Sound_Row(r, group, err)) return false;
    for (const a_sound& s : group) {
      const auto [it, fresh] = line_of.emplace(s.id, r.line);
      if (!fresh) {
        err = r.Where() + ": sound " + std::to_string(s.id) + " is already made on line " + std::to_string(it->second);
        return false;
      }
    }
    groups.push_back(std::move(group));
  }
  for (const a_art_id_range& range : ART_SOUND_RANGES) {
    for (int16_t id = range.first; id <= range.last; ++id) {
      if (line_of.count(id) == 0) {
        err = "art/sounds.txt: no sound " + std::to_string(id) + " (every id of " + Ranges_Text() + " needs one)";
        return false;
      }
    }
  }
  for (std::vector<a_sound>& group : groups) {
    const std::string name = "sounds " + std::to_string(group.front().id) + ".." + std::to_string(group.back().id);
    jobs.push_back(a_art_job{name, [group = std::move(group)](std::vector<a_art_object>& out, std::string& e) {
                               for (const a_sound& s : group) {
                                 std::vector<int16> pcm;
                                 a_art_object o;
                                 o.key = a_keyset{ART_SOUND, 0, s.id, 0};
                                 if (!Render(s, pcm, e) ||
                                     !Sound_Encode16(uint16(ART_SOUND_RATE), pcm, o.data, e)) {
                                   e = "sound " + std::to_string(s.id) + " (" + s.name + "): " + e;
                                   return false;
                                 }
                                 out.push_back(std::move(o));
                               }
                               return true;
                             }});
  }
  return true;
}
