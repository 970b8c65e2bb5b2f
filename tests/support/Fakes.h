#pragma once

// A fake for every port of the core, for the tests.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ports/AudioAnalyser.h"
#include "core/ports/Clock.h"
#include "core/ports/DeckGain.h"
#include "core/ports/FileChooser.h"
#include "core/ports/HttpClient.h"
#include "core/ports/Mci.h"
#include "core/ports/ProfileStore.h"
#include "core/ports/Prompter.h"
#include "core/ports/TagReader.h"
#include "support/TempDir.h"

namespace velvane {

// A clock that stands still at whatever time the test sets.
class FakeClock : public Clock {
 public:
  FakeClock() = default;
  FakeClock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    Set(year, month, day, hour, minute, second);
  }

  SystemTime NowUtc() override { return m_time; }
  std::int64_t SecondsSinceEpoch() override { return m_nEpochSeconds; }

  // Sets a UTC time; the day of the week and the epoch seconds follow from the date.
  void Set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    namespace chr = std::chrono;
    const chr::sys_days date{chr::year{year} / chr::month{static_cast<unsigned>(month)} /
                             chr::day{static_cast<unsigned>(day)}};
    const int nDayOfWeek = static_cast<int>(chr::weekday{date}.c_encoding());
    m_time = {year, month, day, nDayOfWeek, hour, minute, second, 0};
    m_nEpochSeconds = (date.time_since_epoch().count() * std::int64_t{24} + hour) * 3600 +
                      std::int64_t{minute} * 60 + second;
  }

  SystemTime m_time;
  std::int64_t m_nEpochSeconds = 0;
};

// Records every message shown and answers from a script (OK / Yes when the script is empty).
class FakePrompter : public Prompter {
 public:
  struct Shown {
    std::string strText;
    std::string strCaption;
    PromptIcon icon;
    PromptButtons buttons;
  };

  PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                    PromptButtons buttons) override {
    m_shown.push_back({text, caption, icon, buttons});
    if (m_answers.empty()) {
      const bool bOk = buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel;
      return bOk ? PromptAnswer::Ok : PromptAnswer::Yes;
    }
    const PromptAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }
  // The texts shown, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    texts.reserve(m_shown.size());
    for (const Shown& shown : m_shown) {
      texts.push_back(shown.strText);
    }
    return texts;
  }

  std::deque<PromptAnswer> m_answers;
  std::vector<Shown> m_shown;
};

// An in-memory profile store that remembers how each value was stored, so tests can tell a
// value written as text from one written as an integer, and the order of reads and writes.
// Like the registry, a value is typed: reading an integer from a text value (or the other
// way round) yields the default, so reading a value with the wrong kind shows up in tests.
class FakeProfileStore : public ProfileStore {
 public:
  enum class Kind { kInt, kString };

  struct Value {
    Kind kind = Kind::kInt;
    int nValue = 0;
    std::string strValue;
  };

  struct Access {
    std::string strSection;
    std::string strEntry;
    Kind kind = Kind::kInt;
  };

  int GetProfileInt(const std::string& section, const std::string& entry,
                    int defaultValue) override {
    const std::optional<Value> value = Read(section, entry, Kind::kInt);
    return value ? value->nValue : defaultValue;
  }
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) override {
    const std::optional<Value> value = Read(section, entry, Kind::kString);
    return value ? value->strValue : defaultValue;
  }
  bool WriteProfileInt(const std::string& section, const std::string& entry, int value) override {
    m_vecWrites.push_back({section, entry, Kind::kInt});
    PutInt(section, entry, value);
    return true;
  }
  bool WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value) override {
    m_vecWrites.push_back({section, entry, Kind::kString});
    PutString(section, entry, value);
    return true;
  }

  // Seed values without recording a write.
  void PutInt(const std::string& section, const std::string& entry, int value) {
    m_mapValues[{section, entry}] = {Kind::kInt, value, {}};
  }
  void PutString(const std::string& section, const std::string& entry, const std::string& value) {
    m_mapValues[{section, entry}] = {Kind::kString, 0, value};
  }

  std::optional<Value> Find(const std::string& section, const std::string& entry) const {
    const auto it = m_mapValues.find({section, entry});
    return it == m_mapValues.end() ? std::nullopt : std::optional<Value>(it->second);
  }
  // Entry names of the recorded reads, in order, for one section.
  std::vector<std::string> ReadEntries(const std::string& section) const {
    std::vector<std::string> entries;
    for (const Access& read : m_vecReads) {
      if (read.strSection == section) {
        entries.push_back(read.strEntry);
      }
    }
    return entries;
  }

  std::map<std::pair<std::string, std::string>, Value> m_mapValues;
  std::vector<Access> m_vecReads;
  std::vector<Access> m_vecWrites;

 private:
  std::optional<Value> Read(const std::string& section, const std::string& entry, Kind kind) {
    m_vecReads.push_back({section, entry, kind});
    std::optional<Value> value = Find(section, entry);
    return value && value->kind == kind ? value : std::nullopt;
  }
};

// An audio service on a virtual clock: files are known by path with a length, decks play only
// while the test moves time forward, and every command is recorded. Failed commands answer 1.
// Gains are kept per alias, apart from the commands.
class FakeMci : public Mci, public DeckGain {
 public:
  struct Deck {
    std::string strPath;
    int nLength = 0;
    int nPosition = 0;
    bool bPlaying = false;
    int nVolume = 1000;
  };

  void AddFile(const std::string& strPath, int nLengthMs) { m_files[strPath] = nLengthMs; }
  // Moves time on; playing decks advance and stop at their end.
  void Advance(int nMilliseconds) {
    for (auto& [alias, deck] : m_decks) {
      deck.nPosition =
          deck.bPlaying ? std::min(deck.nPosition + nMilliseconds, deck.nLength) : deck.nPosition;
    }
  }
  int SendString(const std::string& command, std::string& reply) override;
  void SetGain(const std::string& strAlias, double dGainDb) override {
    m_gains[strAlias] = dGainDb;
  }

  bool IsOpen(const std::string& strAlias) const { return m_decks.count(strAlias) != 0; }
  const Deck& DeckOf(const std::string& strAlias) const { return m_decks.at(strAlias); }
  // The commands sent since the last call, and forgets them.
  std::vector<std::string> TakeCommands() { return std::exchange(m_commands, {}); }

  std::map<std::string, int> m_files;
  std::map<std::string, Deck> m_decks;
  std::vector<std::string> m_commands;
  std::map<std::string, double> m_gains;
};

// Tags by file name (the last part of the path); files not named have no tags.
class FakeTagReader : public TagReader {
 public:
  bool ReadTags(const std::string& strPath, FileTags& tags) override;

  std::map<std::string, FileTags> m_tags;
  int m_nReads = 0;
};

// Measures a file by its content, so tests can tell results apart without audio: a file
// starting "bad" cannot be decoded; any other gets its size in bytes, negated, as loudness.
// Counts its calls; safe to call from several threads at once.
class FakeAudioAnalyser : public AudioAnalyser {
 public:
  bool Analyse(const std::string& strPath, TrackMeasures& measures,
               std::string& strError) override {
    ++m_nCalls;
    const std::string strContent = ReadWholeFile(strPath);
    if (strContent.rfind("bad", 0) == 0) {
      strError = "damaged";
      return false;
    }
    measures = {-static_cast<double>(strContent.size()), -3.0, 100, 1000};
    return true;
  }

  std::atomic<int> m_nCalls{0};
};

// Answers every file and folder dialog from a script and records what was asked. An answer
// of std::nullopt is a cancel; an empty script cancels too.
class FakeFileChooser : public FileChooser {
 public:
  enum class Kind { kOpenFile, kSaveFile, kFolder };

  struct Call {
    Kind kind = Kind::kFolder;
    std::string strTitle;
    FileDialogOptions options;  // the file dialogs only
  };

  bool ChooseOpenFile(const FileDialogOptions& options, std::string& path) override {
    return Answer({Kind::kOpenFile, options.strTitle, options}, path);
  }
  bool ChooseSaveFile(const FileDialogOptions& options, std::string& path) override {
    return Answer({Kind::kSaveFile, options.strTitle, options}, path);
  }
  bool ChooseFolder(const std::string& title, std::string& path) override {
    return Answer({Kind::kFolder, title, {}}, path);
  }

  std::deque<std::optional<std::string>> m_answers;
  std::vector<Call> m_calls;

 private:
  bool Answer(Call call, std::string& path) {
    m_calls.push_back(std::move(call));
    std::optional<std::string> answer;
    if (!m_answers.empty()) {
      answer = m_answers.front();
      m_answers.pop_front();
    }
    path = answer.value_or(path);
    return answer.has_value();
  }
};

// Answers from a table of addresses; an address not in it is a failed connection. A body
// longer than the request's cap is refused as the real client refuses it.
class FakeHttpClient : public HttpClient {
 public:
  HttpResponse Get(const HttpRequest& request) override {
    m_requests.push_back(request);
    const auto found = m_answers.find(request.strUrl);
    if (found == m_answers.end()) {
      return {false, 0, {}, "Connection refused"};
    }
    if (found->second.strBody.size() > request.nMaxBytes) {
      return {false, 0, {}, "the answer is larger than allowed"};
    }
    return found->second;
  }
  // Answered from the same table; kept apart from the GETs.
  HttpResponse Post(const HttpRequest& request, const std::string& /*strBody*/,
                    const std::string& /*strContentType*/) override {
    const auto found = m_answers.find(request.strUrl);
    return found == m_answers.end() ? HttpResponse{false, 0, {}, "Connection refused"}
                                    : found->second;
  }
  void Cancel() override {}
  void SetProgressHandler(HttpProgressHandler /*onProgress*/) override {}

  std::map<std::string, HttpResponse> m_answers;
  std::vector<HttpRequest> m_requests;
};

// The server of every client its maker makes, each client used on a thread of its own: it
// records the requests ("GET url", "POST url body") and gives them `answer` (a 200 unless set),
// or none while held, like a dead server.
class SharedFakeHttp {
 public:
  HttpClientMaker Maker() {
    return [this](std::chrono::milliseconds) { return std::make_unique<Client>(*this); };
  }
  void Set(bool bHold, HttpResponse answer = {true, 200, "", {}}) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_bHold = bHold;
    m_answer = std::move(answer);
    m_changed.notify_all();
  }
  // Whether `nRequests` came to wait at once within 30 s.
  bool WaitUntilHeld(int nRequests) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(30), [&] { return m_nHeld >= nRequests; });
  }
  std::vector<std::string> Requests() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
  }

 private:
  struct Client : HttpClient {
    explicit Client(SharedFakeHttp& server) : m_server(server) {}
    HttpResponse Get(const HttpRequest& request) override {
      return m_server.Serve("GET " + request.strUrl);
    }
    HttpResponse Post(const HttpRequest& request, const std::string& strBody,
                      const std::string& /*strContentType*/) override {
      return m_server.Serve("POST " + request.strUrl + " " + strBody);
    }
    void Cancel() override {}
    void SetProgressHandler(HttpProgressHandler /*onProgress*/) override {}
    SharedFakeHttp& m_server;
  };

  HttpResponse Serve(std::string strRequest) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_requests.push_back(std::move(strRequest));
    ++m_nHeld;
    m_changed.notify_all();
    // A safety limit, not a measure: a caller that waits for this answer ends its wait here.
    m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return !m_bHold; });
    --m_nHeld;
    return m_answer;
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  HttpResponse m_answer{true, 200, "", {}};
  std::vector<std::string> m_requests;
  bool m_bHold = false;
  int m_nHeld = 0;  // requests being answered
};

}  // namespace velvane
