#include "gui/settings/AboutDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "gui/common/DialogKit.h"
#include "gui/main/MainKeys.h"
#include "gui/settings/AppIcon.h"

namespace velvane {

QString ManualPath(const QString& strProgramDir, const QString& strDocFromProgram,
                   const QString& strConfiguredDocDir) {
  const QString strManual = QStringLiteral("README.md");
  const QString strInstalled =
      QDir::cleanPath(QDir(strProgramDir).filePath(strDocFromProgram + u'/' + strManual));
  return QFileInfo::exists(strInstalled) ? strInstalled
                                         : QDir(strConfiguredDocDir).filePath(strManual);
}

CAboutDlg::CAboutDlg(const std::string& strTitle, const std::string& strVersion, QWidget* pParent)
    : QDialog(pParent) {
  setWindowTitle(QStringLiteral("The ROLV Radio System"));
  DialogBuilder kit(this);

  auto* pIcon = new QLabel(this);
  pIcon->setPixmap(DrawAppIcon(32));
  // The icon keeps its own size in pixels.
  pIcon->setGeometry(kit.Units().X(11), kit.Units().Y(12), 32, 32);

  kit.Label(ToDisplay(strTitle + " (" + strVersion + ")"), kIdTitleVersion, {42, 12, 190, 8});
  kit.Label(QStringLiteral("For help and information"), kNoId, {42, 30, 190, 8});
  kit.Label(QStringLiteral("Velvane project"), kNoId, {42, 42, 190, 8});
  // The manual is installed with the program; an operator has no source tree to look in.
  const QString strManual =
      ManualPath(QCoreApplication::applicationDirPath(), QStringLiteral(VELVANE_DOC_FROM_BIN),
                 QStringLiteral(VELVANE_DOC_DIR));
  QLabel* pManual =
      kit.Label(QStringLiteral("The manual: %1").arg(QDir::toNativeSeparators(strManual)), kNoId,
                {42, 52, 190, 16});
  pManual->setWordWrap(true);
  pManual->setTextInteractionFlags(Qt::TextSelectableByMouse);

  // The main window's keys, one a line: the key, then what it does.
  kit.Label(QStringLiteral("Keys in the main window"), kNoId, {42, 74, 190, 8});
  int y = 86;
  for (const MainKey& key : kMainKeys) {
    kit.Label(KeyName(key.key), kNoId, {42, y, 50, 8});
    kit.Label(QString::fromUtf8(key.pAction), kNoId, {92, y, 140, 8});
    y += 9;
  }

  QPushButton* pOk = kit.Button(QStringLiteral("OK"), 1, {182, y + 6, 50, 14});
  pOk->setDefault(true);
  connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

  kit.SetFixedSize(240, y + 27);
}

}  // namespace velvane
