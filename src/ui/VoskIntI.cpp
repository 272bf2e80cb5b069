#include "ui/VoskIntI.h"

#include "platform/SysErr.h"

int16 Slider_Limit_Value(int16 slider, int16 value) {
  if (slider < 0 || slider >= NSLIDERS) {
    QUIT();
    return value;
  }
  const a_slider_values& s = SLIDER_VALUES[slider];
  return value < s.minval ? s.minval : (value > s.maxval ? s.maxval : value);
}
