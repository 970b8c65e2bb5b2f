#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "tool/Tool.h"

namespace velvane {

// On a terminal one progress line, rewritten in place on the progress stream; lines printed
// through Print go above it. In a script (cron) nothing of it is printed.
class ProgressLine {
 public:
  explicit ProgressLine(ToolContext& context)
      : m_context(context), m_started(std::chrono::steady_clock::now()) {}

  bool Shown() const { return m_context.bTerminal; }
  double Elapsed() const;
  void Show(const std::string& strLine);
  void Print(std::ostream& stream, const std::string& strLine);
  void Finish();

 private:
  void Clear();

  ToolContext& m_context;
  std::chrono::steady_clock::time_point m_started;
  std::string m_strLine;
};

}  // namespace velvane
