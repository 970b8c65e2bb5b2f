#include "tool/ProgressLine.h"

namespace velvane {

double ProgressLine::Elapsed() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
}

void ProgressLine::Show(const std::string& strLine) {
  if (!m_context.bTerminal) {
    return;
  }
  m_strLine = strLine;
  m_context.Progress() << '\r' << m_strLine << "\x1b[K" << std::flush;
}

void ProgressLine::Print(std::ostream& stream, const std::string& strLine) {
  Clear();
  stream << strLine << '\n' << std::flush;
  if (!m_strLine.empty()) {
    m_context.Progress() << m_strLine << std::flush;
  }
}

void ProgressLine::Finish() {
  Clear();
  m_strLine.clear();
}

void ProgressLine::Clear() {
  if (!m_strLine.empty()) {
    m_context.Progress() << "\r\x1b[K" << std::flush;
  }
}

}  // namespace velvane
