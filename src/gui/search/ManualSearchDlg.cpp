#include "gui/search/ManualSearchDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/search/ManualSearch.h"
#include "gui/common/DialogKit.h"

namespace velvane {

namespace {

constexpr int kDialogWidth = 627;
constexpr int kDialogHeight = 290;

}  // namespace

CManualSearchDlg::CManualSearchDlg(RadioCore& core, QWidget* pParent)
    : QDialog(pParent), m_core(core) {
  setWindowTitle(QStringLiteral("Search For Tracks"));
  const DialogUnits du(font());
  const QFont bold = BoldArial(16);

  // The two edits stand over the artist and title columns of the list. Created in tab order.
  auto addEdit = [&](int nId, int nLabelId, const QString& label, int x) {
    auto* pLabel = new QLabel(label, this);
    pLabel->setFont(bold);
    pLabel->setGeometry(du.Rect(x, 5, 100, 11));
    SetControlId(pLabel, nLabelId);
    auto* pEdit = new QLineEdit(this);
    pEdit->setFont(bold);
    pEdit->setGeometry(du.Rect(x, 17, 143, 15));
    SetControlId(pEdit, nId);
    pLabel->setBuddy(pEdit);
    return pEdit;
  };
  m_pArtist = addEdit(kIdArtist, kIdArtistLabel, QStringLiteral("Artist"), 7);
  m_pTitle = addEdit(kIdTitle, kIdTitleLabel, QStringLiteral("Title"), 157);

  auto addButton = [&](const QString& text, int nId, QRect rect) {
    auto* pButton = new QPushButton(text, this);
    pButton->setGeometry(rect);
    SetControlId(pButton, nId);
    return pButton;
  };
  QPushButton* pSearch = addButton(QStringLiteral("Search"), kIdSearch, du.Rect(310, 16, 60, 17));
  pSearch->setDefault(true);
  connect(pSearch, &QPushButton::clicked, this, &CManualSearchDlg::OnSearch);
  connect(addButton(QStringLiteral("Add To List"), kIdAddToList, du.Rect(490, 16, 60, 17)),
          &QPushButton::clicked, this, &CManualSearchDlg::OnAddToList);
  connect(addButton(QStringLiteral("Quit"), 1, du.Rect(560, 16, 60, 17)), &QPushButton::clicked,
          this, &QDialog::accept);

  m_pResults = std::make_unique<SearchResultList>(this, du, 40, kDialogWidth, kDialogHeight);
  connect(m_pResults->List(), &QListWidget::itemDoubleClicked, this,
          &CManualSearchDlg::OnAddToList);

  setFixedSize(du.X(kDialogWidth), du.Y(kDialogHeight));
}

void CManualSearchDlg::Run(RadioCore& core, QWidget* pParent) {
  CManualSearchDlg dialog(core, pParent);
  dialog.exec();
}

void CManualSearchDlg::OnSearch() {
  const std::string strArtist = FromTyped(m_pArtist->text());
  const std::string strTitle = FromTyped(m_pTitle->text());
  if (HasSearchText(strArtist, strTitle)) {
    m_pResults->SetStatus(kManualSearchRunning, true);  // painted before the search blocks
  }
  ManualSearchResult result = ManualSearch(m_core.Store(), strArtist, strTitle);
  // An empty search leaves the list and its rows for "Add To List".
  if (result.bSearched) {
    m_pResults->ShowRows(std::move(result.rows));
  }
  m_pResults->SetStatus(result.strStatus);
}

void CManualSearchDlg::OnAddToList() {
  m_pResults->AddSelectedToList(m_core);
}

}  // namespace velvane
