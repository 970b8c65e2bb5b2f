#include "gui/playback/QueueEditDlg.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "core/playback/RadioFixture.h"
#include "gui/ModalDriver.h"
#include "gui/common/DialogKit.h"

namespace velvane {
namespace {

using Names = std::vector<std::string>;

class QueueEditDlgTest : public RadioFixture {
 protected:
  // Queues one track per artist ("A" with title "TA"), all on CD 1.
  void QueueTracks(const Names& artists) {
    for (int i = 0; i < static_cast<int>(artists.size()); ++i) {
      AddTrack(1, i + 1, artists[i], "T" + artists[i], 30000);
      Queue(1, i + 1);
    }
  }
  Names QueuedArtists() const {
    Names artists;
    for (const std::string& strArtist : m_radio.m_queue.m_strQueueArtist) {
      if (!strArtist.empty()) {
        artists.push_back(strArtist);
      }
    }
    return artists;
  }

  static QTreeWidget* List(CQueueEditDlg& dialog) {
    return FindControlAs<QTreeWidget>(&dialog, CQueueEditDlg::kIdList);
  }
  static Names Lines(CQueueEditDlg& dialog) {
    Names lines;
    for (int i = 0; i < List(dialog)->topLevelItemCount(); ++i) {
      lines.push_back(List(dialog)->topLevelItem(i)->text(0).toStdString());
    }
    return lines;
  }
  static int Selected(CQueueEditDlg& dialog) {
    const QList<QTreeWidgetItem*> selected = List(dialog)->selectedItems();
    return selected.isEmpty() ? -1 : List(dialog)->indexOfTopLevelItem(selected.first());
  }
  // Selects a line and presses a button.
  static void Press(CQueueEditDlg& dialog, int nLine, int nId) {
    List(dialog)->setCurrentItem(List(dialog)->topLevelItem(nLine));
    QTest::mouseClick(FindControlAs<QPushButton>(&dialog, nId), Qt::LeftButton);
  }
};

TEST_F(QueueEditDlgTest, ButtonsMoveAndRemoveTheSelectedLine) {
  QueueTracks({"A", "B", "C", "D", "E"});
  CQueueEditDlg dialog(m_radio);
  EXPECT_EQ(List(dialog)->topLevelItem(1)->text(1), "TB");
  EXPECT_EQ(Selected(dialog), -1);
  Press(dialog, -1, CQueueEditDlg::kIdMoveUp);  // nothing selected: nothing happens
  EXPECT_EQ(Lines(dialog), (Names{"A", "B", "C", "D", "E"}));

  Press(dialog, 2, CQueueEditDlg::kIdMoveUp);
  EXPECT_EQ(Lines(dialog), (Names{"A", "C", "B", "D", "E"}));
  EXPECT_EQ(Selected(dialog), 1);  // the selection follows the moved track
  Press(dialog, 3, CQueueEditDlg::kIdMoveDown);
  EXPECT_EQ(Lines(dialog), (Names{"A", "C", "B", "E", "D"}));
  EXPECT_EQ(Selected(dialog), 4);
  Press(dialog, 1, CQueueEditDlg::kIdRemove);
  EXPECT_EQ(Lines(dialog), (Names{"A", "B", "E", "D"}));
  EXPECT_EQ(Selected(dialog), -1);

  EXPECT_EQ(QueuedArtists(), (Names{"A", "B", "C", "D", "E"}));  // only the copy changed
}

TEST_F(QueueEditDlgTest, ThePlayingTrackNeitherMovesNorGoes) {
  QueueTracks({"A", "B", "C"});
  m_radio.OnPlayNextTrack();
  ASSERT_NE(m_radio.m_nCurrentDeck, 0);
  CQueueEditDlg dialog(m_radio);
  Press(dialog, 0, CQueueEditDlg::kIdRemove);
  Press(dialog, 0, CQueueEditDlg::kIdMoveDown);
  Press(dialog, 1, CQueueEditDlg::kIdMoveUp);
  EXPECT_EQ(Lines(dialog), (Names{"A", "B", "C"}));
  Press(dialog, 1, CQueueEditDlg::kIdMoveDown);  // below it all is free
  EXPECT_EQ(Lines(dialog), (Names{"A", "C", "B"}));
}

TEST_F(QueueEditDlgTest, SaveWritesTheCopyBackWhileQuitAndTheCloseBoxDoNot) {
  QueueTracks({"A", "B", "C"});
  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 2, CQueueEditDlg::kIdRemove);
    QTest::mouseClick(FindControl(&dialog, 2), Qt::LeftButton);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 2, CQueueEditDlg::kIdRemove);
    dialog.close();
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(QueuedArtists(), (Names{"A", "B", "C"}));

  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 0, CQueueEditDlg::kIdMoveDown);
    QTest::mouseClick(FindControl(&dialog, 1), Qt::LeftButton);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(QueuedArtists(), (Names{"B", "A", "C"}));
  EXPECT_EQ(m_radio.m_queue.m_strNowArtist, "B");
  EXPECT_FALSE(m_radio.m_bQueueEditorOpen);
}

TEST_F(QueueEditDlgTest, ATrackStartingUnderTheEditorLeavesOnlyQuitAndRefusesTheSave) {
  QueueTracks({"A", "B", "C"});
  WhenModal<CQueueEditDlg>([this](CQueueEditDlg& dialog) {
    Press(dialog, 2, CQueueEditDlg::kIdMoveUp);
    m_radio.OnPlayNextTrack();  // as the timer would in auto play
    EXPECT_EQ(dialog.windowTitle(), "Playlist has changed, edit / save has been disabled");
    for (const int nId : {1, CQueueEditDlg::kIdList, CQueueEditDlg::kIdMoveUp,
                          CQueueEditDlg::kIdMoveDown, CQueueEditDlg::kIdRemove}) {
      EXPECT_FALSE(FindControl(&dialog, nId)->isEnabled()) << nId;
    }
    EXPECT_TRUE(FindControl(&dialog, 2)->isEnabled());
    QTest::mouseClick(FindControl(&dialog, 1), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    dialog.accept();  // a "Save" already under way when the track started
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText, "The Playlist has been changed, can't save");
  EXPECT_EQ(QueuedArtists(), (Names{"A", "B", "C"}));
  // The editor is gone: a later track start must not reach it.
  EXPECT_FALSE(m_radio.m_onQueueEditorLocked);
}

}  // namespace
}  // namespace velvane
