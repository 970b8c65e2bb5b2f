#include "support/FakeProfileStore.h"

namespace velvane {

int FakeProfileStore::GetProfileInt(const std::string& section, const std::string& entry,
                                    int defaultValue) {
  m_vecReads.push_back({section, entry, Kind::kInt});
  const auto value = Find(section, entry);
  return value && value->kind == Kind::kInt ? value->nValue : defaultValue;
}

std::string FakeProfileStore::GetProfileString(const std::string& section, const std::string& entry,
                                               const std::string& defaultValue) {
  m_vecReads.push_back({section, entry, Kind::kString});
  const auto value = Find(section, entry);
  return value && value->kind == Kind::kString ? value->strValue : defaultValue;
}

bool FakeProfileStore::WriteProfileInt(const std::string& section, const std::string& entry,
                                       int value) {
  m_vecWrites.push_back({section, entry, Kind::kInt});
  PutInt(section, entry, value);
  return true;
}

bool FakeProfileStore::WriteProfileString(const std::string& section, const std::string& entry,
                                          const std::string& value) {
  m_vecWrites.push_back({section, entry, Kind::kString});
  PutString(section, entry, value);
  return true;
}

void FakeProfileStore::PutInt(const std::string& section, const std::string& entry, int value) {
  m_mapValues[{section, entry}] = Value{Kind::kInt, value, {}};
}

void FakeProfileStore::PutString(const std::string& section, const std::string& entry,
                                 const std::string& value) {
  m_mapValues[{section, entry}] = Value{Kind::kString, 0, value};
}

std::optional<FakeProfileStore::Value> FakeProfileStore::Find(const std::string& section,
                                                              const std::string& entry) const {
  const auto it = m_mapValues.find({section, entry});
  if (it == m_mapValues.end()) {
    return std::nullopt;
  }
  return it->second;
}

std::vector<std::string> FakeProfileStore::ReadEntries(const std::string& section) const {
  std::vector<std::string> entries;
  for (const auto& read : m_vecReads) {
    if (read.strSection == section) {
      entries.push_back(read.strEntry);
    }
  }
  return entries;
}

}  // namespace velvane
