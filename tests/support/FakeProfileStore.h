#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ports/ProfileStore.h"

namespace velvane {

// An in-memory profile store that remembers how each value was stored, so tests can tell a
// value written as text from one written as an integer, and the order of reads and writes.
// Like the registry, a value is typed: reading an integer from a text value (or the other
// way round) yields the default, so reading a value with the wrong kind shows up in tests.
class FakeProfileStore : public ProfileStore {
 public:
  enum class Kind { kInt, kString };

  struct Value {
    Kind kind = Kind::kInt;
    int nValue = 0;
    std::string strValue;
  };

  struct Access {
    std::string strSection;
    std::string strEntry;
    Kind kind = Kind::kInt;
  };

  int GetProfileInt(const std::string& section, const std::string& entry,
                    int defaultValue) override {
    const std::optional<Value> value = Read(section, entry, Kind::kInt);
    return value ? value->nValue : defaultValue;
  }
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) override {
    const std::optional<Value> value = Read(section, entry, Kind::kString);
    return value ? value->strValue : defaultValue;
  }
  bool WriteProfileInt(const std::string& section, const std::string& entry, int value) override {
    m_vecWrites.push_back({section, entry, Kind::kInt});
    PutInt(section, entry, value);
    return true;
  }
  bool WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value) override {
    m_vecWrites.push_back({section, entry, Kind::kString});
    PutString(section, entry, value);
    return true;
  }

  // Seed values without recording a write.
  void PutInt(const std::string& section, const std::string& entry, int value) {
    m_mapValues[{section, entry}] = {Kind::kInt, value, {}};
  }
  void PutString(const std::string& section, const std::string& entry, const std::string& value) {
    m_mapValues[{section, entry}] = {Kind::kString, 0, value};
  }

  std::optional<Value> Find(const std::string& section, const std::string& entry) const {
    const auto it = m_mapValues.find({section, entry});
    return it == m_mapValues.end() ? std::nullopt : std::optional<Value>(it->second);
  }
  // Entry names of the recorded reads, in order, for one section.
  std::vector<std::string> ReadEntries(const std::string& section) const {
    std::vector<std::string> entries;
    for (const Access& read : m_vecReads) {
      if (read.strSection == section) {
        entries.push_back(read.strEntry);
      }
    }
    return entries;
  }

  std::map<std::pair<std::string, std::string>, Value> m_mapValues;
  std::vector<Access> m_vecReads;
  std::vector<Access> m_vecWrites;

 private:
  std::optional<Value> Read(const std::string& section, const std::string& entry, Kind kind) {
    m_vecReads.push_back({section, entry, kind});
    std::optional<Value> value = Find(section, entry);
    return value && value->kind == kind ? value : std::nullopt;
  }
};

}  // namespace velvane
