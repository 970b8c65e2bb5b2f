#include "gui/settings/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "gui/common/DialogKit.h"
#include "gui/settings/AppIcon.h"

namespace velvane {

CAboutDlg::CAboutDlg(const std::string& strTitle, const std::string& strVersion, QWidget* pParent)
    : QDialog(pParent) {
  setWindowTitle(QStringLiteral("The ROLV Radio System"));
  const DialogUnits du(font());

  auto* pIcon = new QLabel(this);
  pIcon->setPixmap(DrawAppIcon(32));
  pIcon->setGeometry(du.X(11), du.Y(12), 32, 32);

  auto addLine = [&](const QString& text, int y) {
    auto* pLine = new QLabel(text, this);
    pLine->setGeometry(du.Rect(42, y, 190, 8));
    return pLine;
  };
  QLabel* pTitle = addLine(ToDisplay(strTitle + " (" + strVersion + ")"), 12);
  SetControlId(pTitle, kIdTitleVersion);
  addLine(QStringLiteral("For help and information"), 30);
  addLine(QStringLiteral("Velvane project"), 42);
  addLine(QStringLiteral("see README.md"), 52);

  auto* pOk = new QPushButton(QStringLiteral("OK"), this);
  pOk->setGeometry(du.Rect(182, 68, 50, 14));
  pOk->setDefault(true);
  SetControlId(pOk, 1);
  connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

  setFixedSize(du.X(240), du.Y(89));
}

}  // namespace velvane
