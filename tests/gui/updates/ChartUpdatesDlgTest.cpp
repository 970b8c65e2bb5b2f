#include "gui/updates/ChartUpdatesDlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/main/RadioFixture.h"
#include "gui/ModalDriver.h"
#include "platform/LocalHttpServer.h"
#include "platform/QtHttpClient.h"

namespace velvane {
namespace {

using namespace std::chrono_literals;

class ChartUpdatesDlgTest : public RadioFixture {
 protected:
  ChartUpdatesDlgTest() {
    Start([this](Settings& settings) {
      settings.nChartSize = 2;
      settings.strUpdateServer = m_server.Address();
    });
    m_server.Serve("/avail.cht",
                   "US   HITus_010190.hit000002\r\n"
                   "UK   CHTuk_020200.cht000002\r\n");
  }

  // Opens the dialog and waits until the catalogue is in its list.
  void Open(int nLines) {
    m_pDialog = std::make_unique<CChartUpdatesDlg>(m_radio, m_http, m_server.Address());
    m_pDialog->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->count() == nLines; }));
  }
  QListWidget* List() { return FindControlAs<QListWidget>(m_pDialog.get(), 1130); }
  void Apply(int nRow) {
    List()->setCurrentRow(nRow);
    Click(*m_pDialog, 1124);
  }
  std::string LastMessage() const {
    return m_prompter.m_shown.empty() ? std::string() : m_prompter.m_shown.back().strText;
  }

  LocalHttpServer m_server;
  QtHttpClient m_http{1000ms};
  std::unique_ptr<CChartUpdatesDlg> m_pDialog;
};

TEST_F(ChartUpdatesDlgTest, TheSortedListAppliesTheUpdateItShowsAndTellsTheOutcome) {
  m_server.Serve("/uk_020200.cht",
                 "02/02/2000\\New\\Entry\\1\\-1\\\r\n02/02/2000\\B\\C\\2\\-1\\\r\n");
  Open(2);
  EXPECT_EQ(List()->item(0)->text(),
            QStringLiteral("  UK   \tChart Database\t02/02/00\tuk_020200.cht"));
  Apply(0);
  EXPECT_EQ(LastMessage(),
            "The chart database has been updated.\nIf it has previously been modified manually "
            "you should rebuild the relationships");
  EXPECT_EQ(m_radio.Store().ChartCount(), 2);
  EXPECT_EQ(m_dir.Read("db/charts.dat"),
            "02/02/2000\\New\\Entry\\1\\-1\\\r\n02/02/2000\\B\\C\\2\\-1\\\r\n");
  EXPECT_EQ(m_pDialog->windowTitle(), QStringLiteral("Chart Updates"));
}

TEST_F(ChartUpdatesDlgTest, EscapeOrExitEndsADownloadAndAMissingCatalogueIsTold) {
  Open(2);
  m_server.SetMode(LocalHttpServer::Mode::kStall);
  QtHttpClient patient;  // would wait the full timeout unless cancelled
  m_pDialog = std::make_unique<CChartUpdatesDlg>(m_radio, patient, m_server.Address());
  m_pDialog->show();
  QTimer::singleShot(100, [&] { QTest::keyClick(m_pDialog.get(), Qt::Key_Escape); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !m_pDialog->isVisible(); }, 5000));

  m_server.SetMode(LocalHttpServer::Mode::kAnswer);
  Open(2);
  m_server.SetMode(LocalHttpServer::Mode::kStall);
  QTimer::singleShot(100, [&] {
    EXPECT_EQ(m_pDialog->windowTitle(), QStringLiteral("Chart Updates - Updating"));
    QTest::keyClick(m_pDialog.get(), Qt::Key_Escape);
  });
  Apply(0);
  EXPECT_NE(LastMessage().find("(cancelled)"), std::string::npos) << LastMessage();
  EXPECT_TRUE(m_pDialog->isVisible());  // only the download ended
  EXPECT_EQ(m_radio.Store().ChartCount(), 0);

  // "Exit" during a download closes the dialog once it has stopped: one press, no message.
  const std::size_t nShown = m_prompter.m_shown.size();
  QTimer::singleShot(100, [&] { Click(*m_pDialog, 1); });
  Apply(0);
  EXPECT_FALSE(m_pDialog->isVisible());
  EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
  EXPECT_EQ(m_prompter.m_shown.size(), nShown);
  EXPECT_EQ(m_radio.Store().ChartCount(), 0);

  // A catalogue that is not there says so above the empty list.
  m_server.SetMode(LocalHttpServer::Mode::kAnswer);
  m_server.Serve("/avail.cht", "", 404);
  Open(0);
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return m_pDialog->findChild<QLabel*>()->text().startsWith("The update server answered 404");
  }));
}

}  // namespace
}  // namespace velvane
