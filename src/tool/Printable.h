#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace velvane {

// Everything the tool prints passes through this, so that a file name, a stored text or a line
// from the update server cannot move the cursor, clear the screen or fake lines of output: every
// control character but the line end and the TAB between list fields is written escaped.
class PrintableStreamBuf : public std::streambuf {
 public:
  explicit PrintableStreamBuf(std::streambuf* pTarget) : m_pTarget(pTarget) {}

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* pText, std::streamsize nCount) override;
  int sync() override;

 private:
  bool Put(std::string_view text);
  std::streambuf* m_pTarget;
};

}  // namespace velvane
