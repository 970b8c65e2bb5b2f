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
  DialogBuilder kit(this);

  QLabel* pLabel = kit.Label(QStringLiteral("Log File Name"), kNoId, {7, 9, 55, 8});
  m_pLogFile = kit.Edit(kIdLogFile, {64, 7, 115, 12});
  m_pLogFile->setText(ToDisplay(m_strLogFile));
  pLabel->setBuddy(m_pLogFile);

  m_pLogEnabled = kit.CheckBox(QStringLiteral("Logging Enabled"), kIdLogEnabled, {64, 25, 115, 10});
  m_pLogEnabled->setChecked(m_bLogEnabled);

  QPushButton* pOk = kit.Button(QStringLiteral("OK"), 1, {129, 42, 50, 14});
  pOk->setDefault(true);
  connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

  kit.SetFixedSize(186, 63);
}

void CLogOptionsDlg::accept() {
  m_strLogFile = FromTyped(m_pLogFile->text());
  m_bLogEnabled = m_pLogEnabled->isChecked();
  QDialog::accept();
}

}  // namespace velvane
