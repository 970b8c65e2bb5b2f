#include "platform/QtProfileStore.h"

#include <QVariant>

namespace velvane {

namespace {

// QSettings' INI format writes a group named "General" as [%General] and keeps its own
// [General] for keys outside any group. The settings must land in the file's [General]
// section, so there that section maps to top-level keys. The registry has no such quirk and
// keeps the section as a real key.
QString Key(const std::string& section, const std::string& entry) {
  QString qstrEntry = QString::fromUtf8(entry);
#ifndef Q_OS_WIN
  if (section == "General") {
    return qstrEntry;
  }
#endif
  return QString::fromUtf8(section) + QLatin1Char('/') + qstrEntry;
}

}  // namespace

QtProfileStore::QtProfileStore(const QString& applicationName)
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ROLV"),
                 applicationName) {}

int QtProfileStore::GetProfileInt(const std::string& section, const std::string& entry,
                                  int defaultValue) {
  const QVariant value = m_settings.value(Key(section, entry));
  if (!value.isValid()) {
    return defaultValue;
  }
  bool bOk = false;
  const int nValue = value.toInt(&bOk);
  return bOk ? nValue : defaultValue;
}

std::string QtProfileStore::GetProfileString(const std::string& section, const std::string& entry,
                                             const std::string& defaultValue) {
  const QVariant value = m_settings.value(Key(section, entry));
  if (!value.isValid()) {
    return defaultValue;
  }
  return value.toString().toUtf8().toStdString();
}

bool QtProfileStore::WriteProfileInt(const std::string& section, const std::string& entry,
                                     int value) {
  m_settings.setValue(Key(section, entry), value);
  return Commit();
}

bool QtProfileStore::WriteProfileString(const std::string& section, const std::string& entry,
                                        const std::string& value) {
  m_settings.setValue(Key(section, entry), QString::fromUtf8(value));
  return Commit();
}

// Each write goes to disk at once: the tool and the desktop program may both be running,
// and a crash must not lose a saved setting.
bool QtProfileStore::Commit() {
  m_settings.sync();
  return m_settings.status() == QSettings::NoError;
}

}  // namespace velvane
