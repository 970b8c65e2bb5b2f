#pragma once

// Ports that do nothing, for benchmarks that need a core object but no outside world.
#include <map>
#include <string>
#include <utility>

#include "core/ports/Clock.h"
#include "core/ports/Mci.h"
#include "core/ports/ProfileStore.h"
#include "core/ports/Prompter.h"

namespace velvane {

// An audio service with nothing to play: every command fails.
class NoAudio : public Mci {
 public:
  int SendString(const std::string&, std::string& reply) override {
    reply.clear();
    return 263;
  }
};

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

// Settings given as texts (integers are read from the same texts); nothing is ever written.
class MapProfile : public ProfileStore {
 public:
  explicit MapProfile(std::map<std::string, std::string> values) : m_values(std::move(values)) {}
  int GetProfileInt(const std::string&, const std::string& entry, int nDefault) override {
    const auto it = m_values.find(entry);
    return it == m_values.end() ? nDefault : std::stoi(it->second);
  }
  std::string GetProfileString(const std::string&, const std::string& entry,
                               const std::string& strDefault) override {
    const auto it = m_values.find(entry);
    return it == m_values.end() ? strDefault : it->second;
  }
  bool WriteProfileInt(const std::string&, const std::string&, int) override { return false; }
  bool WriteProfileString(const std::string&, const std::string&, const std::string&) override {
    return false;
  }

 private:
  std::map<std::string, std::string> m_values;
};

}  // namespace velvane
