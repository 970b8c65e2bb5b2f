#include "gui/settings/LogOptionsDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/common/DialogKit.h"

namespace velvane {

CLogOptionsDlg::CLogOptionsDlg(const std::string& strLogFile, bool bLogEnabled, QWidget* pParent)
    : QDialog(pParent), m_strLogFile(strLogFile), m_bLogEnabled(bLogEnabled) {
  setWindowTitle(QStringLiteral("Log File Options"));
  const DialogUnits du(font());

  auto* pLabel = new QLabel(QStringLiteral("Log File Name"), this);
  pLabel->setGeometry(du.Rect(7, 9, 55, 8));
  m_pLogFile = new QLineEdit(ToDisplay(m_strLogFile), this);
  m_pLogFile->setGeometry(du.Rect(64, 7, 115, 12));
  SetControlId(m_pLogFile, kIdLogFile);
  pLabel->setBuddy(m_pLogFile);

  m_pLogEnabled = new QCheckBox(QStringLiteral("Logging Enabled"), this);
  m_pLogEnabled->setGeometry(du.Rect(64, 25, 115, 10));
  m_pLogEnabled->setChecked(m_bLogEnabled);
  SetControlId(m_pLogEnabled, kIdLogEnabled);

  auto* pOk = new QPushButton(QStringLiteral("OK"), this);
  pOk->setGeometry(du.Rect(129, 42, 50, 14));
  pOk->setDefault(true);
  SetControlId(pOk, 1);
  connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

  setFixedSize(du.X(186), du.Y(63));
}

void CLogOptionsDlg::accept() {
  m_strLogFile = FromTyped(m_pLogFile->text());
  m_bLogEnabled = m_pLogEnabled->isChecked();
  QDialog::accept();
}

}  // namespace velvane
