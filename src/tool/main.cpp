#include <iostream>
#include <string>
#include <vector>

#include "core/settings/ProgramInfo.h"
#include "platform/QtProfileStore.h"
#include "platform/SystemClock.h"
#include "platform/TagLibTagReader.h"
#include "tool/Tool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  velvane::QtProfileStore profile(velvane::kDesktopApplicationName);
  velvane::SystemClock clock;
  velvane::TagLibTagReader tags;
  velvane::ToolContext context{profile, clock, std::cout, std::cerr, &tags};
  return velvane::RunTool(args, context);
}
