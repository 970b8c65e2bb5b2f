#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/Fakes.h"
#include "support/TempDir.h"
#include "tool/Tool.h"

namespace velvane {

// velvane-tool run in the test's process on a temporary database folder (m_db) and music
// folder (m_music); what it printed stays in m_out and m_err. A test sets the ports it needs
// in m_context.
class ToolFixture : public ::testing::Test {
 protected:
  // The desktop program's settings name the two folders, as after its installation.
  void UseTempFolders() {
    m_profile.PutInt("General", "IsInstalled", 1);
    m_profile.PutString("General", "FilesDir", m_db.Folder());
    m_profile.PutString("General", "MusicDir", m_music.Folder());
  }
  // Runs the tool on m_args followed by `args` and returns its exit status.
  int Run(const std::vector<std::string>& args) {
    m_out.str("");
    m_err.str("");
    std::vector<std::string> all = m_args;
    all.insert(all.end(), args.begin(), args.end());
    return RunTool(all, m_context);
  }
  // Runs the tool, expects the exit status `nStatus` and returns what it printed on stdout.
  std::string Out(const std::vector<std::string>& args, int nStatus = kToolSuccess) {
    EXPECT_EQ(Run(args), nStatus) << m_err.str();
    return m_out.str();
  }

  TempDir m_db;
  TempDir m_music;
  FakeProfileStore m_profile;
  FakeClock m_clock;
  std::ostringstream m_out, m_err;
  ToolContext m_context{m_profile, m_clock, m_out, m_err};
  std::vector<std::string> m_args;  // the arguments every run starts with
};

}  // namespace velvane
