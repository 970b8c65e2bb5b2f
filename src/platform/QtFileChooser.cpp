#include "platform/QtFileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "core/text/Text.h"

namespace velvane {

namespace {

// Titles, filters and folders as stored bytes, shown as the view shows them.
QString Shown(const std::string& strBytes) {
  return QString::fromStdString(DisplayUtf8(strBytes));
}

}  // namespace

QString ToQtNameFilter(const std::string& strFilter) {
  const QStringList parts = Shown(strFilter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    if (description.isEmpty()) {
      break;  // the "||" that ends the list
    }
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (patterns.isEmpty() || description.contains(QLatin1Char('('))) {
      filters << description;
    } else {
      filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
  }
  return filters.join(QStringLiteral(";;"));
}

QString WithoutTrailingSeparator(const QString& folder) {
  QString result = folder;
  while (result.size() > 1 &&
         (result.endsWith(QLatin1Char('/')) || result.endsWith(QLatin1Char('\\')))) {
    if (result.size() == 3 && result[1] == QLatin1Char(':')) {
      break;  // "C:\" is a root folder
    }
    result.chop(1);
  }
  return result;
}

bool QtFileChooser::ChooseFile(const FileDialogOptions& options, bool bSave, std::string& path) {
  QFileDialog dialog(m_pParent.data(), Shown(options.strTitle), Shown(options.strFolder));
  dialog.setAcceptMode(bSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(bSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  const QString filter = ToQtNameFilter(options.strFilter);
  if (!filter.isEmpty()) {
    dialog.setNameFilter(filter);
  }
  dialog.setDefaultSuffix(Shown(options.strDefaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return false;
  }
  path = QDir::toNativeSeparators(dialog.selectedFiles().constFirst()).toStdString();
  return true;
}

bool QtFileChooser::ChooseOpenFile(const FileDialogOptions& options, std::string& path) {
  return ChooseFile(options, false, path);
}

bool QtFileChooser::ChooseSaveFile(const FileDialogOptions& options, std::string& path) {
  return ChooseFile(options, true, path);
}

bool QtFileChooser::ChooseFolder(const std::string& title, std::string& path) {
  const QString folder =
      QFileDialog::getExistingDirectory(m_pParent.data(), Shown(title), Shown(path));
  if (folder.isEmpty()) {
    return false;
  }
  path = QDir::toNativeSeparators(WithoutTrailingSeparator(folder)).toStdString();
  return true;
}

}  // namespace velvane
