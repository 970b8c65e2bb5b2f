#include "gui/search/NumberOneDateDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/search/NumberOne.h"
#include "core/search/SearchRow.h"
#include "gui/common/DialogKit.h"

namespace velvane {

CNumberOneDateDlg::CNumberOneDateDlg(RadioCore& core, QWidget* pParent)
    : QDialog(pParent), m_core(core) {
  setWindowTitle(QStringLiteral("Finding the No. 1 on a given date"));
  DialogBuilder kit(this);

  kit.Label(QStringLiteral("Enter the date to search for"), kNoId, {7, 7, 110, 9});
  kit.Label(QStringLiteral("in the form dd/mm/yyyy"), kNoId, {7, 16, 110, 9});

  m_pDate = kit.Edit(kIdDate, {120, 9, 60, 13});
  m_pDate->setAlignment(Qt::AlignCenter);

  QPushButton* pSearch = kit.Button(QStringLiteral("Search"), kIdSearch, {190, 8, 55, 15});
  pSearch->setDefault(true);
  connect(pSearch, &QPushButton::clicked, this, &CNumberOneDateDlg::OnSearch);
  m_pAddToPlaylist =
      kit.Button(QStringLiteral("Add to Playlist"), kIdAddToPlaylist, {7, 89, 70, 15});
  m_pAddToPlaylist->setEnabled(false);
  connect(m_pAddToPlaylist, &QPushButton::clicked, this, &CNumberOneDateDlg::OnAddToPlaylist);
  connect(kit.Button(QStringLiteral("Cancel"), 2, {175, 89, 70, 15}), &QPushButton::clicked, this,
          &QDialog::reject);

  m_pResult = kit.Label(QString(), kIdResult, {7, 29, 238, 53});
  m_pResult->setFrameStyle(QFrame::Box | QFrame::Plain);
  m_pResult->setTextFormat(Qt::PlainText);
  m_pResult->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_pResult->setWordWrap(true);

  kit.SetFixedSize(252, 111);
}

void CNumberOneDateDlg::Run(RadioCore& core, QWidget* pParent) {
  CNumberOneDateDlg dialog(core, pParent);
  dialog.exec();
}

void CNumberOneDateDlg::OnSearch() {
  const NumberOneAnswer answer =
      SearchNumberOne(m_core.GetSettings().strFilesDir, FromTyped(m_pDate->text()));
  if (answer.bFound) {
    m_found = answer.entry;
  }
  m_pAddToPlaylist->setEnabled(answer.bCanQueue);
  m_pResult->setText(ToDisplay(answer.strShown));
}

void CNumberOneDateDlg::OnAddToPlaylist() {
  // Queued like a search line with chart reference 0; the queue takes the library's own
  // artist, title and chart link for that CD and track.
  SearchRow row{m_found.strCD, m_found.strTrack, m_found.strArtist, m_found.strTitle, 0, ""};
  m_pResult->setText(
      ToDisplay(AddRowToList(row, m_core.Queue(), m_core.GetSettings().strFilesDir)));
}

}  // namespace velvane
