#include "gui/playback/QueueEditDlg.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "core/main/RadioFixture.h"
#include "gui/ModalDriver.h"
#include "gui/common/DialogKit.h"

namespace velvane {
namespace {

using Names = std::vector<std::string>;

// Tracks come from RadioFixture::QueueTracks: artists "A", "B", ... with titles "TA", "TB", ...
class QueueEditDlgTest : public RadioFixture {
 protected:
  Names QueuedArtists() const {
    Names artists;
    for (const QueueSlot& slot : m_radio.QueueSlotsNow()) {
      if (!slot.strArtist.empty()) {
        artists.push_back(slot.strArtist);
      }
    }
    return artists;
  }

  static QTreeWidget* List(CQueueEditDlg& dialog) {
    return FindControlAs<QTreeWidget>(&dialog, CQueueEditDlg::kIdList);
  }
  // The artist column of every line, the selected line marked with '*'.
  static Names Lines(CQueueEditDlg& dialog) {
    Names lines;
    for (int i = 0; i < List(dialog)->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* pItem = List(dialog)->topLevelItem(i);
      lines.push_back(((pItem->isSelected() ? "*" : "") + pItem->text(0)).toStdString());
    }
    return lines;
  }
  // Selects a line and presses a button.
  static void Press(CQueueEditDlg& dialog, int nLine, int nId) {
    List(dialog)->setCurrentItem(List(dialog)->topLevelItem(nLine));
    QTest::mouseClick(FindControlAs<QPushButton>(&dialog, nId), Qt::LeftButton);
  }
};

TEST_F(QueueEditDlgTest, ButtonsMoveAndRemoveTheSelectedLineOfTheCopyButNeverThePlayingTrack) {
  QueueTracks({30000, 30000, 30000, 30000, 30000});
  CQueueEditDlg dialog(m_radio);
  EXPECT_EQ(List(dialog)->topLevelItem(1)->text(1), "TB");
  Press(dialog, -1, CQueueEditDlg::kIdMoveUp);  // nothing selected: nothing happens
  EXPECT_EQ(Lines(dialog), (Names{"A", "B", "C", "D", "E"}));

  Press(dialog, 2, CQueueEditDlg::kIdMoveUp);  // the selection follows the moved track
  EXPECT_EQ(Lines(dialog), (Names{"A", "*C", "B", "D", "E"}));
  Press(dialog, 3, CQueueEditDlg::kIdMoveDown);
  EXPECT_EQ(Lines(dialog), (Names{"A", "C", "B", "E", "*D"}));
  Press(dialog, 1, CQueueEditDlg::kIdRemove);
  EXPECT_EQ(Lines(dialog), (Names{"A", "B", "E", "D"}));
  EXPECT_EQ(QueuedArtists(), (Names{"A", "B", "C", "D", "E"}));  // only the copy changed

  m_radio.Play().OnPlayNextTrack();
  CQueueEditDlg playing(m_radio);
  Press(playing, 0, CQueueEditDlg::kIdRemove);
  Press(playing, 1, CQueueEditDlg::kIdMoveUp);
  EXPECT_EQ(Lines(playing), (Names{"A", "*B", "C", "D", "E"}));
}

TEST_F(QueueEditDlgTest, SaveWritesTheCopyBackAndQuitDoesNot) {
  QueueTracks({30000, 30000, 30000});
  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 2, CQueueEditDlg::kIdRemove);
    QTest::mouseClick(FindControl(&dialog, 2), Qt::LeftButton);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(QueuedArtists(), (Names{"A", "B", "C"}));

  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 0, CQueueEditDlg::kIdMoveDown);
    QTest::mouseClick(FindControl(&dialog, 1), Qt::LeftButton);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(QueuedArtists(), (Names{"B", "A", "C"}));
}

TEST_F(QueueEditDlgTest, ATrackStartingUnderTheEditorLeavesOnlyQuit) {
  QueueTracks({30000, 30000, 30000});
  WhenModal<CQueueEditDlg>([this](CQueueEditDlg& dialog) {
    Press(dialog, 2, CQueueEditDlg::kIdMoveUp);
    m_radio.Play().OnPlayNextTrack();  // as the timer would in auto play
    EXPECT_EQ(dialog.windowTitle(), "Playlist has changed, edit / save has been disabled");
    for (const int nId : {1, CQueueEditDlg::kIdList, CQueueEditDlg::kIdMoveUp,
                          CQueueEditDlg::kIdMoveDown, CQueueEditDlg::kIdRemove}) {
      EXPECT_FALSE(FindControl(&dialog, nId)->isEnabled()) << nId;
    }
    EXPECT_TRUE(FindControl(&dialog, 2)->isEnabled());
    QTest::mouseClick(FindControl(&dialog, 1), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  // The editor is gone: a later track start must not reach it.
  QueueTracks({30000});
  m_radio.BeginQueueEdit();
  m_radio.Play().OnPlayNextTrack();  // would crash on a handler of the destroyed dialog
  m_radio.EndQueueEdit(nullptr);
}

}  // namespace
}  // namespace velvane
