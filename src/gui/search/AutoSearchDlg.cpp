#include "gui/search/AutoSearchDlg.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include "core/search/AutoSelection.h"
#include "gui/common/DialogKit.h"

namespace velvane {

namespace {

constexpr int kDialogWidth = 627;
constexpr int kDialogHeight = 290;

// Breaks a button text into lines at blanks so each line fits the button, as a multi-line
// button wraps its words.
QString WrapToButton(const QString& text, const QPushButton& button) {
  const QFontMetrics metrics(button.font());
  const int nWidth = button.width() - 2 * button.style()->pixelMetric(QStyle::PM_ButtonMargin);
  QStringList lines;
  for (const QString& word : text.split(QLatin1Char(' '))) {
    if (!lines.isEmpty() &&
        metrics.horizontalAdvance(lines.last() + QLatin1Char(' ') + word) <= nWidth) {
      lines.last() += QLatin1Char(' ') + word;
    } else {
      lines << word;
    }
  }
  return lines.join(QLatin1Char('\n'));
}

// A button whose text is wrapped to its width; the unwrapped text stays its accessible name.
QPushButton* WrappedButton(DialogBuilder& kit, const QString& text, int nId, UnitRect at) {
  QPushButton* pButton = kit.Button(QString(), nId, at);
  pButton->setText(WrapToButton(text, *pButton));
  pButton->setAccessibleName(text);
  return pButton;
}

}  // namespace

CAutoSearchDlg::CAutoSearchDlg(RadioCore& core, Clock& clock, QWidget* pParent)
    : QDialog(pParent),
      m_core(core),
      m_random(SeededFromTime(clock)),
      m_strStartYear(core.AutoSearchYears().strStartYear),
      m_strEndYear(core.AutoSearchYears().strEndYear) {
  setWindowTitle(QStringLiteral("Search For Tracks"));
  DialogBuilder kit(this);

  QStringList years;
  for (const std::string& strYear : SelectableYears(clock.NowUtc().nYear)) {
    years << QString::fromStdString(strYear);
  }
  QLabel* pStartLabel = kit.Label(QStringLiteral("Start Year"), kIdStartYearLabel, {7, 13, 36, 10});
  m_pStartYear = kit.ComboBox(kIdStartYear, {45, 11, 45, 14});
  QLabel* pEndLabel = kit.Label(QStringLiteral("End Year"), kIdEndYearLabel, {100, 13, 36, 10});
  m_pEndYear = kit.ComboBox(kIdEndYear, {138, 11, 45, 14});
  pStartLabel->setBuddy(m_pStartYear);
  pEndLabel->setBuddy(m_pEndYear);
  m_pStartYear->addItems(years);
  m_pEndYear->addItems(years);
  SelectYear(m_pStartYear, m_strStartYear);
  SelectYear(m_pEndYear, m_strEndYear);
  // Only the operator's choices count as changes, not the dialog setting a combo back.
  connect(m_pStartYear, &QComboBox::activated, this, &CAutoSearchDlg::OnSelChangeStartYear);
  connect(m_pEndYear, &QComboBox::activated, this, &CAutoSearchDlg::OnSelChangeEndYear);

  QPushButton* pTop40 =
      WrappedButton(kit, QStringLiteral("New Top 40 Selection"), kIdTop40, {280, 6, 62, 25});
  pTop40->setDefault(true);
  connect(pTop40, &QPushButton::clicked, this, &CAutoSearchDlg::OnNewTop40Selection);
  connect(WrappedButton(kit, QStringLiteral("New Out Of Chart Selection"), kIdOutOfChart,
                        {350, 6, 62, 25}),
          &QPushButton::clicked, this, &CAutoSearchDlg::OnNewOutOfChartSelection);
  connect(WrappedButton(kit, QStringLiteral("Add To List"), kIdAddToList, {490, 10, 60, 17}),
          &QPushButton::clicked, this, &CAutoSearchDlg::OnAddToList);
  connect(WrappedButton(kit, QStringLiteral("Quit"), 1, {560, 10, 60, 17}), &QPushButton::clicked,
          this, &QDialog::accept);

  m_pResults = std::make_unique<SearchResultList>(kit, 40, kDialogWidth, kDialogHeight);
  connect(m_pResults->List(), &QListWidget::itemDoubleClicked, this, &CAutoSearchDlg::OnAddToList);

  kit.SetFixedSize(kDialogWidth, kDialogHeight);
}

void CAutoSearchDlg::Run(RadioCore& core, Clock& clock, QWidget* pParent) {
  CAutoSearchDlg dialog(core, clock, pParent);
  dialog.exec();
  core.OnAutoSearchClosed(dialog.Years());
}

void CAutoSearchDlg::accept() {
  ReadYears();
  QDialog::accept();
}

void CAutoSearchDlg::ReadYears() {
  // A combo without a selection reads as an empty year.
  m_strStartYear = FromTyped(m_pStartYear->currentText());
  m_strEndYear = FromTyped(m_pEndYear->currentText());
}

void CAutoSearchDlg::SelectYear(QComboBox* pCombo, const std::string& strYear) {
  pCombo->setCurrentIndex(
      pCombo->findText(ToDisplay(strYear), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void CAutoSearchDlg::OnSelChangeStartYear() {
  ReadYears();
  KeepYearsInOrder(m_strStartYear, m_strEndYear, true);
  SelectYear(m_pStartYear, m_strStartYear);
}

void CAutoSearchDlg::OnSelChangeEndYear() {
  ReadYears();
  KeepYearsInOrder(m_strStartYear, m_strEndYear, false);
  SelectYear(m_pEndYear, m_strEndYear);
}

void CAutoSearchDlg::OnNewTop40Selection() {
  ReadYears();
  SelectionResult result = SelectTop40(m_core.Store(), m_strStartYear, m_strEndYear, m_random);
  m_pResults->ShowRows(std::move(result.rows));
  m_pResults->SetStatus(result.strStatus);
}

void CAutoSearchDlg::OnNewOutOfChartSelection() {
  ReadYears();
  SelectionResult result = SelectOutOfChart(m_core.Store(), m_random);
  m_pResults->ShowRows(std::move(result.rows));
  m_pResults->SetStatus(result.strStatus);
}

void CAutoSearchDlg::OnAddToList() {
  m_pResults->AddSelectedToList(m_core);
}

}  // namespace velvane
