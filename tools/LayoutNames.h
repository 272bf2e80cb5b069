// Names of the unit kinds and of the flag bits as the catalogue data spells
// them, shared by the layout tools (which use no project header). The
// generated catalogue source checks each value against the program's own
// enumerations, so the two cannot drift apart.
#pragma once

#include <cstdint>
#include <cstring>

namespace layoutnames {

// Index = kind value.
constexpr const char* kKinds[] = {
    "UNIT_EMPTY",
    "UNIT_CIRCLE",
    "UNIT_OVAL",
    "UNIT_RECT",
    "UNIT_VISITING",
    "UNIT_VISITING2",
    "UNIT_CD",
    "UNIT_CD_CORE",
    "UNIT_CD_WALLET",
    "UNIT_MINICD_RING",
    "UNIT_MINICD_HOCKEY",
    "UNIT_MINICD_RECT",
    "UNIT_MINICD_LID1",
    "UNIT_MINICD_LID2",
    "UNIT_JEWEL_LID1",
    "UNIT_JEWEL_LID2",
    "UNIT_JEWEL_LID3",
    "UNIT_JEWEL_SPINE",
    "UNIT_JEWEL_SLIMLINE",
    "UNIT_JEWEL_BASE",
    "UNIT_SUPERJEWEL_INLAY",
    "UNIT_SUPERJEWEL_BOOKLET",
    "UNIT_SUPERJEWEL_COVER",
    "UNIT_DVDBOX_INSERT",
    "UNIT_DVDBOX_INSERT2",
    "UNIT_DVDBOX_WRAP",
    "UNIT_AUDIO_FACE",
    "UNIT_AUDIO_JCARD",
    "UNIT_AUDIO_SPINE",
    "UNIT_AUDIO_BOX",
    "UNIT_DAT_FACE",
    "UNIT_DAT_SPINE",
    "UNIT_DAT_JCARD",
    "UNIT_VHS_FACE",
    "UNIT_VHS_SPINE",
    "UNIT_VHS_THIRD",
    "UNIT_VHS_SLEEVE",
    "UNIT_VHS_WRAP",
    "UNIT_BETACAM_FACE",
    "UNIT_BETACAM_SPINE",
    "UNIT_BETACAM_INSERT",
    "UNIT_UMATIC_FACE",
    "UNIT_UMATIC_SPINE",
    "UNIT_UMATIC_INSERT",
    "UNIT_MINIDV_FACE",
    "UNIT_MINIDV_SPINE",
    "UNIT_MINIDV_INSERT",
    "UNIT_DVCAM_FACE",
    "UNIT_DVCAM_SPINE",
    "UNIT_DVCAM_INSERT",
    "UNIT_DVCPRO_FACE",
    "UNIT_DVCPRO_SPINE",
    "UNIT_DVCPRO_INSERT",
    "UNIT_STATUS",
    "UNIT_HI8_FACE",
    "UNIT_HI8_JCARD",
    "UNIT_MD_FACEL",
    "UNIT_MD_FACE",
    "UNIT_MD_SPINE",
    "UNIT_8MM_FACE",
    "UNIT_8MM_SPINE",
    "UNIT_FLOPPY",
    "UNIT_LAMINATED",
    "UNIT_VIDEOTITLE",
    "UNIT_XDCAM_INSERT",
    "UNIT_XDCAM_FACE",
    "UNIT_VCD_WRAP",
    "UNIT_D5_SPINE",
    "UNIT_D5_INSERT",
    "UNIT_BLURAY_WRAP",
};
constexpr int kNumKinds = int(sizeof kKinds / sizeof kKinds[0]);

struct Bit {
  const char* name;
  int bit;
};
constexpr Bit kTemplateFlags[] = {
    {"IS_CDPRINTER", 0},
    {"IS_LANDSCAPE", 1},
    {"IS_PITCHBETWEEN", 2},
    {"IS_INCHES", 3},
    {"IS_CLIPPINGPRINTER", 4},
    {"IS_DYMO_ZADAZ", 5},
    {"IS_LIGHTSCRIBE", 6},
    {"IS_SHOWNOPAPER", 7},
    {"IS_FLEXSTICK", 8},
    {"IS_FLEXLABEL", 9},
};
constexpr Bit kUnitFlags[] = {
    {"UNIT_FLIPX", 0},
    {"UNIT_FLIPY", 1},
    {"UNIT_ROTATE90", 2},
    {"UNIT_ROTATE180", 3},
    {"UNIT_ROTATE270", 4},
    {"UNIT_STAGGERED", 5},
    {"UNIT_SHORTODD", 6},
    {"UNIT_CROPMARKS", 7},
    {"UNIT_CLOBBERS", 8},
    {"UNIT_NOTINDEXED", 9},
    {"UNIT_PERIMETERBLEED", 10},
    {"UNIT_PERIMETERPLUSH", 11},
    {"UNIT_PERIMETERPLUSV", 12},
};

inline int Kind_Of(const char* name) {
  for (int i = 0; i < kNumKinds; ++i)
    if (std::strcmp(kKinds[i], name) == 0) return i;
  return -1;
}

template <size_t N>
int Bit_Of(const Bit (&table)[N], const char* name) {
  for (const Bit& b : table)
    if (std::strcmp(b.name, name) == 0) return b.bit;
  return -1;
}

// The kinds with the disc's ring shape or a disc printer's media.
inline bool Is_Direct_Disc_Kind(int kind) { return kind == 6 || kind == 9 || kind == 10 || kind == 11; }

}  // namespace layoutnames
