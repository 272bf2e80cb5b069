#include "platform/StrFix.h"

void C2Pascal(StrSpan ss) {
  if (ss.empty()) return;
  std::size_t len = 0;
  while (len < ss.size() && ss[len] != '\0') len++;
  // The length byte and the characters must fit the array, and the length
  // must fit the byte; longer text is cut, never wrapped or overrun.
  if (len > ss.size() - 1) len = ss.size() - 1;
  if (len > 255) len = 255;
  for (std::size_t i = len; i > 0; i--) ss[i] = ss[i - 1];
  ss[0] = char(uint8(len));
}

void Pascal2C(StrSpan ss) {
  if (ss.empty()) return;
  std::size_t len = uint8(ss[0]);
  if (len > ss.size() - 1) len = ss.size() - 1;
  for (std::size_t i = 0; i < len; i++) ss[i] = ss[i + 1];
  ss[len] = '\0';
}
