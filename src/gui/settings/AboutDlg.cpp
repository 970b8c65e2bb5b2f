#include "gui/settings/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "gui/common/DialogKit.h"
#include "gui/settings/AppIcon.h"

namespace velvane {

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
  kit.Label(QStringLiteral("see README.md"), kNoId, {42, 52, 190, 8});

  QPushButton* pOk = kit.Button(QStringLiteral("OK"), 1, {182, 68, 50, 14});
  pOk->setDefault(true);
  connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

  kit.SetFixedSize(240, 89);
}

}  // namespace velvane
