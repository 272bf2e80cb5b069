#include "objects/VoskStam.h"

#include "pixel/ArtKeys.h"
#include "pixel/OP.h"

namespace {

// The library family of a bar's pictures; 0 for a family that has none (an
// internal error).
int16 Family_Of(a_stamp_set set) {
  switch (set) {
    case STAMP_STAMPSET: return ART_STAMP;
    case PATTERN_STAMPSET: return ART_PATTERN;
    case SYMBOL_STAMPSET: return ART_SYMBOL;
    default: QUIT(); return 0;
  }
}

// The family's keys in the library; FALSE with no library open.
bool8 Family_Subset(a_stamp_set set, a_subset& subset) {
  const int16 family = Family_Of(set);
  if (family == 0 || OP_Pool_Count() == 0) return false;
  Subset_Init(subset, a_keyset{family, WILDCARD, WILDCARD, WILDCARD});
  return true;
}

}  // namespace

void StampID_To_Key(a_stamp_set set, int16 id, a_keyset& key) {
  Null_Key(key);
  a_subset subset{};
  if (Family_Subset(set, subset) && id >= 1 && id <= Subset_Count(subset)) Subset_GetKey(subset, id, key);
}

int16 StampSet_Count(a_stamp_set set) {
  a_subset subset{};
  return Family_Subset(set, subset) ? Subset_Count(subset) : 0;
}
void SkewX_Thumb() {}
void SkewY_Thumb() {}
void BendX_Thumb() {}
void BendY_Thumb() {}
