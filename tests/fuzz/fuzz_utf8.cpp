// Fuzzes the UTF-8 and UTF-16 conversions, the platform's and the host
// converter's own: arbitrary bytes are decoded into buffers of several sizes
// and re-encoded, and the invariants that must hold for any input are
// checked. Buffers are heap blocks of exactly their size,
// so any write or read past them is caught by the address sanitizer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostUtf.h"
#include "platform/SysUnicode.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Length of the well-formed UTF-8 sequence at s[i], 0 when it is not one
// (written from the table of well-formed byte sequences, independently of
// the decoder under test).
std::size_t Valid_Seq(const uint8_t* s, std::size_t n, std::size_t i) {
  uint8_t c = s[i];
  if (c < 0x80) return 1;
  std::size_t len;
  uint8_t lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) len = 2;
  else if (c == 0xE0) len = 3, lo = 0xA0;
  else if (c >= 0xE1 && c <= 0xEC) len = 3;
  else if (c == 0xED) len = 3, hi = 0x9F;
  else if (c >= 0xEE && c <= 0xEF) len = 3;
  else if (c == 0xF0) len = 4, lo = 0x90;
  else if (c >= 0xF1 && c <= 0xF3) len = 4;
  else if (c == 0xF4) len = 4, hi = 0x8F;
  else return 0;
  if (i + len > n) return 0;
  if (s[i + 1] < lo || s[i + 1] > hi) return 0;
  for (std::size_t k = 2; k < len; k++)
    if (s[i + k] < 0x80 || s[i + k] > 0xBF) return 0;
  return len;
}

bool Valid_UTF8(const uint8_t* s, std::size_t n) {
  for (std::size_t i = 0; i < n;) {
    std::size_t l = Valid_Seq(s, n, i);
    if (l == 0) return false;
    i += l;
  }
  return true;
}

// Every surrogate stands in a proper pair.
bool Well_Paired(const UniChar* u, std::size_t n) {
  for (std::size_t i = 0; i < n; i++) {
    if (u[i] >= 0xD800 && u[i] <= 0xDBFF) {
      if (i + 1 >= n || u[i + 1] < 0xDC00 || u[i + 1] > 0xDFFF) return false;
      i++;
    } else if (u[i] >= 0xDC00 && u[i] <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

// Units before the 0, which must lie inside the buffer.
std::size_t ULen(const std::vector<UniChar>& u) {
  std::size_t n = 0;
  while (n < u.size() && u[n]) n++;
  Check(n < u.size());
  return n;
}

std::size_t BLen(const std::vector<char>& b) {
  std::size_t n = 0;
  while (n < b.size() && b[n]) n++;
  Check(n < b.size());
  return n;
}

const std::size_t kSizes[] = {1, 2, 3, 4, 5, 6, 9, 64, 256};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  CStrSpan in(reinterpret_cast<const char*>(data), size);
  std::size_t text = 0;  // the input's text ends at its first NUL
  while (text < size && data[text]) text++;

  // Decoding into a buffer large enough for everything (each byte gives at
  // most one unit), with two places to spare for the unused last place and
  // the 0.
  std::vector<UniChar> full(size + 2);
  UTF8_To_UTF16(in, full);
  std::size_t nfull = ULen(full);
  Check(Well_Paired(full.data(), nfull));

  // Smaller buffers give a prefix of the same units, at most HIGH - 1 of them,
  // and never half a surrogate pair.
  for (std::size_t cap : kSizes) {
    std::vector<UniChar> out(cap);
    UTF8_To_UTF16(in, out);
    std::size_t n = ULen(out);
    Check(n + 1 <= (cap > 1 ? cap - 1 : 1));
    Check(n <= nfull && std::memcmp(out.data(), full.data(), n * sizeof(UniChar)) == 0);
    Check(Well_Paired(out.data(), n));
  }

  // Re-encoding gives valid UTF-8; when the input was valid UTF-8 it gives
  // the input back byte for byte.
  std::vector<char> enc(nfull * 3 + 2);
  UTF16_To_UTF8(CUStrSpan(full.data(), nfull + 1), enc);
  std::size_t nenc = BLen(enc);
  Check(Valid_UTF8(reinterpret_cast<const uint8_t*>(enc.data()), nenc));
  if (Valid_UTF8(data, text)) {
    Check(nenc == text && std::memcmp(enc.data(), data, text) == 0);
  }
  // Decoding the re-encoded text is a fixed point.
  std::vector<UniChar> again(nenc + 2);
  UTF8_To_UTF16(CStrSpan(enc.data(), nenc + 1), again);
  Check(ULen(again) == nfull && std::memcmp(again.data(), full.data(), nfull * 2) == 0);

  // Encoding cut to smaller buffers gives a valid prefix, HIGH - 1 at most.
  for (std::size_t cap : kSizes) {
    std::vector<char> out(cap);
    UTF16_To_UTF8(CUStrSpan(full.data(), nfull + 1), out);
    std::size_t n = BLen(out);
    Check(n + 1 <= (cap > 1 ? cap - 1 : 1));
    Check(n <= nenc && std::memcmp(out.data(), enc.data(), n) == 0);
    Check(Valid_UTF8(reinterpret_cast<const uint8_t*>(out.data()), n));
  }

  // The bytes read as raw UTF-16 units (lone surrogates and all) also encode
  // to valid UTF-8, from a span with no 0 unit at its end.
  std::size_t nunits = size / 2;
  std::vector<UniChar> raw(nunits);
  if (nunits) std::memcpy(raw.data(), data, nunits * 2);
  std::vector<char> renc(nunits * 3 + 2);
  UTF16_To_UTF8(raw, renc);
  std::size_t nr = BLen(renc);
  Check(Valid_UTF8(reinterpret_cast<const uint8_t*>(renc.data()), nr));

  // The ANSI decoder: all or nothing, and never a broken pair.
  for (std::size_t cap : kSizes) {
    std::vector<UniChar> out(cap);
    Ascii_To_UTF16(in, out);
    std::size_t n = ULen(out);
    Check(Well_Paired(out.data(), n));
    Roman_To_UTF16(in, out);
    n = ULen(out);
    Check(Well_Paired(out.data(), n));
  }

  // The host converter on all the bytes, NULs included: well-formed input is
  // valid, decodes strictly and comes back byte for byte; anything decodes
  // leniently to well-paired units whose encoding is valid UTF-8 and decodes
  // back to the same units.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool valid = Valid_UTF8(data, size);
  Check(Host_Utf8_Valid(bytes) == valid);
  const std::u16string lenient = Host_Utf8_To_Utf16(bytes);
  Check(Well_Paired(lenient.data(), lenient.size()));
  std::u16string strict;
  Check(Host_Utf8_To_Utf16_Strict(bytes, strict) == valid);
  const std::string back = Host_Utf16_To_Utf8(lenient);
  Check(Valid_UTF8(reinterpret_cast<const uint8_t*>(back.data()), back.size()));
  Check(Host_Utf8_To_Utf16(back) == lenient);
  if (valid) Check(strict == lenient && back == bytes);

  // Bounded forms: a prefix of the whole, never half a pair, never more than
  // the room; a cut of the UTF-8 never splits a character.
  for (std::size_t cap : kSizes) {
    std::vector<char16_t> out(cap);
    bool full = false;
    const std::size_t n = Host_Utf8_To_Utf16_Into(bytes, out, {}, &full);
    Check(n <= cap && n <= lenient.size() && std::memcmp(out.data(), lenient.data(), n * 2) == 0);
    Check(Well_Paired(out.data(), n));
    Check(full == (n < lenient.size()));
    std::vector<char> enc8(cap);
    const std::size_t m = Host_Utf16_To_Utf8_Into(lenient, enc8);
    Check(m <= cap && m <= back.size() && std::memcmp(enc8.data(), back.data(), m) == 0);
    Check(Valid_UTF8(reinterpret_cast<const uint8_t*>(enc8.data()), m));
    const std::size_t c = Host_Utf8_Cut(back, cap);
    Check(c <= cap);
    Check(Valid_UTF8(reinterpret_cast<const uint8_t*>(back.data()), c));
  }
  return 0;
}
