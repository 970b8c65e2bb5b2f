#include "gui/playback/QueueEditDlg.h"

#include <gtest/gtest.h>

#include <QTreeWidget>

#include "core/main/RadioFixture.h"
#include "gui/ModalDriver.h"

namespace velvane {
namespace {

using Q = CQueueEditDlg;

// Tracks come from RadioFixture::QueueTracks: artists "A", "B", ... with titles "TA", "TB", ...
class QueueEditDlgTest : public RadioFixture {
 protected:
  Texts QueuedArtists() const {
    Texts artists;
    for (const QueueSlot& slot : m_radio.QueueSlotsNow()) {
      if (!slot.strArtist.empty()) {
        artists.push_back(slot.strArtist);
      }
    }
    return artists;
  }

  static QTreeWidget* List(CQueueEditDlg& dialog) {
    return FindControlAs<QTreeWidget>(&dialog, Q::kIdList);
  }
  // The artist column of every line, the selected line marked with '*'.
  static Texts Lines(CQueueEditDlg& dialog) {
    Texts lines;
    for (int i = 0; i < List(dialog)->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* pItem = List(dialog)->topLevelItem(i);
      lines.push_back(((pItem->isSelected() ? "*" : "") + pItem->text(0)).toStdString());
    }
    return lines;
  }
  // Selects a line and presses a button.
  static void Press(CQueueEditDlg& dialog, int nLine, int nId) {
    List(dialog)->setCurrentItem(List(dialog)->topLevelItem(nLine));
    Click(dialog, nId);
  }
};

TEST_F(QueueEditDlgTest, ButtonsMoveAndRemoveTheSelectedLineOfTheCopyButNeverThePlayingTrack) {
  QueueTracks({30000, 30000, 30000, 30000, 30000});
  CQueueEditDlg dialog(m_radio);
  EXPECT_EQ(List(dialog)->topLevelItem(1)->text(1), "TB");
  Press(dialog, -1, Q::kIdMoveUp);  // nothing selected: nothing happens
  EXPECT_EQ(Lines(dialog), (Texts{"A", "B", "C", "D", "E"}));

  Press(dialog, 2, Q::kIdMoveUp);  // the selection follows the moved track
  EXPECT_EQ(Lines(dialog), (Texts{"A", "*C", "B", "D", "E"}));
  Press(dialog, 3, Q::kIdMoveDown);
  EXPECT_EQ(Lines(dialog), (Texts{"A", "C", "B", "E", "*D"}));
  Press(dialog, 1, Q::kIdRemove);
  EXPECT_EQ(Lines(dialog), (Texts{"A", "B", "E", "D"}));
  EXPECT_EQ(QueuedArtists(), (Texts{"A", "B", "C", "D", "E"}));  // only the copy changed

  m_radio.Play().OnPlayNextTrack();
  CQueueEditDlg playing(m_radio);
  Press(playing, 0, Q::kIdRemove);
  Press(playing, 1, Q::kIdMoveUp);
  EXPECT_EQ(Lines(playing), (Texts{"A", "*B", "C", "D", "E"}));
}

TEST_F(QueueEditDlgTest, SaveWritesTheCopyBackQuitDoesNotAndATrackStartLeavesOnlyQuit) {
  QueueTracks({30000, 30000, 30000});
  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 2, Q::kIdRemove);
    Click(dialog, 2);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(QueuedArtists(), (Texts{"A", "B", "C"}));

  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 0, Q::kIdMoveDown);
    Click(dialog, 1);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(QueuedArtists(), (Texts{"B", "A", "C"}));

  // A track starting under the editor leaves only "Quit".
  WhenModal<CQueueEditDlg>([this](CQueueEditDlg& dialog) {
    Press(dialog, 2, Q::kIdMoveUp);
    m_radio.Play().OnPlayNextTrack();  // as the timer would in auto play
    EXPECT_EQ(dialog.windowTitle(), "Playlist has changed, edit / save has been disabled");
    for (const int nId : {1, Q::kIdList, Q::kIdMoveUp, Q::kIdMoveDown, Q::kIdRemove}) {
      EXPECT_FALSE(FindControl(&dialog, nId)->isEnabled()) << nId;
    }
    EXPECT_TRUE(FindControl(&dialog, 2)->isEnabled());
    Click(dialog, 1);
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
