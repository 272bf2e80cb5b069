#include "platform/VoskDef.h"

#include <algorithm>
#include <cstring>

a_interface_rec gs;
a_transient_rec t;
a_doc_rec g_doc;
bool8 g_doneflag = false;

a_ratio ZoomxToFactor[NZOOMS];
int16 ZoomxFudge[NZOOMS];
int16 EraserxToSize[9];
int16 IconToSizex[4];
int16 SliderToPoints[36];
int16 SliderToScaling[19];

namespace {

constexpr a_ratio kZoomxToFactor[NZOOMS] = {{1, 2}, {1, 1}, {2, 1}, {3, 1}, {4, 1}};
constexpr int16 kZoomxFudge[NZOOMS] = {2, 1, 1, 1, 1};
constexpr int16 kEraserxToSize[9] = {1, 2, 3, 4, 5, 7, 9, 11, 15};
constexpr int16 kIconToSizex[4] = {3, 4, 6, 9};
constexpr int16 kSliderToPoints[36] = {9,  10, 11, 12, 14, 16, 18,  20,  22,  24,  26,  29,
                                       32, 36, 40, 44, 48, 53, 59,  64,  72,  86,  94,  104,
                                       114, 126, 138, 152, 167, 184, 202, 245, 269, 296, 326, 358};
constexpr int16 kSliderToScaling[19] = {33, 37, 42, 48, 54, 61, 69, 78, 88, 100,
                                        113, 128, 144, 163, 184, 200, 234, 266, 300};

template <typename T, size_t N>
void Fill(T (&dst)[N], const T (&src)[N]) {
  std::copy(std::begin(src), std::end(src), std::begin(dst));
}

}  // namespace

void VoskDef_Init() {
  std::memset(static_cast<void*>(&t), 0, sizeof t);
  std::memset(static_cast<void*>(&g_doc), 0, sizeof g_doc);
  std::memset(static_cast<void*>(&gs), 0, sizeof gs);
  g_doneflag = false;
  Fill(ZoomxToFactor, kZoomxToFactor);
  Fill(ZoomxFudge, kZoomxFudge);
  Fill(EraserxToSize, kEraserxToSize);
  Fill(IconToSizex, kIconToSizex);
  Fill(SliderToPoints, kSliderToPoints);
  Fill(SliderToScaling, kSliderToScaling);
}
