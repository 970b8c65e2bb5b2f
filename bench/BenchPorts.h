#pragma once

// Ports that do nothing, for benchmarks that need a core object but no outside world.
#include <string>

#include "core/ports/Clock.h"
#include "core/ports/ProfileStore.h"
#include "core/ports/Prompter.h"

namespace velvane {

class QuietPrompter : public Prompter {
 public:
  PromptAnswer Show(const std::string&, const std::string&, PromptIcon, PromptButtons) override {
    return PromptAnswer::Ok;
  }
};

class FixedClock : public Clock {
 public:
  SystemTime NowUtc() override { return {2026, 12, 4, 5, 17, 59, 0, 0}; }
  std::int64_t SecondsSinceEpoch() override { return 0; }
};

// Settings that are never there.
class EmptyProfile : public ProfileStore {
 public:
  int GetProfileInt(const std::string&, const std::string&, int nDefault) override {
    return nDefault;
  }
  std::string GetProfileString(const std::string&, const std::string&,
                               const std::string& strDefault) override {
    return strDefault;
  }
  bool WriteProfileInt(const std::string&, const std::string&, int) override { return false; }
  bool WriteProfileString(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
};

}  // namespace velvane
