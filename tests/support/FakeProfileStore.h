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
                    int defaultValue) override;
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) override;
  bool WriteProfileInt(const std::string& section, const std::string& entry, int value) override;
  bool WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value) override;

  // Seed values without recording a write.
  void PutInt(const std::string& section, const std::string& entry, int value);
  void PutString(const std::string& section, const std::string& entry, const std::string& value);

  std::optional<Value> Find(const std::string& section, const std::string& entry) const;
  // Entry names of the recorded reads, in order, for one section.
  std::vector<std::string> ReadEntries(const std::string& section) const;

  std::map<std::pair<std::string, std::string>, Value> m_mapValues;
  std::vector<Access> m_vecReads;
  std::vector<Access> m_vecWrites;
};

}  // namespace velvane
