#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velvane {

namespace byte_scan {

constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fULL;

constexpr std::uint64_t Repeated(char c) {
  return 0x0101010101010101ULL * static_cast<unsigned char>(c);
}

// The high bit of every byte of `word` equal to that byte of `pattern`, and no other bit.
constexpr std::uint64_t Equal(std::uint64_t word, std::uint64_t pattern) {
  const std::uint64_t x = word ^ pattern;
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

}  // namespace byte_scan

// The first byte at or after `nFrom` equal to `a` or `b`, or text.size(). Sixteen bytes at a
// time where the processor compares that many at once, else eight, and without a call: a
// database line's fields and lines are a few dozen bytes, shorter than what memchr needs to
// earn its call and set-up.
inline std::size_t FindEither(std::string_view text, std::size_t nFrom, char a, char b) {
  std::size_t i = nFrom;
#if defined(__SSE2__)
  const __m128i nA16 = _mm_set1_epi8(a);
  const __m128i nB16 = _mm_set1_epi8(b);
  for (; i + sizeof(__m128i) <= text.size(); i += sizeof(__m128i)) {
    const __m128i nBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const int nFound =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(nBytes, nA16), _mm_cmpeq_epi8(nBytes, nB16)));
    if (nFound != 0) {
      return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(nFound)));
    }
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    const std::uint64_t nA = byte_scan::Repeated(a);
    const std::uint64_t nB = byte_scan::Repeated(b);
    for (; i + sizeof(std::uint64_t) <= text.size(); i += sizeof(std::uint64_t)) {
      std::uint64_t nWord = 0;
      std::memcpy(&nWord, text.data() + i, sizeof nWord);
      if (const std::uint64_t nFound = byte_scan::Equal(nWord, nA) | byte_scan::Equal(nWord, nB);
          nFound != 0) {
        return i + static_cast<std::size_t>(std::countr_zero(nFound)) / 8;
      }
    }
  }
  while (i < text.size() && text[i] != a && text[i] != b) {
    ++i;
  }
  return i;
}

inline std::size_t FindByte(std::string_view text, std::size_t nFrom, char c) {
  return FindEither(text, nFrom, c, c);
}

}  // namespace velvane
