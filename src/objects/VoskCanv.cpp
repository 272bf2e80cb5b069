#include "objects/VoskCanv.h"

#include <cstring>

#include "pixel/OP.h"
#include "ui/VoskIntI.h"

// Canvas sets: 0 discs and round labels, 1 plain rectangles (the default),
// 2 jewel-case trays, 3 wide wraps, 4 upright inserts, 5 folded cards, 6
// narrow strips (spines and inserts).
const int16 UNIT_TO_CANV_PREFIX[NUNITKINDS] = {
    6,  // UNIT_EMPTY
    0,  // UNIT_CIRCLE
    1, 1, 1,  // UNIT_OVAL, UNIT_RECT, UNIT_VISITING
    5,  // UNIT_VISITING2
    0, 0,  // UNIT_CD, UNIT_CD_CORE
    1,  // UNIT_CD_WALLET
    0, 0,  // UNIT_MINICD_RING, UNIT_MINICD_HOCKEY
    1, 1,  // UNIT_MINICD_RECT, UNIT_MINICD_LID1
    5,  // UNIT_MINICD_LID2
    1,  // UNIT_JEWEL_LID1
    5,  // UNIT_JEWEL_LID2
    6, 6,  // UNIT_JEWEL_LID3, UNIT_JEWEL_SPINE
    2, 2,  // UNIT_JEWEL_SLIMLINE, UNIT_JEWEL_BASE
    4, 4,  // UNIT_SUPERJEWEL_INLAY, UNIT_SUPERJEWEL_BOOKLET
    6,  // UNIT_SUPERJEWEL_COVER
    4,  // UNIT_DVDBOX_INSERT
    6,  // UNIT_DVDBOX_INSERT2
    3,  // UNIT_DVDBOX_WRAP
    1, 1,  // UNIT_AUDIO_FACE, UNIT_AUDIO_JCARD
    6,  // UNIT_AUDIO_SPINE
    1,  // UNIT_AUDIO_BOX
    1, 1,  // UNIT_DAT_FACE, UNIT_DAT_SPINE
    6,  // UNIT_DAT_JCARD
    1, 1, 1, 1, 1,  // UNIT_VHS_FACE .. UNIT_VHS_WRAP
    3,  // UNIT_BETACAM_FACE
    6, 6,  // UNIT_BETACAM_SPINE, UNIT_BETACAM_INSERT
    1,  // UNIT_UMATIC_FACE
    6, 6,  // UNIT_UMATIC_SPINE, UNIT_UMATIC_INSERT
    1,  // UNIT_MINIDV_FACE
    6,  // UNIT_MINIDV_SPINE
    1, 1,  // UNIT_MINIDV_INSERT, UNIT_DVCAM_FACE
    6,  // UNIT_DVCAM_SPINE
    1, 1,  // UNIT_DVCAM_INSERT, UNIT_DVCPRO_FACE
    6,  // UNIT_DVCPRO_SPINE
    1, 1, 1,  // UNIT_DVCPRO_INSERT, UNIT_STATUS, UNIT_HI8_FACE
    6,  // UNIT_HI8_JCARD
    1, 1,  // UNIT_MD_FACEL, UNIT_MD_FACE
    6,  // UNIT_MD_SPINE
    1,  // UNIT_8MM_FACE
    6,  // UNIT_8MM_SPINE
    1, 1, 1, 1, 1, 1, 1, 1,  // UNIT_FLOPPY .. UNIT_D5_INSERT
    3,  // UNIT_BLURAY_WRAP
};
static_assert(sizeof UNIT_TO_CANV_PREFIX / sizeof UNIT_TO_CANV_PREFIX[0] == NUNITKINDS);

void White_Canvas_Key(uint8 unitkind, a_keyset& key) {
  const int16 prefix = unitkind < NUNITKINDS ? UNIT_TO_CANV_PREFIX[unitkind] : 1;
  key = a_keyset{2, prefix, 1, 1};
}

bool8 Is_CanvKey_White(const a_keyset& key) { return key.c == 1 && key.d == 1; }

void Init_CV(a_canvas_spec& cv) {
  std::memset(static_cast<void*>(&cv), 0, sizeof cv);
  cv.canvas_darkness = CANV_DARKNESS_DEFAULT;
  cv.canvas_fuzz_in = CANV_FUZZ_IN_DEFAULT;
  cv.canvas_fuzz_out = CANV_FUZZ_OUT_DEFAULT;
  cv.canvas_color_sat = COLOR_SAT_DEFAULT;
}

namespace {

// The library's canvas thumbnails of the kind's set; FALSE with no library.
bool8 Canvas_Subset(uint8 unitkind, a_subset& subset) {
  if (OP_Pool_Count() == 0) return false;
  const int16 prefix = unitkind < NUNITKINDS ? UNIT_TO_CANV_PREFIX[unitkind] : 1;
  Subset_Init(subset, a_keyset{2, prefix, WILDCARD, WILDCARD});
  return true;
}

}  // namespace

int16 Canvas_Count(uint8 unitkind) {
  a_subset subset{};
  return Canvas_Subset(unitkind, subset) ? Subset_Count(subset) : 0;
}

void CanvX_To_Key(a_keyset& key, int16 canvx, uint8 unitkind) {
  a_subset subset{};
  if (Canvas_Subset(unitkind, subset) && canvx >= 1 && canvx <= Subset_Count(subset)) {
    Subset_GetKey(subset, canvx, key);
    return;
  }
  White_Canvas_Key(unitkind, key);
}

void CV_To_Sliders(const a_canvas_spec& cv) {
  gs.slider_vals[CANV_DARKNESS_SLIDER] = cv.canvas_darkness;
  gs.slider_vals[CANV_FUZZ_IN_SLIDER] = cv.canvas_fuzz_in;
  gs.slider_vals[CANV_FUZZ_OUT_SLIDER] = cv.canvas_fuzz_out;
  gs.slider_vals[COLOR_SAT_SLIDER] = cv.canvas_color_sat;
  gs.slider_vals[COLOR_HUE_SLIDER] = cv.canvas_color_hue;
  gs.slider_vals[COLOR_DIST_SLIDER] = cv.canvas_color_dist;
}

void Canvas_Fuzz_Delta() {}
