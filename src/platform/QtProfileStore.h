#pragma once

#include <QSettings>
#include <QString>
#include <string>

#include "core/ports/ProfileStore.h"

namespace velvane {

// The profile store over QSettings in the native format, organisation "ROLV": the registry
// on Windows, ~/.config/ROLV/<application>.conf (or under XDG_CONFIG_HOME) on Linux. The
// desktop program and velvane-tool pass the same application name so they share one store.
class QtProfileStore : public ProfileStore {
 public:
  explicit QtProfileStore(const QString& applicationName);

  int GetProfileInt(const std::string& section, const std::string& entry,
                    int defaultValue) override;
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) override;
  bool WriteProfileInt(const std::string& section, const std::string& entry, int value) override;
  bool WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value) override;

  // Where the values are kept (a file path, or a registry path on Windows).
  QString FileName() const { return m_settings.fileName(); }

 private:
  bool Commit();

  QSettings m_settings;
};

}  // namespace velvane
