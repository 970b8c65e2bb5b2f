#include "tool/Printable.h"

#include <cstdio>

namespace velvane {

namespace {

bool NeedsEscape(unsigned char c) {
  return (c < 0x20 && c != '\n' && c != '\t') || c == 0x7F;
}

// A control character as the tool prints it: "\r", or "\x1b" and the like.
std::string EscapedControl(unsigned char c) {
  if (c == '\r') {
    return "\\r";
  }
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned>(c));
  return text;
}

}  // namespace

bool PrintableStreamBuf::Put(std::string_view text) {
  const auto nSize = static_cast<std::streamsize>(text.size());
  return m_pTarget->sputn(text.data(), nSize) == nSize;
}

PrintableStreamBuf::int_type PrintableStreamBuf::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  const char ch = traits_type::to_char_type(c);
  return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
}

std::streamsize PrintableStreamBuf::xsputn(const char* pText, std::streamsize nCount) {
  std::streamsize nStart = 0;
  for (std::streamsize i = 0; i < nCount; ++i) {
    const auto c = static_cast<unsigned char>(pText[i]);
    if (!NeedsEscape(c)) {
      continue;
    }
    if (!Put({pText + nStart, static_cast<std::size_t>(i - nStart)}) || !Put(EscapedControl(c))) {
      return i;
    }
    nStart = i + 1;
  }
  return Put({pText + nStart, static_cast<std::size_t>(nCount - nStart)}) ? nCount : nStart;
}

int PrintableStreamBuf::sync() {
  return m_pTarget->pubsync();
}

}  // namespace velvane
