#include "gui/main/CommandLine.h"

#include <gtest/gtest.h>

namespace velvane {
namespace {

using Action = DesktopCommandLine::Action;

TEST(DesktopCommandLine, HelpAndVersionWinAnythingUnknownIsAUsageErrorAndHelpNamesEveryOption) {
  EXPECT_EQ(ParseDesktopCommandLine({}).action, Action::kRun);
  const DesktopCommandLine demo = ParseDesktopCommandLine({"--demo"});
  EXPECT_EQ(demo.action, Action::kRun);
  EXPECT_TRUE(demo.bDemo);
  EXPECT_EQ(ParseDesktopCommandLine({"--demo", "--help"}).action, Action::kHelp);
  EXPECT_EQ(ParseDesktopCommandLine({"-h"}).action, Action::kHelp);
  EXPECT_EQ(ParseDesktopCommandLine({"--version", "--bogus"}).action, Action::kVersion);

  const DesktopCommandLine bad = ParseDesktopCommandLine({"--demo", "--colour"});
  EXPECT_EQ(bad.action, Action::kUsageError);
  EXPECT_EQ(DesktopUsageError(bad.strError),
            "velvane: unknown option --colour\nusage: velvane [--demo]\n"
            "Run \"velvane --help\" for the options.\n");
  EXPECT_EQ(ParseDesktopCommandLine({"evening.pla"}).strError, "unexpected argument evening.pla");

  // The help has a line for every option.
  const std::string strHelp = DesktopHelp();
  EXPECT_EQ(strHelp.rfind("usage: velvane [--demo]\n", 0), 0u);
  for (const char* pszOption : {"\n  --demo ", "\n  -h, --help ", "\n  --version "}) {
    EXPECT_NE(strHelp.find(pszOption), std::string::npos) << pszOption;
  }
  EXPECT_EQ(DesktopVersion(), "velvane 1.1.1.0\n");
}

}  // namespace
}  // namespace velvane
