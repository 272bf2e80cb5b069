// Font families from fontconfig, glyphs from FreeType. See HostFont.h.
#include "host/HostFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <list>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "host/HostGdiCore.h"
#include "host/HostUtf.h"

namespace {

// ASCII case folding: GDI looks face names up without regard to case.
std::u16string Fold(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  return s;
}

// --- FreeType library ---------------------------------------------------------------

FT_Library Ft() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

// --- Families -----------------------------------------------------------------------

struct Face {
  std::string file;
  int32 index = 0;
  int32 weight = FC_WEIGHT_REGULAR;  // fontconfig's scale
  int32 slant = FC_SLANT_ROMAN;
  int32 width = FC_WIDTH_NORMAL;
  int32 spacing = FC_PROPORTIONAL;
  FcLangSet* langs = nullptr;  // owned copies
  FcCharSet* chars = nullptr;
};

struct Family {
  std::string name;  // UTF-8
  std::u16string name16;
  std::vector<size_t> faces;  // into Table::faces
  uint8 charset = ANSI_CHARSET;
  uint8 pitch = VARIABLE_PITCH;
};

struct Table {
  bool built = false;
  std::vector<Face> faces;
  std::vector<Family> families;  // sorted by name16
  std::unordered_map<std::u16string, size_t> by_folded;
  ~Table() { Clear(); }
  void Clear() {
    for (Face& f : faces) {
      if (f.langs) FcLangSetDestroy(f.langs);
      if (f.chars) FcCharSetDestroy(f.chars);
    }
    faces.clear();
    families.clear();
    by_folded.clear();
    built = false;
  }
};

Table& Tab() {
  static Table t;
  return t;
}

// How far a face is from what is asked: slant first, then weight, then width.
int64 Face_Distance(const Face& f, int32 want_weight, bool want_italic) {
  const bool italic = f.slant != FC_SLANT_ROMAN;
  return (italic != want_italic ? 1000000 : 0) + int64(std::abs(f.weight - want_weight)) * 10 +
         std::abs(f.width - FC_WIDTH_NORMAL) * 12;
}

const Face* Best_Face(const Family& fam, int32 want_weight, bool want_italic) {
  const Face* best = nullptr;
  int64 best_d = INT64_MAX;
  for (size_t k : fam.faces) {
    const Face& f = Tab().faces[k];
    const int64 d = Face_Distance(f, want_weight, want_italic);
    if (d < best_d) {
      best_d = d;
      best = &f;
    }
  }
  return best;
}

bool Covers_Latin(const FcCharSet* cs) {
  for (FcChar32 c = 'A'; c <= 'Z'; ++c)
    if (!FcCharSetHasChar(cs, c) || !FcCharSetHasChar(cs, c + 32)) return false;
  return true;
}

int32 Count_Symbol_Block(const FcCharSet* cs) {
  int32 n = 0;
  for (FcChar32 c = 0xF020; c <= 0xF0FF; ++c) n += FcCharSetHasChar(cs, c) ? 1 : 0;
  return n;
}

bool Has_Lang(const FcLangSet* ls, const char* lang) {
  return ls && FcLangSetHasLang(ls, reinterpret_cast<const FcChar8*>(lang)) == FcLangEqual;
}

void Classify(Family& fam) {
  const Face* f = Best_Face(fam, FC_WEIGHT_REGULAR, false);
  fam.charset = DEFAULT_CHARSET;
  fam.pitch = VARIABLE_PITCH;
  if (!f) return;
  const FcLangSet* ls = f->langs;
  const FcCharSet* cs = f->chars;
  bool symbol = false;
  if (cs && Count_Symbol_Block(cs) >= 32) {
    fam.charset = SYMBOL_CHARSET;
    symbol = true;
  } else if (Has_Lang(ls, "ja")) {
    fam.charset = SHIFTJIS_CHARSET;
  } else if (Has_Lang(ls, "ko")) {
    fam.charset = HANGUL_CHARSET;
  } else if (Has_Lang(ls, "zh-cn")) {
    fam.charset = GB2312_CHARSET;
  } else if (Has_Lang(ls, "zh-tw")) {
    fam.charset = CHINESEBIG5_CHARSET;
  } else if (cs && Covers_Latin(cs)) {
    fam.charset = ANSI_CHARSET;
  } else if (Has_Lang(ls, "he")) {
    fam.charset = HEBREW_CHARSET;
  } else if (Has_Lang(ls, "ar")) {
    fam.charset = ARABIC_CHARSET;
  } else if (Has_Lang(ls, "el")) {
    fam.charset = GREEK_CHARSET;
  } else if (Has_Lang(ls, "ru")) {
    fam.charset = RUSSIAN_CHARSET;
  } else if (Has_Lang(ls, "th")) {
    fam.charset = THAI_CHARSET;
  }
  const uint8 pitch = (f->spacing == FC_MONO || f->spacing == FC_CHARCELL) ? FIXED_PITCH : VARIABLE_PITCH;
  if (symbol) {
    fam.pitch = pitch | FF_DECORATIVE;
  } else if (pitch == FIXED_PITCH) {
    fam.pitch = FIXED_PITCH | FF_MODERN;
  } else if (fam.name.find("Serif") != std::string::npos &&
             fam.name.find("Sans Serif") == std::string::npos) {
    fam.pitch = VARIABLE_PITCH | FF_ROMAN;
  } else if (fam.name.find("Sans") != std::string::npos) {
    fam.pitch = VARIABLE_PITCH | FF_SWISS;
  } else {
    fam.pitch = VARIABLE_PITCH | FF_DONTCARE;
  }
}

void Build_Table() {
  Table& t = Tab();
  if (t.built) return;
  t.Clear();
  t.built = true;
  if (!FcInit()) return;
  FcPattern* pat = FcPatternCreate();
  if (!pat) return;
  FcPatternAddBool(pat, FC_OUTLINE, FcTrue);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcObjectSet* os =
      FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH,
                       FC_SPACING, FC_LANG, FC_CHARSET, FC_VARIABLE, nullptr);
  FcFontSet* fs = os ? FcFontList(nullptr, pat, os) : nullptr;
  FcPatternDestroy(pat);
  if (os) FcObjectSetDestroy(os);
  if (!fs) return;

  std::unordered_map<std::string, size_t> fam_of;  // UTF-8 name -> index
  for (int i = 0; i < fs->nfont; ++i) {
    FcPattern* p = fs->fonts[i];
    FcBool variable = FcFalse;
    // The entry of a whole variable font; its named instances come separately.
    if (FcPatternGetBool(p, FC_VARIABLE, 0, &variable) == FcResultMatch && variable) continue;
    FcChar8* file = nullptr;
    if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
    Face f;
    f.file = reinterpret_cast<const char*>(file);
    int v = 0;
    if (FcPatternGetInteger(p, FC_INDEX, 0, &v) == FcResultMatch) f.index = v;
    double d = 0;
    if (FcPatternGetDouble(p, FC_WEIGHT, 0, &d) == FcResultMatch) f.weight = int32(d);
    else if (FcPatternGetInteger(p, FC_WEIGHT, 0, &v) == FcResultMatch) f.weight = v;
    if (FcPatternGetInteger(p, FC_SLANT, 0, &v) == FcResultMatch) f.slant = v;
    if (FcPatternGetDouble(p, FC_WIDTH, 0, &d) == FcResultMatch) f.width = int32(d);
    else if (FcPatternGetInteger(p, FC_WIDTH, 0, &v) == FcResultMatch) f.width = v;
    if (FcPatternGetInteger(p, FC_SPACING, 0, &v) == FcResultMatch) f.spacing = v;
    FcLangSet* ls = nullptr;
    if (FcPatternGetLangSet(p, FC_LANG, 0, &ls) == FcResultMatch && ls) f.langs = FcLangSetCopy(ls);
    FcCharSet* cs = nullptr;
    if (FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) == FcResultMatch && cs) f.chars = FcCharSetCopy(cs);

    // The family names in English (or the first one when none is marked so).
    std::vector<std::string> names;
    FcChar8* fam = nullptr;
    for (int k = 0; FcPatternGetString(p, FC_FAMILY, k, &fam) == FcResultMatch; ++k) {
      FcChar8* lang = nullptr;
      const bool has_lang = FcPatternGetString(p, FC_FAMILYLANG, k, &lang) == FcResultMatch;
      if (!has_lang || (lang && std::string(reinterpret_cast<const char*>(lang)) == "en"))
        names.emplace_back(reinterpret_cast<const char*>(fam));
    }
    if (names.empty() && FcPatternGetString(p, FC_FAMILY, 0, &fam) == FcResultMatch)
      names.emplace_back(reinterpret_cast<const char*>(fam));
    if (names.empty()) {
      if (f.langs) FcLangSetDestroy(f.langs);
      if (f.chars) FcCharSetDestroy(f.chars);
      continue;
    }
    const size_t face_ix = t.faces.size();
    t.faces.push_back(f);
    for (const std::string& n : names) {
      if (n.empty()) continue;
      auto it = fam_of.find(n);
      size_t fx;
      if (it == fam_of.end()) {
        fx = t.families.size();
        fam_of.emplace(n, fx);
        Family nf;
        nf.name = n;
        nf.name16 = Host_Utf8_To_Utf16(n);
        if (nf.name16.size() >= size_t(kHostFaceNameUnits)) nf.name16.resize(kHostFaceNameUnits - 1);
        t.families.push_back(std::move(nf));
      } else {
        fx = it->second;
      }
      std::vector<size_t>& fl = t.families[fx].faces;
      if (std::find(fl.begin(), fl.end(), face_ix) == fl.end()) fl.push_back(face_ix);
    }
  }
  FcFontSetDestroy(fs);

  std::sort(t.families.begin(), t.families.end(),
            [](const Family& a, const Family& b) { return a.name16 < b.name16; });
  for (size_t i = 0; i < t.families.size(); ++i) {
    Classify(t.families[i]);
    t.by_folded.emplace(Fold(t.families[i].name16), i);
  }
}

const Family* Find_Family(const std::u16string& name) {
  Build_Table();
  auto it = Tab().by_folded.find(Fold(name));
  return it == Tab().by_folded.end() ? nullptr : &Tab().families[it->second];
}

// The installed family fontconfig deems closest to the name (or to its
// default sans-serif for an empty name).
const Family* Match_Family(const std::string& name, int32 fc_weight, bool italic) {
  Build_Table();
  Table& t = Tab();
  if (t.families.empty()) return nullptr;
  FcPattern* p = FcPatternCreate();
  const Family* found = nullptr;
  if (p) {
    FcPatternAddString(p, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(name.empty() ? "sans-serif" : name.c_str()));
    FcPatternAddInteger(p, FC_WEIGHT, fc_weight);
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(p, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult res = FcResultNoMatch;
    FcPattern* m = FcFontMatch(nullptr, p, &res);
    if (m) {
      FcChar8* file = nullptr;
      int idx = 0;
      FcPatternGetInteger(m, FC_INDEX, 0, &idx);
      if (FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch && file) {
        const std::string fs(reinterpret_cast<const char*>(file));
        // The family that holds the matched face; the one named first by
        // fontconfig when several do.
        FcChar8* fam = nullptr;
        if (FcPatternGetString(m, FC_FAMILY, 0, &fam) == FcResultMatch && fam)
          found = Find_Family(Host_Utf8_To_Utf16(reinterpret_cast<const char*>(fam)));
        if (!found) {
          for (const Family& f : t.families) {
            for (size_t k : f.faces)
              if (t.faces[k].file == fs && t.faces[k].index == idx) found = &f;
            if (found) break;
          }
        }
      }
      FcPatternDestroy(m);
    }
    FcPatternDestroy(p);
  }
  return found ? found : &t.families.front();
}

}  // namespace

// --- Sized faces ----------------------------------------------------------------------

namespace {

struct GlyphEntry {
  int32 advance = 0;
  bool have_adv = false;
  bool have_bm[2] = {false, false};  // antialiased, mono
  int32 left[2]{}, top[2]{}, width[2]{}, rows[2]{};
  std::vector<uint8> cov[2];
};

constexpr size_t kMaxGlyphBytes = size_t(16) << 20;

}  // namespace

struct HostFontInstance {
  std::string family;
  std::string file;
  int32 index = 0;
  int32 em = 12;
  bool synth_bold = false;
  bool synth_italic = false;
  int32 escapement = 0;  // 0 .. 3599
  FT_Face face = nullptr;
  bool symbol_map = false;
  HostTextMetric tm;
  FT_Matrix xform{0x10000, 0, 0, 0x10000};  // shear and rotation of outlines
  bool has_xform = false;
  std::unordered_map<uint32, GlyphEntry> glyphs;
  size_t glyph_bytes = 0;
  char32_t ascii_cp_cached[128]{};
  uint32 ascii_gi[128]{};
  bool ascii_valid[128]{};
  int32 refs = 0;

  ~HostFontInstance() {
    if (face) FT_Done_Face(face);
  }
};

namespace {

// Instances shared by fonts of the same face, size, synthesis and angle.
struct InstanceKey {
  std::string file;
  int32 index, em, esc;
  bool bold, italic;
  bool operator==(const InstanceKey& o) const {
    return file == o.file && index == o.index && em == o.em && esc == o.esc && bold == o.bold &&
           italic == o.italic;
  }
};

struct InstanceCache {
  // Most recently used first; instances no font holds are dropped beyond 32.
  std::list<std::pair<InstanceKey, HostFontInstance*>> lru;
  ~InstanceCache() {
    for (auto& e : lru) delete e.second;
  }
  void Trim() {
    size_t n = 0;
    for (auto it = lru.begin(); it != lru.end();) {
      ++n;
      if (n > 32 && it->second->refs == 0) {
        delete it->second;
        it = lru.erase(it);
      } else {
        ++it;
      }
    }
  }
};

InstanceCache& Cache() {
  static InstanceCache c;
  return c;
}

void Release_Instance(HostFontInstance* inst) {
  if (!inst) return;
  --inst->refs;
  Cache().Trim();
}

int32 Norm_Esc(int32 e) {
  e %= 3600;
  return e < 0 ? e + 3600 : e;
}

int32 Round_Div(int64 a, int64 b) {
  if (b <= 0) return 0;
  return int32(a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b));
}

void Compute_Metrics(HostFontInstance& in, int32 want_weight, bool want_italic) {
  FT_Face f = in.face;
  const int64 upem = f->units_per_EM > 0 ? f->units_per_EM : 1000;
  int64 asc = f->ascender, desc = -int64(f->descender);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && int64(os2->usWinAscent) + os2->usWinDescent > 0) {
    asc = os2->usWinAscent;
    desc = os2->usWinDescent;
  }
  HostTextMetric& tm = in.tm;
  tm.tmAscent = Round_Div(asc * in.em, upem);
  tm.tmDescent = Round_Div(desc * in.em, upem);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - in.em);
  tm.tmExternalLeading = 0;
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
  if (hhea) {
    const int64 gap = int64(hhea->Line_Gap) - ((asc + desc) - (int64(hhea->Ascender) - hhea->Descender));
    if (gap > 0) tm.tmExternalLeading = Round_Div(gap * in.em, upem);
  }
  tm.tmAveCharWidth = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0
                          ? Round_Div(int64(os2->xAvgCharWidth) * in.em, upem)
                          : Round_Div(int64(f->max_advance_width) * in.em, upem * 2);
  tm.tmMaxCharWidth = Round_Div(int64(f->max_advance_width) * in.em, upem);
  tm.tmWeight = want_weight;
  tm.tmItalic = want_italic ? 1 : 0;
}

HostFontInstance* Open_Instance(const Face& face, const std::string& family, int32 em, bool bold,
                                bool italic, int32 esc, int32 want_weight, bool want_italic,
                                const Family& fam) {
  InstanceCache& c = Cache();
  const InstanceKey key{face.file, face.index, em, esc, bold, italic};
  for (auto it = c.lru.begin(); it != c.lru.end(); ++it) {
    if (it->first == key) {
      c.lru.splice(c.lru.begin(), c.lru, it);
      ++it->second->refs;
      return it->second;
    }
  }
  FT_Library lib = Ft();
  if (!lib) return nullptr;
  FT_Face f = nullptr;
  if (FT_New_Face(lib, face.file.c_str(), face.index, &f) != 0 || !f) return nullptr;
  if (!FT_IS_SCALABLE(f)) {
    FT_Done_Face(f);
    return nullptr;
  }
  auto* in = new (std::nothrow) HostFontInstance;
  if (!in) {
    FT_Done_Face(f);
    return nullptr;
  }
  in->face = f;
  in->family = family;
  in->file = face.file;
  in->index = face.index;
  in->em = em;
  in->synth_bold = bold;
  in->synth_italic = italic;
  in->escapement = esc;
  // A face without a Unicode map: take its symbol map when it has one.
  if (!f->charmap || f->charmap->encoding != FT_ENCODING_UNICODE) {
    for (int i = 0; i < f->num_charmaps; ++i) {
      if (f->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) {
        FT_Set_Charmap(f, f->charmaps[i]);
        break;
      }
    }
  }
  in->symbol_map = f->charmap && f->charmap->encoding == FT_ENCODING_MS_SYMBOL;
  FT_Set_Pixel_Sizes(f, 0, FT_UInt(em));
  Compute_Metrics(*in, want_weight, want_italic);
  in->tm.tmPitchAndFamily = fam.pitch;
  in->tm.tmCharSet = fam.charset;
  // Outline transform: shear for synthesised italics, then the rotation.
  double a = 1, b = 0, cc = 0, d = 1;  // [a b; c d], y up
  if (italic) b = 0.2126;               // about 12 degrees
  if (esc != 0) {
    const double th = esc * M_PI / 1800.0;
    const double cs = std::cos(th), sn = std::sin(th);
    const double na = cs * a - sn * cc, nb = cs * b - sn * d;
    const double nc = sn * a + cs * cc, nd = sn * b + cs * d;
    a = na, b = nb, cc = nc, d = nd;
  }
  in->has_xform = italic || esc != 0;
  in->xform = FT_Matrix{FT_Fixed(std::lround(a * 65536)), FT_Fixed(std::lround(b * 65536)),
                        FT_Fixed(std::lround(cc * 65536)), FT_Fixed(std::lround(d * 65536))};
  in->refs = 1;
  c.lru.emplace_front(key, in);
  c.Trim();
  return in;
}

HostFontInstance* Resolve(const HostLogFont& lf) {
  Build_Table();
  if (Tab().families.empty()) return nullptr;
  size_t n = 0;
  while (n < size_t(kHostFaceNameUnits) && lf.lfFaceName[n]) ++n;
  const std::u16string name(lf.lfFaceName, n);
  const int32 weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min(lf.lfWeight, 1000);
  const int32 fc_weight = FcWeightFromOpenType(weight);
  const bool italic = lf.lfItalic != 0;
  const Family* fam = name.empty() ? nullptr : Find_Family(name);
  if (!fam) fam = Match_Family(Host_Utf16_To_Utf8(lf.lfFaceName, kHostFaceNameUnits), fc_weight, italic);
  if (!fam) return nullptr;
  const Face* face = Best_Face(*fam, fc_weight, italic);
  if (!face) return nullptr;
  const bool bold = weight >= FW_SEMIBOLD && face->weight < FC_WEIGHT_DEMIBOLD;
  const bool slant = italic && face->slant == FC_SLANT_ROMAN;
  // Height: negative is the em, positive the cell (ascent + descent).
  int64 em = 12;
  if (lf.lfHeight < 0) em = -int64(lf.lfHeight);
  if (lf.lfHeight > 0) {
    em = lf.lfHeight;
    // Scale the cell to the em with the face's own proportions.
    FT_Face f = nullptr;
    if (Ft() && FT_New_Face(Ft(), face->file.c_str(), face->index, &f) == 0 && f) {
      int64 asc = f->ascender, desc = -int64(f->descender);
      auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
      if (os2 && os2->version != 0xFFFF && int64(os2->usWinAscent) + os2->usWinDescent > 0) {
        asc = os2->usWinAscent;
        desc = os2->usWinDescent;
      }
      if (asc + desc > 0) em = std::max<int64>(1, Round_Div(em * f->units_per_EM, asc + desc));
      FT_Done_Face(f);
    }
  }
  // Sizes beyond this are no text anyone draws; keep glyph bitmaps bounded.
  em = std::clamp<int64>(em, 1, 4000);
  return Open_Instance(*face, fam->name, int32(em), bold, slant, Norm_Esc(lf.lfEscapement), weight,
                       italic, *fam);
}

GlyphEntry* Entry(HostFontInstance* in, uint32 glyph) {
  auto it = in->glyphs.find(glyph);
  if (it != in->glyphs.end()) return &it->second;
  if (in->glyph_bytes > kMaxGlyphBytes || in->glyphs.size() > 20000) {
    in->glyphs.clear();
    in->glyph_bytes = 0;
  }
  return &in->glyphs[glyph];
}

int32 Embolden_Strength(const HostFontInstance* in) {
  // 26.6 units: a 24th of the em, as FreeType's own emboldening uses.
  return std::max(1, in->em * 64 / 24);
}

bool Load(HostFontInstance* in, uint32 glyph) {
  return FT_Load_Glyph(in->face, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0 &&
         in->face->glyph->format == FT_GLYPH_FORMAT_OUTLINE;
}

}  // namespace

// --- Families: public ------------------------------------------------------------------

int32 EnumFontFamiliesW(HDC, const UniChar* family, HostFontEnumProc proc, intptr_t parm) {
  if (!proc) return 0;
  Build_Table();
  std::u16string want;
  if (family)
    for (size_t i = 0; i < size_t(kHostFaceNameUnits) && family[i]; ++i) want.push_back(family[i]);
  const std::u16string want_f = Fold(want);
  int32 r = 1;
  for (const Family& f : Tab().families) {
    if (!want.empty() && Fold(f.name16) != want_f) continue;
    HostLogFont lf;
    lf.lfCharSet = f.charset;
    lf.lfPitchAndFamily = f.pitch;
    std::copy(f.name16.begin(), f.name16.end(), lf.lfFaceName);
    HostTextMetric tm;
    tm.tmCharSet = f.charset;
    tm.tmPitchAndFamily = f.pitch;
    tm.tmWeight = FW_NORMAL;
    r = proc(&lf, &tm, TRUETYPE_FONTTYPE, parm);
    if (r == 0) break;
  }
  return r;
}

bool Host_Match_Family(const UniChar* name, UniChar (&out)[kHostFaceNameUnits]) {
  out[0] = 0;
  std::u16string n;
  if (name)
    for (size_t i = 0; i < size_t(kHostFaceNameUnits) && name[i]; ++i) n.push_back(name[i]);
  const Family* f = n.empty() ? nullptr : Find_Family(n);
  if (!f) f = Match_Family(Host_Utf16_To_Utf8(name, kHostFaceNameUnits), FC_WEIGHT_REGULAR, false);
  if (!f) return false;
  std::copy(f->name16.begin(), f->name16.end(), out);
  out[f->name16.size()] = 0;
  return true;
}

int32 Host_Font_Family_Count() {
  Build_Table();
  return int32(Tab().families.size());
}

void Host_Fonts_Reset() {
  Tab().Clear();
  Cache().Trim();
  FcInitReinitialize();
}

// --- Logical fonts: public ---------------------------------------------------------------

HostFont::~HostFont() { Release_Instance(inst); }

namespace {

HostFont* New_Font(const HostLogFont& lf) {
  auto* f = hostgdi::New_Object<HostFont>();
  if (!f) return nullptr;
  f->lf = lf;
  f->lf.lfFaceName[kHostFaceNameUnits - 1] = 0;
  f->inst = Resolve(f->lf);
  return f;
}

HFONT Handle_Of(const HostFont* f) { return f ? static_cast<HFONT>(f->handle) : nullptr; }

// The font record of a selected or looked-up object: every font object but
// the stock system font (a bare object) is a HostFont.
HostFont* Font_Rec(HostGdiObject* o) {
  if (!o || o->kind != OBJ_FONT || o->handle == GetStockObject(SYSTEM_FONT)) return nullptr;
  return static_cast<HostFont*>(o);
}

// The record of a live font handle; NIL for anything else.
HostFont* As_Font(HGDIOBJ obj) {
  HostGdiObject* o = hostgdi::As_Object(obj);
  return o && o->kind == OBJ_FONT ? Font_Rec(o) : nullptr;
}

}  // namespace

HFONT CreateFontIndirectW(const HostLogFont* lf) { return lf ? Handle_Of(New_Font(*lf)) : nullptr; }

bool Host_GetLogFont(HGDIOBJ font, HostLogFont* out) {
  HostFont* f = As_Font(font);
  if (!f || !out) return false;
  *out = f->lf;
  return true;
}

bool Host_Font_Describe(HGDIOBJ font, HostFontFaceInfo* out) {
  HostFont* f = As_Font(font);
  if (!f || !f->inst || !out) return false;
  const HostFontInstance& in = *f->inst;
  out->family = in.family;
  out->file = in.file;
  out->face_index = in.index;
  out->em = in.em;
  out->synth_bold = in.synth_bold;
  out->synth_italic = in.synth_italic;
  out->symbol_map = in.symbol_map;
  return true;
}

HFONT Host_DC_Font(HDC hdc) {
  if (HostDC* dc = hostgdi::As_DC(hdc)) {
    if (HostFont* f = Font_Rec(dc->st.font); f && f->inst) return Handle_Of(f);
  }
  static HostFont* def = nullptr;
  if (!def || !def->inst) {
    delete def;  // never selected anywhere: ours to free
    HostLogFont lf;
    lf.lfHeight = -12;
    def = New_Font(lf);
    if (def) def->stock = true;
  }
  return def && def->inst ? Handle_Of(def) : nullptr;
}

// --- Glyphs: public ---------------------------------------------------------------------

uint32 Host_Font_Glyph_Index(HFONT hfont, char32_t cp) {
  HostFont* font = As_Font(hfont);
  if (!font || !font->inst) return 0;
  HostFontInstance* in = font->inst;
  if (cp < 128 && in->ascii_valid[cp]) return in->ascii_gi[cp];
  uint32 gi = FT_Get_Char_Index(in->face, FT_ULong(cp));
  // Symbol maps keep their glyphs in the U+F000 block.
  if (gi == 0 && in->symbol_map && cp >= 0x20 && cp <= 0xFF)
    gi = FT_Get_Char_Index(in->face, FT_ULong(0xF000 + cp));
  if (cp < 128) {
    in->ascii_gi[cp] = gi;
    in->ascii_valid[cp] = true;
  }
  return gi;
}

int32 Host_Font_Advance(HFONT hfont, uint32 glyph) {
  HostFont* font = As_Font(hfont);
  if (!font || !font->inst) return 0;
  HostFontInstance* in = font->inst;
  GlyphEntry* e = Entry(in, glyph);
  if (e->have_adv) return e->advance;
  int64 adv = 0;
  if (Load(in, glyph)) {
    adv = in->face->glyph->advance.x;  // hinted, 26.6
    if (in->synth_bold) adv += Embolden_Strength(in);
  }
  e->advance = int32((adv + 32) >> 6);
  e->have_adv = true;
  return e->advance;
}

bool Host_Font_Glyph(HFONT hfont, uint32 glyph, bool mono, HostGlyphBitmap* out) {
  HostFont* font = As_Font(hfont);
  if (!font || !font->inst || !out) return false;
  HostFontInstance* in = font->inst;
  const int m = mono ? 1 : 0;
  GlyphEntry* e = Entry(in, glyph);
  if (!e->have_bm[m]) {
    e->have_bm[m] = true;
    e->width[m] = e->rows[m] = 0;
    if (Load(in, glyph)) {
      FT_GlyphSlot slot = in->face->glyph;
      if (in->synth_bold) {
        const FT_Pos s = Embolden_Strength(in);
        FT_Outline_EmboldenXY(&slot->outline, s, s);
      }
      if (in->has_xform) FT_Outline_Transform(&slot->outline, &in->xform);
      if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
        const FT_Bitmap& bm = slot->bitmap;
        const int32 w = int32(bm.width), h = int32(bm.rows);
        if (w > 0 && h > 0 && bm.buffer) {
          std::vector<uint8>& cov = e->cov[m];
          cov.assign(size_t(w) * size_t(h), 0);
          for (int32 y = 0; y < h; ++y) {
            const uint8* src = bm.buffer + int64(bm.pitch) * (bm.pitch < 0 ? y - (h - 1) : y);
            uint8* dst = cov.data() + size_t(y) * size_t(w);
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
              for (int32 x = 0; x < w; ++x) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
              if (bm.num_grays == 256) {
                std::copy(src, src + w, dst);
              } else {
                const int32 ng = std::max<int32>(2, bm.num_grays);
                for (int32 x = 0; x < w; ++x) dst[x] = uint8(src[x] * 255 / (ng - 1));
              }
            }
          }
          e->left[m] = slot->bitmap_left;
          e->top[m] = slot->bitmap_top;
          e->width[m] = w;
          e->rows[m] = h;
          in->glyph_bytes += cov.size();
        }
      }
    }
  }
  out->left = e->left[m];
  out->top = e->top[m];
  out->width = e->width[m];
  out->rows = e->rows[m];
  out->cov = e->width[m] > 0 ? e->cov[m].data() : nullptr;
  return true;
}

void Host_Font_Metrics(HFONT hfont, HostTextMetric* out) {
  if (!out) return;
  *out = HostTextMetric{};
  HostFont* font = As_Font(hfont);
  if (font && font->inst) *out = font->inst->tm;
}

int32 Host_Font_Escapement(HFONT hfont) {
  HostFont* font = As_Font(hfont);
  return font && font->inst ? font->inst->escapement : 0;
}

// --- UTF-16 names ---------------------------------------------------------------------

void Host_Utf8_To_Face_Name(const std::string& s, UniChar (&out)[kHostFaceNameUnits]) {
  // Cut to the array without splitting a surrogate pair.
  const size_t n = Host_Utf8_To_Utf16_Into(s, std::span<char16_t>(out, kHostFaceNameUnits - 1));
  out[n] = 0;
}
