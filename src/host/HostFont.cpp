// Font families from fontconfig, glyphs from FreeType. See HostFont.h.
#include "host/HostFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <list>
#include <memory>
#include <new>
#include <type_traits>
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
//
// One FreeType face per file, face index, em and synthesis, shared by every
// logical font that resolves to it whatever its escapement, and by the
// transformed glyphs. Each keeps its glyphs' advances and their untransformed
// outlines (synthesis applied); the fonts' instances keep the bitmaps turned
// by their escapement.

namespace {

int32 g_faces_opened = 0;

// An outline kept in plain arrays, ready to be copied and transformed.
using ContourIndex = std::remove_pointer_t<decltype(FT_Outline::contours)>;
struct OutlineCopy {
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  std::vector<ContourIndex> contours;
  int flags = 0;
};

struct SizedGlyph {
  int32 advance = 0;
  bool have_adv = false;
  bool have_outline = false;
  OutlineCopy outline;  // unhinted, 26.6 pixels at the em, y up
};

struct SizedFace {
  std::string file;
  int32 index = 0;
  int32 em = 12;
  bool bold = false, italic = false;  // synthesised
  std::string family;
  FT_Face face = nullptr;
  bool symbol_map = false;
  HostTextMetric tm;  // of the face at the em; weight and italics not set
  double ul_offset = 0, ul_thickness = 0;  // pixels, down from the baseline to the line's middle
  std::unordered_map<uint32, SizedGlyph> glyphs;
  size_t glyph_bytes = 0;
  uint32 ascii_gi[128]{};
  bool ascii_valid[128]{};
  int32 refs = 0;
  ~SizedFace() {
    if (face) FT_Done_Face(face);
  }
};

struct SizedKey {
  std::string file;
  int32 index, em;
  bool bold, italic;
  bool operator==(const SizedKey& o) const {
    return file == o.file && index == o.index && em == o.em && bold == o.bold && italic == o.italic;
  }
};

// Records shared by key, most recently used first, each counting who holds
// it (`refs`); those nothing holds are dropped beyond the first kKeep.
template <class Key, class T, size_t kKeep>
struct SharedCache {
  std::list<std::pair<Key, T*>> lru;
  ~SharedCache() {
    for (auto& e : lru) delete e.second;
  }
  void Trim() {
    size_t n = 0;
    for (auto it = lru.begin(); it != lru.end();) {
      ++n;
      if (n > kKeep && it->second->refs == 0) {
        delete it->second;
        it = lru.erase(it);
      } else {
        ++it;
      }
    }
  }
  // The record of the key, made the most recent and held once more; NIL
  // when there is none.
  T* Take(const Key& key) {
    for (auto it = lru.begin(); it != lru.end(); ++it) {
      if (it->first == key) {
        lru.splice(lru.begin(), lru, it);
        ++it->second->refs;
        return it->second;
      }
    }
    return nullptr;
  }
  // A new record, held once.
  void Add(const Key& key, T* rec) {
    rec->refs = 1;
    lru.emplace_front(key, rec);
    Trim();
  }
};

using SizedCache = SharedCache<SizedKey, SizedFace, 16>;

SizedCache& Sized() {
  static SizedCache c;
  return c;
}

void Release_Sized(SizedFace* sf) {
  if (!sf) return;
  --sf->refs;
  Sized().Trim();
}

FT_Face Open_Face(const std::string& file, int32 index) {
  FT_Library lib = Ft();
  if (!lib) return nullptr;
  FT_Face f = nullptr;
  if (FT_New_Face(lib, file.c_str(), index, &f) != 0 || !f) return nullptr;
  ++g_faces_opened;
  if (!FT_IS_SCALABLE(f)) {
    FT_Done_Face(f);
    return nullptr;
  }
  return f;
}

int32 Round_Div(int64 a, int64 b) {
  if (b <= 0) return 0;
  return int32(a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b));
}

// Ascent and descent in font units: the Windows metrics of the OS/2 table
// when it has them, else the face's own.
void Face_Extent(FT_Face f, int64& asc, int64& desc) {
  asc = f->ascender;
  desc = -int64(f->descender);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && int64(os2->usWinAscent) + os2->usWinDescent > 0) {
    asc = os2->usWinAscent;
    desc = os2->usWinDescent;
  }
}

void Compute_Metrics(SizedFace& sf) {
  FT_Face f = sf.face;
  const int64 upem = f->units_per_EM > 0 ? f->units_per_EM : 1000;
  int64 asc = 0, desc = 0;
  Face_Extent(f, asc, desc);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  HostTextMetric& tm = sf.tm;
  tm.tmAscent = Round_Div(asc * sf.em, upem);
  tm.tmDescent = Round_Div(desc * sf.em, upem);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - sf.em);
  tm.tmExternalLeading = 0;
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
  if (hhea) {
    const int64 gap = int64(hhea->Line_Gap) - ((asc + desc) - (int64(hhea->Ascender) - hhea->Descender));
    if (gap > 0) tm.tmExternalLeading = Round_Div(gap * sf.em, upem);
  }
  tm.tmAveCharWidth = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0
                          ? Round_Div(int64(os2->xAvgCharWidth) * sf.em, upem)
                          : Round_Div(int64(f->max_advance_width) * sf.em, upem * 2);
  tm.tmMaxCharWidth = Round_Div(int64(f->max_advance_width) * sf.em, upem);
  // The underline as FreeType gives it (its middle, y up), else a tenth of
  // the em below the baseline, a twentieth thick.
  sf.ul_thickness = double(f->underline_thickness) * sf.em / double(upem);
  sf.ul_offset = -double(f->underline_position) * sf.em / double(upem);
  if (f->underline_thickness <= 0) {
    sf.ul_thickness = sf.em / 20.0;
    sf.ul_offset = sf.em / 10.0;
  }
}

SizedFace* Open_Sized(const Face& face, const std::string& family, int32 em, bool bold, bool italic) {
  SizedCache& c = Sized();
  const SizedKey key{face.file, face.index, em, bold, italic};
  if (SizedFace* known = c.Take(key)) return known;
  FT_Face f = Open_Face(face.file, face.index);
  if (!f) return nullptr;
  auto* sf = new (std::nothrow) SizedFace;
  if (!sf) {
    FT_Done_Face(f);
    return nullptr;
  }
  sf->face = f;
  sf->file = face.file;
  sf->index = face.index;
  sf->em = em;
  sf->bold = bold;
  sf->italic = italic;
  sf->family = family;
  // A face without a Unicode map: take its symbol map when it has one.
  if (!f->charmap || f->charmap->encoding != FT_ENCODING_UNICODE) {
    for (int i = 0; i < f->num_charmaps; ++i) {
      if (f->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) {
        FT_Set_Charmap(f, f->charmaps[i]);
        break;
      }
    }
  }
  sf->symbol_map = f->charmap && f->charmap->encoding == FT_ENCODING_MS_SYMBOL;
  FT_Set_Pixel_Sizes(f, 0, FT_UInt(em));
  Compute_Metrics(*sf);
  c.Add(key, sf);
  return sf;
}

uint32 Sized_Glyph_Index(SizedFace* sf, char32_t cp) {
  if (cp < 128 && sf->ascii_valid[cp]) return sf->ascii_gi[cp];
  uint32 gi = cp > 0x10FFFF ? 0 : FT_Get_Char_Index(sf->face, FT_ULong(cp));
  // Symbol maps keep their glyphs in the U+F000 block.
  if (gi == 0 && sf->symbol_map && cp >= 0x20 && cp <= 0xFF)
    gi = FT_Get_Char_Index(sf->face, FT_ULong(0xF000 + cp));
  if (cp < 128) {
    sf->ascii_gi[cp] = gi;
    sf->ascii_valid[cp] = true;
  }
  return gi;
}

constexpr size_t kMaxGlyphBytes = size_t(16) << 20;

// A glyph's entry in a cache of glyphs, new when it has none; the cache is
// emptied first once it holds too many glyphs or bytes.
template <class T>
T* Glyph_Entry(std::unordered_map<uint32, T>& glyphs, size_t& bytes, uint32 glyph) {
  auto it = glyphs.find(glyph);
  if (it != glyphs.end()) return &it->second;
  if (bytes > kMaxGlyphBytes || glyphs.size() > 20000) {
    glyphs.clear();
    bytes = 0;
  }
  return &glyphs[glyph];
}

SizedGlyph* Sized_Entry(SizedFace* sf, uint32 glyph) {
  return Glyph_Entry(sf->glyphs, sf->glyph_bytes, glyph);
}

int32 Embolden_Strength(int32 em) {
  // 26.6 units: a 24th of the em, as FreeType's own emboldening uses.
  return std::max(1, em * 64 / 24);
}

bool Load(FT_Face f, uint32 glyph, FT_Int32 flags) {
  return FT_Load_Glyph(f, glyph, flags | FT_LOAD_NO_BITMAP) == 0 &&
         f->glyph->format == FT_GLYPH_FORMAT_OUTLINE;
}

// Advance of a glyph along the baseline, hinted, in whole pixels.
int32 Sized_Advance(SizedFace* sf, uint32 glyph) {
  SizedGlyph* e = Sized_Entry(sf, glyph);
  if (e->have_adv) return e->advance;
  int64 adv = 0;
  if (Load(sf->face, glyph, FT_LOAD_DEFAULT)) {
    adv = sf->face->glyph->advance.x;  // 26.6
    if (sf->bold) adv += Embolden_Strength(sf->em);
  }
  e->advance = int32((adv + 32) >> 6);
  e->have_adv = true;
  return e->advance;
}

// The synthesised italics' shear: about 12 degrees.
constexpr double kItalicShear = 0.2126;

// The box drawn for a code point the face lacks when its glyph 0 is empty: a
// frame 0.5 em wide and 0.7 em high standing on the baseline.
void Missing_Box(int32 em, OutlineCopy& o) {
  const FT_Pos l = em * 64 / 10, r = l + em * 64 / 2, b = 0, t = em * 64 * 7 / 10;
  const FT_Pos w = std::max<FT_Pos>(64, em * 64 / 16);
  // Outer frame clockwise, inner one counter-clockwise (y up).
  o.points = {{l, b}, {l, t}, {r, t}, {r, b}, {l + w, b + w}, {r - w, b + w}, {r - w, t - w}, {l + w, t - w}};
  o.tags.assign(8, FT_CURVE_TAG_ON);
  o.contours = {3, 7};
  o.flags = 0;
}

const OutlineCopy* Sized_Outline(SizedFace* sf, uint32 glyph) {
  SizedGlyph* e = Sized_Entry(sf, glyph);
  if (e->have_outline) return &e->outline;
  e->have_outline = true;
  OutlineCopy& o = e->outline;
  if (Load(sf->face, glyph, FT_LOAD_NO_HINTING)) {
    FT_Outline& src = sf->face->glyph->outline;
    if (sf->bold) {
      const FT_Pos s = Embolden_Strength(sf->em);
      FT_Outline_EmboldenXY(&src, s, s);
    }
    if (sf->italic) {
      FT_Matrix sh{0x10000, FT_Fixed(std::lround(kItalicShear * 65536)), 0, 0x10000};
      FT_Outline_Transform(&src, &sh);
    }
    o.points.assign(src.points, src.points + src.n_points);
    o.tags.assign(src.tags, src.tags + src.n_points);
    o.contours.assign(src.contours, src.contours + src.n_contours);
    o.flags = src.flags;
  }
  if (glyph == 0 && o.contours.empty()) Missing_Box(sf->em, o);
  sf->glyph_bytes += o.points.size() * (sizeof(FT_Vector) + 1) + o.contours.size() * sizeof(ContourIndex);
  return &o;
}

}  // namespace

namespace {

struct GlyphBitmaps {
  bool have_bm[2] = {false, false};  // antialiased, mono
  int32 left[2]{}, top[2]{}, width[2]{}, rows[2]{};
  std::vector<uint8> cov[2];
};

}  // namespace

// A logical font's view of its sized face: the escapement's turn and the
// bitmaps turned by it.
struct HostFontInstance {
  SizedFace* sf = nullptr;  // one reference held
  int32 escapement = 0;     // 0 .. 3599
  HostTextMetric tm;
  FT_Matrix xform{0x10000, 0, 0, 0x10000};  // shear and rotation of outlines
  bool has_xform = false;
  std::unordered_map<uint32, GlyphBitmaps> glyphs;
  size_t glyph_bytes = 0;
  int32 refs = 0;

  ~HostFontInstance() { Release_Sized(sf); }
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

using InstanceCache = SharedCache<InstanceKey, HostFontInstance, 32>;

InstanceCache& Cache() {
  // The sized faces first, so that they outlive the instances holding them.
  Sized();
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

HostFontInstance* Open_Instance(const Face& face, const std::string& family, int32 em, bool bold,
                                bool italic, int32 esc, int32 want_weight, bool want_italic,
                                const Family& fam) {
  InstanceCache& c = Cache();
  const InstanceKey key{face.file, face.index, em, esc, bold, italic};
  if (HostFontInstance* known = c.Take(key)) return known;
  SizedFace* sf = Open_Sized(face, family, em, bold, italic);
  if (!sf) return nullptr;
  auto* in = new (std::nothrow) HostFontInstance;
  if (!in) {
    Release_Sized(sf);
    return nullptr;
  }
  in->sf = sf;
  in->escapement = esc;
  in->tm = sf->tm;
  in->tm.tmWeight = want_weight;
  in->tm.tmItalic = want_italic ? 1 : 0;
  in->tm.tmPitchAndFamily = fam.pitch;
  in->tm.tmCharSet = fam.charset;
  // Outline transform: shear for synthesised italics, then the rotation.
  double a = 1, b = 0, cc = 0, d = 1;  // [a b; c d], y up
  if (italic) b = kItalicShear;
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
  c.Add(key, in);
  return in;
}

// What a logical font resolves to, its escapement aside.
struct Resolved {
  const Family* fam = nullptr;
  const Face* face = nullptr;
  int32 em = 12;
  bool bold = false, italic = false;  // synthesised
  int32 weight = FW_NORMAL;           // asked
  bool want_italic = false;
};

// Ascent plus descent of a face in its units per em, read once per face.
bool Cell_Units(const Face& face, int64& cell, int64& upem) {
  static std::unordered_map<std::string, std::pair<int64, int64>> known;
  const std::string key = face.file + '\n' + std::to_string(face.index);
  auto it = known.find(key);
  if (it == known.end()) {
    std::pair<int64, int64> v{0, 0};
    if (FT_Face f = Open_Face(face.file, face.index)) {
      int64 asc = 0, desc = 0;
      Face_Extent(f, asc, desc);
      v = {asc + desc, f->units_per_EM};
      FT_Done_Face(f);
    }
    it = known.emplace(key, v).first;
  }
  cell = it->second.first;
  upem = it->second.second;
  return cell > 0 && upem > 0;
}

bool Resolve_Face(const HostLogFont& lf, Resolved& r) {
  Build_Table();
  if (Tab().families.empty()) return false;
  size_t n = 0;
  while (n < size_t(kHostFaceNameUnits) && lf.lfFaceName[n]) ++n;
  const std::u16string name(lf.lfFaceName, n);
  r.weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min(lf.lfWeight, 1000);
  const int32 fc_weight = FcWeightFromOpenType(r.weight);
  r.want_italic = lf.lfItalic != 0;
  const Family* fam = name.empty() ? nullptr : Find_Family(name);
  if (!fam)
    fam = Match_Family(Host_Utf16_To_Utf8(lf.lfFaceName, kHostFaceNameUnits), fc_weight, r.want_italic);
  if (!fam) return false;
  const Face* face = Best_Face(*fam, fc_weight, r.want_italic);
  if (!face) return false;
  r.fam = fam;
  r.face = face;
  r.bold = r.weight >= FW_SEMIBOLD && face->weight < FC_WEIGHT_DEMIBOLD;
  r.italic = r.want_italic && face->slant == FC_SLANT_ROMAN;
  // Height: negative is the em, positive the cell (ascent + descent).
  int64 em = 12;
  if (lf.lfHeight < 0) em = -int64(lf.lfHeight);
  if (lf.lfHeight > 0) {
    em = lf.lfHeight;
    // Scale the cell to the em with the face's own proportions.
    int64 cell = 0, upem = 0;
    if (Cell_Units(*face, cell, upem)) em = std::max<int64>(1, Round_Div(em * upem, cell));
  }
  // Sizes beyond this are no text anyone draws; keep glyph bitmaps bounded.
  r.em = int32(std::clamp<int64>(em, 1, 4000));
  return true;
}

HostFontInstance* Resolve(const HostLogFont& lf) {
  Resolved r;
  if (!Resolve_Face(lf, r)) return nullptr;
  return Open_Instance(*r.face, r.fam->name, r.em, r.bold, r.italic, Norm_Esc(lf.lfEscapement),
                       r.weight, r.want_italic, *r.fam);
}

// Lets go of the sized face the transformed glyphs last drew with.
void Drop_Memo();

GlyphBitmaps* Entry(HostFontInstance* in, uint32 glyph) {
  return Glyph_Entry(in->glyphs, in->glyph_bytes, glyph);
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
  Drop_Memo();
  Tab().Clear();
  Cache().Trim();
  Sized().Trim();
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
  const SizedFace& sf = *f->inst->sf;
  out->family = sf.family;
  out->file = sf.file;
  out->face_index = sf.index;
  out->em = sf.em;
  out->synth_bold = sf.bold;
  out->synth_italic = sf.italic;
  out->symbol_map = sf.symbol_map;
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
  return font && font->inst ? Sized_Glyph_Index(font->inst->sf, cp) : 0;
}

int32 Host_Font_Advance(HFONT hfont, uint32 glyph) {
  HostFont* font = As_Font(hfont);
  return font && font->inst ? Sized_Advance(font->inst->sf, glyph) : 0;
}

bool Host_Font_Glyph(HFONT hfont, uint32 glyph, bool mono, HostGlyphBitmap* out) {
  HostFont* font = As_Font(hfont);
  if (!font || !font->inst || !out) return false;
  HostFontInstance* in = font->inst;
  const int m = mono ? 1 : 0;
  GlyphBitmaps* e = Entry(in, glyph);
  if (!e->have_bm[m]) {
    e->have_bm[m] = true;
    e->width[m] = e->rows[m] = 0;
    if (Load(in->sf->face, glyph, FT_LOAD_DEFAULT)) {
      FT_GlyphSlot slot = in->sf->face->glyph;
      if (in->sf->bold) {
        const FT_Pos s = Embolden_Strength(in->sf->em);
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

// --- Transformed glyphs: public ---------------------------------------------------------

namespace {

// The sized face of the last logical font asked for (one reference held):
// text placed character by character asks for the same font over and over.
struct GlyphMemo {
  HostLogFont lf;
  bool valid = false;
  SizedFace* sf = nullptr;
};
GlyphMemo g_memo;

bool Same_Request(const HostLogFont& a, const HostLogFont& b) {
  if (a.lfHeight != b.lfHeight || a.lfWeight != b.lfWeight || (a.lfItalic != 0) != (b.lfItalic != 0))
    return false;
  for (int32 i = 0; i < kHostFaceNameUnits; ++i) {
    if (a.lfFaceName[i] != b.lfFaceName[i]) return false;
    if (a.lfFaceName[i] == 0) break;
  }
  return true;
}

void Drop_Memo() {
  SizedFace* sf = g_memo.sf;
  g_memo.sf = nullptr;
  g_memo.valid = false;
  Release_Sized(sf);
}

SizedFace* Glyph_Face(const HostLogFont& lf) {
  if (g_memo.valid && Same_Request(g_memo.lf, lf)) return g_memo.sf;
  Resolved r;
  SizedFace* sf = Resolve_Face(lf, r) ? Open_Sized(*r.face, r.fam->name, r.em, r.bold, r.italic) : nullptr;
  Drop_Memo();
  g_memo.lf = lf;
  g_memo.valid = true;
  g_memo.sf = sf;
  return sf;
}

// Transformed outlines beyond this many pixels from their origin are no
// glyph anyone draws, and more than the rasteriser can address.
constexpr double kMaxReach = 1 << 20;
// The rasteriser's spans address at most this many pixels across.
constexpr int64 kMaxSpanBox = 32000;

// Renders the glyph antialiased over the part of its box inside
// [0, clip_w) x [0, clip_h), origin (x, y) in device pixels, y down, handing
// each run of equal coverage to sink.Span(y, x, len, coverage) in device
// pixels. FALSE when nothing of it lies there.
template <class Sink>
bool Render_Spans(SizedFace* sf, char32_t cp, const HostGlyphXform& m, double x, double y, int64 clip_w,
                  int64 clip_h, Sink& sink) {
  const OutlineCopy* o = Sized_Outline(sf, Sized_Glyph_Index(sf, cp));
  if (!o || o->contours.empty()) return false;
  const double bx = std::floor(x), by = std::floor(y);
  const double fx = (x - bx) * 64, fy = (y - by) * 64;
  // Local coordinates in 26.6, y up, origin at device (bx, by).
  static std::vector<FT_Vector> pts;
  pts.resize(o->points.size());
  double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
  for (size_t i = 0; i < pts.size(); ++i) {
    const double px = double(o->points[i].x), py = double(o->points[i].y);
    const double lx = fx + m.xx * px + m.xy * py;
    const double ly = -fy + m.yx * px + m.yy * py;
    if (!(std::fabs(lx) < kMaxReach * 64) || !(std::fabs(ly) < kMaxReach * 64)) return false;
    pts[i].x = FT_Pos(std::lround(lx));
    pts[i].y = FT_Pos(std::lround(ly));
    xmin = std::min(xmin, lx), xmax = std::max(xmax, lx);
    ymin = std::min(ymin, ly), ymax = std::max(ymax, ly);
  }
  // Device columns and rows the glyph's control box reaches, clipped.
  const int64 ibx = int64(bx), iby = int64(by);
  int64 c0 = ibx + int64(std::floor(xmin / 64)) - 1, c1 = ibx + int64(std::ceil(xmax / 64)) + 1;
  int64 r0 = iby - int64(std::ceil(ymax / 64)) - 1, r1 = iby - int64(std::floor(ymin / 64)) + 1;
  c0 = std::max<int64>(c0, 0), c1 = std::min<int64>(c1, clip_w);
  r0 = std::max<int64>(r0, 0), r1 = std::min<int64>(r1, clip_h);
  c1 = std::min(c1, c0 + kMaxSpanBox);
  r0 = std::max(r0, r1 - kMaxSpanBox);
  if (c0 >= c1 || r0 >= r1) return false;
  // Raster (0, 0) is the bottom-left corner of the box: local
  // ((c0 - bx), (by - r1)) pixels.
  const FT_Pos sx = FT_Pos((c0 - ibx) * 64), sy = FT_Pos((iby - r1) * 64);
  for (FT_Vector& p : pts) p.x -= sx, p.y -= sy;
  FT_Outline ol{};
  ol.n_contours = decltype(ol.n_contours)(o->contours.size());
  ol.n_points = decltype(ol.n_points)(pts.size());
  ol.points = pts.data();
  ol.tags = const_cast<char*>(o->tags.data());
  ol.contours = const_cast<ContourIndex*>(o->contours.data());
  ol.flags = o->flags;
  struct Ctx {
    Sink* sink;
    int32 x0, y_bottom;
  } ctx{&sink, int32(c0), int32(r1 - 1)};
  FT_Raster_Params params{};
  params.source = &ol;
  params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
  params.gray_spans = [](int ry, int count, const FT_Span* spans, void* user) {
    const Ctx& c = *static_cast<const Ctx*>(user);
    const int32 yd = c.y_bottom - ry;
    for (int k = 0; k < count; ++k)
      if (spans[k].coverage) c.sink->Span(yd, c.x0 + spans[k].x, int32(spans[k].len), spans[k].coverage);
  };
  params.user = &ctx;
  params.clip_box = FT_BBox{0, 0, FT_Pos(c1 - c0), FT_Pos(r1 - r0)};
  return FT_Outline_Render(Ft(), &ol, &params) == 0;
}

// d moved toward t by c / 255, rounded.
inline uint8 Mix(uint32 d, uint32 t, uint32 c) { return uint8((d * (255 - c) + t * c + 127) / 255); }

// The bounds of the spans handed over.
struct SpanBox {
  RECT r{0, 0, 0, 0};
  void Add(int32 y, int32 x, int32 len) {
    if (r.left >= r.right) {
      r = RECT{x, y, x + len, y + 1};
      return;
    }
    r.left = std::min(r.left, x);
    r.top = std::min(r.top, y);
    r.right = std::max(r.right, x + len);
    r.bottom = std::max(r.bottom, y + 1);
  }
};

struct Sink8 {
  uint8* bits;
  int64 stride;
  uint8 level;
  SpanBox box;
  void Span(int32 y, int32 x, int32 len, uint32 c) {
    box.Add(y, x, len);
    uint8* p = bits + int64(y) * stride + x;
    if (c == 255) {
      std::memset(p, level, size_t(len));
      return;
    }
    for (int32 i = 0; i < len; ++i) p[i] = Mix(p[i], level, c);
  }
};

struct Sink32 {
  uint8* bits;
  int64 stride;
  uint8 col[4];
  uint32 raw;  // col as stored
  SpanBox box;
  void Span(int32 y, int32 x, int32 len, uint32 c) {
    box.Add(y, x, len);
    uint8* p = bits + int64(y) * stride + 4 * int64(x);
    if (c == 255) {
      for (int32 i = 0; i < len; ++i) std::memcpy(p + 4 * i, &raw, 4);
      return;
    }
    for (int32 i = 0; i < len; ++i, p += 4)
      for (int k = 0; k < 4; ++k) p[k] = Mix(p[k], col[k], c);
  }
};

struct SinkDC {
  const hostgdi::ClipView* cv;
  HostSurface* s;
  uint32 raw;
  uint8 tr, tg, tb;
  void Span(int32 y, int32 x, int32 len, uint32 c) {
    uint8* row = hostgdi::Row_Ptr(*s, y);
    cv->For_Each(y, x, int64(x) + len, [&](int32 a, int32 b) {
      for (int32 xd = a; xd < b; ++xd) {
        if (c == 255) {
          hostgdi::Put_Raw(*s, row, xd, raw);
        } else if (s->depth == 32) {
          uint8* p = row + 4 * int64(xd);
          p[0] = Mix(p[0], tb, c);
          p[1] = Mix(p[1], tg, c);
          p[2] = Mix(p[2], tr, c);
        } else {
          const COLORREF d = hostgdi::Raw_To_Rgb(*s, hostgdi::Get_Raw(*s, row, xd));
          hostgdi::Put_Raw(*s, row, xd,
                           hostgdi::Rgb_To_Raw(*s, Mix(GetRValue(d), tr, c), Mix(GetGValue(d), tg, c),
                                               Mix(GetBValue(d), tb, c)));
        }
      }
    });
  }
};

bool Finite(const HostGlyphXform& m, double x, double y) {
  return std::isfinite(m.xx) && std::isfinite(m.xy) && std::isfinite(m.yx) && std::isfinite(m.yy) &&
         std::isfinite(x) && std::isfinite(y);
}

}  // namespace

bool Host_Glyph_Face_Metrics(const HostLogFont& lf, HostGlyphFaceMetrics* out) {
  if (!out) return false;
  *out = HostGlyphFaceMetrics{};
  SizedFace* sf = Glyph_Face(lf);
  if (!sf) return false;
  out->em = sf->em;
  out->ascent = sf->tm.tmAscent;
  out->descent = sf->tm.tmDescent;
  out->ul_offset = sf->ul_offset;
  out->ul_thickness = sf->ul_thickness;
  return true;
}

int32 Host_Glyph_Advance(const HostLogFont& lf, char32_t cp) {
  SizedFace* sf = Glyph_Face(lf);
  if (!sf) return 0;
  const uint32 gi = Sized_Glyph_Index(sf, cp);
  const int32 adv = Sized_Advance(sf, gi);
  // A missing glyph whose box we draw ourselves takes the box's room.
  if (gi == 0 && adv == 0) return sf->em * 7 / 10;
  return adv;
}

bool Host_Glyph_Draw(const HostLogFont& lf, char32_t cp, const HostGlyphXform& m, double x, double y,
                     const HostGlyphTarget& t, RECT* touched) {
  if (touched) *touched = RECT{0, 0, 0, 0};
  if (!t.bits || (t.depth != 8 && t.depth != 32) || t.width <= 0 || t.height <= 0 || !Finite(m, x, y))
    return false;
  SizedFace* sf = Glyph_Face(lf);
  if (!sf) return false;
  RECT box{0, 0, 0, 0};
  if (t.depth == 32) {
    Sink32 sink{t.bits, t.stride, {}, 0, {}};
    for (int k = 0; k < 4; ++k) sink.col[k] = uint8(t.color >> (8 * k));
    std::memcpy(&sink.raw, sink.col, 4);
    Render_Spans(sf, cp, m, x, y, t.width, t.height, sink);
    box = sink.box.r;
  } else {
    Sink8 sink{t.bits, t.stride, uint8(t.color), {}};
    Render_Spans(sf, cp, m, x, y, t.width, t.height, sink);
    box = sink.box.r;
  }
  if (touched) *touched = box;
  return true;
}

bool Host_Glyph_Draw_DC(HDC hdc, const HostLogFont& lf, char32_t cp, const HostGlyphXform& m, double x,
                        double y) {
  HostDC* dc = hostgdi::As_DC(hdc);
  if (!dc || !Finite(m, x, y)) return false;
  SizedFace* sf = Glyph_Face(lf);
  if (!sf) return false;
  const hostgdi::ClipView cv(dc);
  if (!cv.surf) return true;
  HostSurface& s = *cv.surf;
  const double dx = x + double(hostgdi::Dev_X(dc, 0)), dy = y + double(hostgdi::Dev_Y(dc, 0));
  const uint32 raw = hostgdi::Color_To_Raw(dc, s, dc->st.text_color);
  const COLORREF rgb = hostgdi::Raw_To_Rgb(s, raw);
  SinkDC sink{&cv, &s, raw, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
  Render_Spans(sf, cp, m, dx, dy, s.width, s.height, sink);
  return true;
}

int32 Host_Font_Faces_Opened() { return g_faces_opened; }

// --- UTF-16 names ---------------------------------------------------------------------

void Host_Utf8_To_Face_Name(const std::string& s, UniChar (&out)[kHostFaceNameUnits]) {
  // Cut to the array without splitting a surrogate pair.
  const size_t n = Host_Utf8_To_Utf16_Into(s, std::span<char16_t>(out, kHostFaceNameUnits - 1));
  out[n] = 0;
}
