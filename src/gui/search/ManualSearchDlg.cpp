#include "gui/search/ManualSearchDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <initializer_list>

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
  DialogBuilder kit(this);

  // The two edits stand over the artist and title columns of the list. Created in tab order.
  QLabel* pArtistLabel = kit.Label(QStringLiteral("Artist"), kIdArtistLabel, {7, 5, 100, 11});
  m_pArtist = kit.Edit(kIdArtist, {7, 17, 143, 15});
  QLabel* pTitleLabel = kit.Label(QStringLiteral("Title"), kIdTitleLabel, {157, 5, 100, 11});
  m_pTitle = kit.Edit(kIdTitle, {157, 17, 143, 15});
  pArtistLabel->setBuddy(m_pArtist);
  pTitleLabel->setBuddy(m_pTitle);
  const QFont bold = BoldArial(16);
  for (QWidget* pControl :
       std::initializer_list<QWidget*>{pArtistLabel, m_pArtist, pTitleLabel, m_pTitle}) {
    pControl->setFont(bold);
  }

  QPushButton* pSearch = kit.Button(QStringLiteral("Search"), kIdSearch, {310, 16, 60, 17});
  pSearch->setDefault(true);
  connect(pSearch, &QPushButton::clicked, this, &CManualSearchDlg::OnSearch);
  connect(kit.Button(QStringLiteral("Add To List"), kIdAddToList, {490, 16, 60, 17}),
          &QPushButton::clicked, this, &CManualSearchDlg::OnAddToList);
  connect(kit.Button(QStringLiteral("Quit"), 1, {560, 16, 60, 17}), &QPushButton::clicked, this,
          &QDialog::accept);

  m_pResults = std::make_unique<SearchResultList>(kit, 40, kDialogWidth, kDialogHeight);
  connect(m_pResults->List(), &QListWidget::itemDoubleClicked, this,
          &CManualSearchDlg::OnAddToList);

  kit.SetFixedSize(kDialogWidth, kDialogHeight);
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
