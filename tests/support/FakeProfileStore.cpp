#include "support/FakeProfileStore.h"

namespace velvane {

namespace {

std::vector<std::string> EntriesIn(const std::vector<FakeProfileStore::Access>& accesses,
                                   const std::string& section) {
  std::vector<std::string> entries;
  for (const auto& access : accesses) {
    if (access.strSection == section) {
      entries.push_back(access.strEntry);
    }
  }
  return entries;
}

}  // namespace

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
  if (m_bFailWrites) {
    return false;
  }
  PutInt(section, entry, value);
  return true;
}

bool FakeProfileStore::WriteProfileString(const std::string& section, const std::string& entry,
                                          const std::string& value) {
  m_vecWrites.push_back({section, entry, Kind::kString});
  if (m_bFailWrites) {
    return false;
  }
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
  return EntriesIn(m_vecReads, section);
}

std::vector<std::string> FakeProfileStore::WrittenEntries(const std::string& section) const {
  return EntriesIn(m_vecWrites, section);
}

}  // namespace velvane
