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
  // The manual is installed with the program; an operator has no source tree to look in.
  QLabel* pManual =
      kit.Label(QStringLiteral("The manual: %1/README.md").arg(QStringLiteral(VELVANE_DOC_DIR)),
                kNoId, {42, 52, 190, 16});
  pManual->setWordWrap(true);
  pManual->setTextInteractionFlags(Qt::TextSelectableByMouse);

  QPushButton* pOk = kit.Button(QStringLiteral("OK"), 1, {182, 74, 50, 14});
  pOk->setDefault(true);
  connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

  kit.SetFixedSize(240, 95);
}

}  // namespace velvane
