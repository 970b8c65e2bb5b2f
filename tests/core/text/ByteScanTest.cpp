#include "core/text/ByteScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace velvane {
namespace {

// Every place of the sought bytes in texts of every length across the 8- and 16-byte steps,
// among bytes that differ from them in the high bit alone, against the plain search.
TEST(ByteScanTest, FindsTheFirstOfEitherByteWhereverItLies) {
  for (std::size_t nLength = 0; nLength <= 40; ++nLength) {
    for (std::size_t nAt = 0; nAt <= nLength; ++nAt) {
      std::string text(nLength, static_cast<char>('\\' | 0x80));
      for (std::size_t i = 0; i < nLength; i += 3) {
        text[i] = static_cast<char>('\n' | 0x80);
      }
      if (nAt < nLength) {
        text[nAt] = nAt % 2 == 0 ? '\r' : '\n';
      }
      for (std::size_t nFrom = 0; nFrom <= nLength; nFrom += 5) {
        const std::size_t nExpected = std::min(text.find_first_of("\r\n", nFrom), nLength);
        ASSERT_EQ(FindEither(text, nFrom, '\r', '\n'), nExpected) << nLength << ' ' << nAt;
      }
      std::replace(text.begin(), text.end(), '\r', '\\');
      std::replace(text.begin(), text.end(), '\n', '\\');
      ASSERT_EQ(FindByte(text, 0, '\\'), nAt) << nLength;
    }
  }
}

}  // namespace
}  // namespace velvane
