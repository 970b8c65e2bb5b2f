#pragma once

#include <string>

namespace velvane {

// Per-user settings storage, read and written value by value:
// values live in named sections; a missing value yields the given default.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  virtual int GetProfileInt(const std::string& section, const std::string& entry,
                            int defaultValue) = 0;
  virtual std::string GetProfileString(const std::string& section, const std::string& entry,
                                       const std::string& defaultValue) = 0;
  virtual bool WriteProfileInt(const std::string& section, const std::string& entry, int value) = 0;
  virtual bool WriteProfileString(const std::string& section, const std::string& entry,
                                  const std::string& value) = 0;
};

}  // namespace velvane
