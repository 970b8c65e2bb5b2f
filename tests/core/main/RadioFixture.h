#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/main/RadioCore.h"
#include "core/text/Text.h"
#include "support/Fakes.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace velvane {

// A main window core over a fake audio service, a fixed clock and a music folder of empty
// files whose lengths the fake knows.
class RadioFixture : public ::testing::Test {
 protected:
  RadioFixture() {
    std::filesystem::create_directories(m_dir.Path() / "music");
    std::filesystem::create_directories(m_dir.Path() / "db");
    Start();
  }

  // Starts the program on saved settings (folders in the temporary folder, room for 100
  // records), changed first by `configure`: an empty library, an empty queue, nothing playing.
  void Start(const std::function<void(Settings&)>& configure = {}) {
    Settings settings;
    settings.strMusicDir = (m_dir.Path() / "music" / "").string();
    settings.strFilesDir = (m_dir.Path() / "db" / "").string();
    settings.nPlaySize = settings.nChartSize = 100;
    if (configure) {
      configure(settings);
    }
    SaveSettings(m_profile, settings);
    m_radio.OnInitDialog([] {});
    m_profile.m_vecReads.clear();  // tests see only what the program does afterwards
    m_profile.m_vecWrites.clear();
  }

  PlayControl& Play() { return m_radio.Play(); }
  const MainDisplay& Display() { return m_radio.Display(); }
  // The decks in one text: "current 2, last 1, in use 12, open Track1 Track2".
  std::string DeckState() {
    std::string strDecks = "current " + std::to_string(Play().CurrentDeck()) + ", last " +
                           std::to_string(Play().LastDeck()) + ", in use ";
    for (int nDeck = 1; nDeck <= kDecks; ++nDeck) {
      strDecks += Play().DeckInUse(nDeck) ? std::to_string(nDeck) : "";
    }
    strDecks += ", open";
    for (const auto& [strAlias, deck] : m_mci.m_decks) {
      strDecks += " " + strAlias;
    }
    return strDecks;
  }

  // A library record and its music file ("<MusicDir>/012/07 <title>.mp3").
  std::string AddTrack(int nCD, int nTrack, const std::string& strArtist,
                       const std::string& strTitle, int nLengthMs) {
    AppendRecord(m_radio.Store(),
                 {strArtist, strTitle, std::to_string(nCD), std::to_string(nTrack)});
    return AddMusicFile(nCD, nTrack, strTitle, nLengthMs);
  }

  std::string AddMusicFile(int nCD, int nTrack, const std::string& strName, int nLengthMs) {
    const std::filesystem::path dir = m_dir.Path() / "music" / FormatInt(nCD, 3);
    std::filesystem::create_directories(dir);
    // Named as the program names it: a UTF-8 text, whatever the system's code page.
    std::string strPath =
        Utf8FromPath(dir) + kPathSeparator + FormatInt(nTrack, 2) + " " + strName + ".mp3";
    const UniqueFile file = OpenFile(strPath, "wb");
    EXPECT_NE(file, nullptr) << strPath;
    if (file != nullptr) {
      std::fputc('x', file.get());
    }
    m_mci.AddFile(strPath, nLengthMs);
    return strPath;
  }

  // Library tracks 1, 2, ... on CD 1 (artists "A", "B", ..., titles "TA", "TB", ...) with the
  // given lengths, all queued in order.
  void QueueTracks(const std::vector<int>& lengths) {
    for (std::size_t i = 0; i < lengths.size(); ++i) {
      const std::string strName(1, static_cast<char>('A' + i));
      AddTrack(1, static_cast<int>(i) + 1, strName, "T" + strName, lengths[i]);
      Queue(1, static_cast<int>(i) + 1);
    }
  }

  void Queue(int nCD, int nTrack) {
    m_radio.Queue().AddToQueue(std::to_string(nCD), std::to_string(nTrack), "", "", -1);
  }
  // One field of the queue slots where it is not empty, in slot order.
  std::vector<std::string> Queued(std::string QueueSlot::*pField) const {
    std::vector<std::string> texts;
    for (const QueueSlot& slot : m_radio.QueueSlotsNow()) {
      if (!(slot.*pField).empty()) {
        texts.push_back(slot.*pField);
      }
    }
    return texts;
  }

  // Moves time on by one timer period and runs the tick.
  void Tick(int nMilliseconds = 100) {
    m_mci.Advance(nMilliseconds);
    m_radio.OnTimer();
  }
  void Ticks(int nCount, int nMilliseconds = 100) {
    for (int i = 0; i < nCount; ++i) {
      Tick(nMilliseconds);
    }
  }
  // Ticks until `done` holds, at most nLimit times; returns whether it holds.
  bool TickUntil(const std::function<bool()>& done, int nLimit = 1000) {
    for (int i = 0; i < nLimit && !done(); ++i) {
      Tick();
    }
    return done();
  }

  TempDir m_dir;
  FakeMci m_mci;
  FakeClock m_clock{2026, 12, 4, 17, 59};
  FakePrompter m_prompter;
  FakeProfileStore m_profile;
  SharedFakeHttp m_http;  // the now-playing outputs' servers, unless a test makes real clients
  HttpClientMaker m_makeHttp = m_http.Maker();
  RadioCore m_radio{m_mci, m_clock, m_prompter, m_profile, &m_mci, [this](auto timeout) {
                      return m_makeHttp(timeout);  // as the test has it when an output starts
                    }};
};

}  // namespace velvane
