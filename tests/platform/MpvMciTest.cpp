#include "platform/MpvMci.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/demo/WavWriter.h"
#include "core/main/RadioCore.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

// The first statement of a real-sound test: it skips where the programs are missing.
#define SKIP_WITHOUT_PULSEAUDIO()                                                              \
  if (const std::string missing = velvane::PulseNullSink::MissingPrograms(); !missing.empty()) \
  GTEST_SKIP() << "real-sound test skipped: not installed: " << missing                        \
               << " (Debian packages pulseaudio and pulseaudio-utils)"

namespace velvane {
namespace {

using namespace std::chrono_literals;

QString Text(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

// Starts `args[0]` (looked up on PATH) in the environment of our server: HOME and its runtime
// folder in our folder, so nothing is written to the real home folder, and PULSE_SERVER
// naming its socket. Its output is discarded. Null when it cannot be started.
std::unique_ptr<QProcess> Spawn(const std::filesystem::path& folder, const QStringList& args) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), Text(folder / "run"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), Text(folder / "run"));
  environment.insert(QStringLiteral("PULSE_SERVER"), "unix:" + Text(folder / "run" / "native"));
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(environment);
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  process->start(args.front(), args.mid(1));
  return process->waitForStarted(5000) ? std::move(process) : nullptr;
}

// Its exit status, or -1 if it did not exit normally within 2 s (it is killed then).
int RunClient(const std::filesystem::path& folder, const QStringList& args) {
  const std::unique_ptr<QProcess> process = Spawn(folder, args);
  return process && process->waitForFinished(2000) && process->exitStatus() == QProcess::NormalExit
             ? process->exitCode()
             : -1;
}

void Stop(std::unique_ptr<QProcess>& process) {
  if (process) {
    process->terminate();
    process->waitForFinished(3000);
    process.reset();  // kills it if it is still running
  }
}

// A private PulseAudio server with one null sink ("nullsink") whose monitor is recorded with
// parec: real sound without a sound card. The server runs in the foreground as our child with
// its own XDG_RUNTIME_DIR. Both children are stopped by their process ids (never by name) and
// every wait is bounded. While the server runs, PULSE_SERVER points this process (and so
// libmpv's pulse output) at it.
class PulseNullSink {
 public:
  static constexpr int kRate = 44100;

  // Empty when pulseaudio, pactl and parec are all installed, else the names missing.
  static std::string MissingPrograms() {
    std::string missing;
    for (const char* pszProgram : {"pulseaudio", "pactl", "parec"}) {
      if (QStandardPaths::findExecutable(QString::fromLatin1(pszProgram)).isEmpty()) {
        missing += (missing.empty() ? "" : ", ") + std::string(pszProgram);
      }
    }
    return missing;
  }
  // The RMS of each `block` of interleaved stereo samples, as a fraction of full scale.
  static std::vector<double> BlockLevels(const std::vector<std::int16_t>& samples,
                                         std::chrono::milliseconds block) {
    const auto nBlock = static_cast<std::size_t>(2L * kRate * block.count() / 1000);
    std::vector<double> levels;
    for (std::size_t start = 0; start + nBlock <= samples.size(); start += nBlock) {
      double dSum = 0;
      for (std::size_t i = start; i < start + nBlock; ++i) {
        dSum += (samples[i] / 32768.0) * (samples[i] / 32768.0);
      }
      levels.push_back(std::sqrt(dSum / static_cast<double>(nBlock)));
    }
    return levels;
  }

  explicit PulseNullSink(std::filesystem::path folder) : m_folder(std::move(folder)) {}
  ~PulseNullSink() {
    Stop(m_recorder);
    Stop(m_server);
    if (m_oldPulseServer && m_oldPulseServer->isEmpty()) {
      qunsetenv("PULSE_SERVER");
    } else if (m_oldPulseServer) {
      qputenv("PULSE_SERVER", *m_oldPulseServer);
    }
  }
  PulseNullSink(const PulseNullSink&) = delete;
  PulseNullSink& operator=(const PulseNullSink&) = delete;

  // Starts the server, waits (at most 10 s) until it answers, then starts parec on the sink's
  // monitor and lets it settle (without a low-latency reader the null sink lags for the first
  // seconds of a stream). A fatal test failure when it cannot.
  void Start() {
    const std::filesystem::path runtime = m_folder / "run";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const QString socket = Text(runtime / "native");
    // Anonymous access, so the clients need no cookie file.
    m_server = Spawn(m_folder,
                     {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
                      "--use-pid-file=no", "--log-target=file:" + Text(m_folder / "pulseaudio.log"),
                      "-L", "module-null-sink sink_name=nullsink rate=44100 channels=2", "-L",
                      "module-native-protocol-unix auth-anonymous=1 socket=" + socket});
    ASSERT_TRUE(m_server) << "pulseaudio could not be started";
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (RunClient(m_folder, {"pactl", "info"}) != 0) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline)
          << "pulseaudio did not answer within 10 s\n"
          << Log();
      std::this_thread::sleep_for(100ms);
    }
    RunClient(m_folder, {"pactl", "set-default-sink", "nullsink"});
    m_oldPulseServer = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    m_recorder =
        Spawn(m_folder, {"parec", "-d", "nullsink.monitor", "--format=s16ne", "--rate=44100",
                         "--channels=2", "--latency-msec=10", Text(m_folder / "monitor.raw")});
    ASSERT_TRUE(m_recorder) << "parec could not be started";
    std::this_thread::sleep_for(2000ms);
  }
  // Stops parec and returns what it recorded: interleaved stereo 16-bit samples.
  std::vector<std::int16_t> StopRecording() {
    Stop(m_recorder);
    const std::string bytes = ReadWholeFile(m_folder / "monitor.raw");
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);  // native byte order
    return samples;
  }
  // The server's log, for failure messages.
  std::string Log() const { return ReadWholeFile(m_folder / "pulseaudio.log"); }

 private:
  std::filesystem::path m_folder;
  std::unique_ptr<QProcess> m_server;  // null when not running
  std::unique_ptr<QProcess> m_recorder;
  std::optional<QByteArray> m_oldPulseServer;  // while ours is set; empty: none was
};
using SteadyClock = std::chrono::steady_clock;

// The open command exactly as the deck driver builds it (two blanks before "alias").
std::string OpenCommand(const std::string& path, const std::string& alias) {
  return "Open \"" + path + "\"  alias " + alias;
}

// Sends a status query and returns the reply as a number; fails the test on an error.
std::int64_t Status(Mci& mci, const std::string& alias, const std::string& item) {
  std::string reply = "junk";
  const int error = mci.SendString("status " + alias + " " + item, reply);
  EXPECT_EQ(error, 0) << "status " << alias << " " << item;
  EXPECT_FALSE(reply.empty());
  EXPECT_EQ(reply.find_first_not_of("0123456789"), std::string::npos) << reply;
  return std::atoll(reply.c_str());
}

int Send(Mci& mci, const std::string& command) {
  std::string reply;
  return mci.SendString(command, reply);
}

struct PlayResult {
  bool bReachedEnd = false;
  std::int64_t nLength = 0;
  std::int64_t nLastBefore = 0;  // the last position seen before the end
};

// Polls as the timer does (length, then position) until position equals length, checking on
// the way that position never goes back and stays below length; then checks that the end
// state holds. Gives up after `timeout`.
PlayResult PollToEnd(Mci& mci, const std::string& alias, std::chrono::milliseconds timeout,
                     std::chrono::milliseconds poll = 5ms) {
  PlayResult result;
  const auto start = SteadyClock::now();
  std::int64_t nLast = 0;
  while (SteadyClock::now() - start < timeout) {
    const std::int64_t nLength = Status(mci, alias, "length");
    const std::int64_t nPosition = Status(mci, alias, "position");
    EXPECT_GE(nPosition, nLast) << "position went backwards";
    EXPECT_LE(nPosition, nLength) << "position beyond length";
    nLast = nPosition;
    if (nPosition == nLength) {
      result.bReachedEnd = true;
      result.nLength = nLength;
      for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Status(mci, alias, "position"), nLength) << "the end state did not hold";
        EXPECT_EQ(Status(mci, alias, "length"), nLength) << "the end state did not hold";
      }
      return result;
    }
    result.nLastBefore = nPosition;
    std::this_thread::sleep_for(poll);
  }
  return result;
}

class MpvMciTest : public ::testing::Test {
 protected:
  // A 440 Hz sine at half scale.
  std::string Tone(const std::string& name, double dSeconds) {
    std::string path = (m_dir.Path() / name).string();
    EXPECT_TRUE(WriteSineWav(path, dSeconds, 440.0, 0.5));
    return path;
  }

  TempDir m_dir;
};

// An alias is taken from a successful open to its close: a missing or non-audio file leaves
// nothing open, opening it again fails and keeps the first file, commands on an alias not
// open fail with an empty reply, and once closed it is free.
TEST_F(MpvMciTest, AnAliasIsTakenFromItsOpenToItsCloseAndTakesCubicVolumes) {
  MpvMci mci({"null", true});
  m_dir.Write("text.mp3", "This is not music at all, just some words in a file.\n");
  m_dir.Write("empty.wav", "");
  ASSERT_TRUE(WriteSilenceWav((m_dir.Path() / "no-samples.wav").string(), 0.0));
  std::filesystem::create_directory(m_dir.Path() / "folder");  // mpv would play its contents
  const std::pair<const char*, int> cases[] = {{"missing.wav", kMciErrFileNotFound},
                                               {"folder", kMciErrFileNotFound},
                                               {"text.mp3", kMciErrInvalidFile},
                                               {"empty.wav", kMciErrInvalidFile},
                                               {"no-samples.wav", kMciErrInvalidFile}};
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(Send(mci, OpenCommand((m_dir.Path() / name).string(), "Track1")), expected) << name;
    EXPECT_EQ(Send(mci, "Play Track1"), kMciErrInvalidDeviceName) << name;
  }
  ASSERT_EQ(Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track1")), 0);
  const std::string strSecond = Tone("b.wav", 1.5);
  EXPECT_EQ(Send(mci, OpenCommand(strSecond, "Track1")), kMciErrDuplicateAlias);
  EXPECT_EQ(Status(mci, "Track1", "length"), 1000);
  for (const char* command :
       {"Play Track2", "stop Track2", "close Track2", "setaudio Track2 volume to 500",
        "status Track2 position", "status Track2 length", "status Track12 length"}) {
    std::string reply = "junk";
    EXPECT_EQ(mci.SendString(command, reply), kMciErrInvalidDeviceName) << command;
    EXPECT_EQ(reply, "") << command;
  }
  // The volume is sent cubic; the deck still plays to its end at volume 0.
  const std::pair<const char*, double> volumes[] = {
      {"1000", 100.0}, {"500", 79.370053}, {"125", 50.0}, {"0", 0.0}};
  for (const auto& [volume, expected] : volumes) {
    EXPECT_EQ(Send(mci, std::string("setaudio Track1 volume to ") + volume), 0) << volume;
    const std::optional<double> engine = mci.GetEngineVolume("Track1");
    ASSERT_TRUE(engine.has_value());
    EXPECT_NEAR(*engine, expected, 0.001) << volume;
  }
  ASSERT_EQ(Send(mci, "Play Track1"), 0);
  ASSERT_TRUE(PollToEnd(mci, "Track1", 5s).bReachedEnd);
  ASSERT_EQ(Send(mci, "stop Track1"), 0);
  ASSERT_EQ(Send(mci, "close Track1"), 0);
  EXPECT_EQ(Send(mci, "close Track1"), kMciErrInvalidDeviceName);

  ASSERT_EQ(Send(mci, OpenCommand(strSecond, "Track1")), 0);
  EXPECT_EQ(Status(mci, "Track1", "position"), 0);
  EXPECT_EQ(Status(mci, "Track1", "length"), 1500);
  ASSERT_EQ(Send(mci, "Play Track1"), 0);
  const PlayResult result = PollToEnd(mci, "Track1", 5s);
  ASSERT_TRUE(result.bReachedEnd);
  EXPECT_EQ(result.nLength, 1500);
}

// mpv creates a handle only under a "C" numeric category (0.35 also lets "C.UTF-8" through).
// The programs set it once in main(), because setlocale is not thread safe while analysis
// threads run; so the adapter must leave the process locale alone, and under a locale mpv
// refuses it must report the open as failed instead of using a null handle.
// NOLINTBEGIN(concurrency-mt-unsafe): the test changes the locale while no other thread runs
TEST_F(MpvMciTest, LeavesTheProcessLocaleAlone) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* candidate : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.utf8"}) {
    if (std::setlocale(LC_NUMERIC, candidate) == nullptr) {
      continue;
    }
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    MpvMci mci({"null", true});
    const int error = Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track1"));
    const std::string after = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(after, before);
    EXPECT_TRUE(error == 0 || error == kMciErrCannotLoadDriver)
        << "error " << error << " under LC_NUMERIC " << candidate;
    return;
  }
  GTEST_SKIP() << "no numeric locale other than C is installed";
}
// NOLINTEND(concurrency-mt-unsafe)

// Real sound: a private PulseAudio server with a null sink whose monitor parec records.
// Deck one plays a tone at volume 1000, and as soon as it reports its end deck two plays the
// tone 10 dB quieter in its file, given +10 dB of gain beneath volume 500. The recording shows
// the level follows the linear volume and the gain, that the first track sounded whole, and
// that its end was reported only after it had sounded (the two never overlap).
TEST_F(MpvMciTest, PulseNullSinkRecordsLevelsThatFollowTheLinearVolumeAndTheGain) {
  SKIP_WITHOUT_PULSEAUDIO();
  const std::string tone = Tone("tone.wav", 1.0);  // 440 Hz at half scale: RMS 0.3536
  const std::string quiet = (m_dir.Path() / "quiet.wav").string();
  ASSERT_TRUE(WriteSineWav(quiet, 1.0, 440.0, 0.5 / std::sqrt(10.0)));
  PulseNullSink sink(m_dir.Path());
  ASSERT_NO_FATAL_FAILURE(sink.Start());
  {
    MpvMci mci({"pulse"});
    mci.SetGain("Track2", 10.0);
    ASSERT_EQ(Send(mci, OpenCommand(tone, "Track1")), 0) << sink.Log();
    ASSERT_EQ(Send(mci, OpenCommand(quiet, "Track2")), 0);
    ASSERT_EQ(Send(mci, "setaudio Track1 volume to 1000"), 0);
    ASSERT_EQ(Send(mci, "setaudio Track2 volume to 500"), 0);
    EXPECT_NEAR(*mci.GetEngineVolume("Track2"), 79.370053, 0.001);  // the gain is not in it
    ASSERT_EQ(Send(mci, "Play Track1"), 0);
    const PlayResult first = PollToEnd(mci, "Track1", 5s, 2ms);
    ASSERT_TRUE(first.bReachedEnd);
    // The position went on while the output played out what mpv had already read.
    EXPECT_GE(first.nLastBefore, 900);
    // As the timer does on seeing the end: close the deck at once. Had the end been reported
    // before the sound was out, this would cut it short.
    ASSERT_EQ(Send(mci, "stop Track1"), 0);
    ASSERT_EQ(Send(mci, "close Track1"), 0);
    ASSERT_EQ(Send(mci, "Play Track2"), 0);
    ASSERT_TRUE(PollToEnd(mci, "Track2", 5s).bReachedEnd);
  }
  std::this_thread::sleep_for(300ms);  // the recording's tail
  const std::vector<std::int16_t> samples = sink.StopRecording();
  ASSERT_GT(samples.size(), 2u * PulseNullSink::kRate) << "less than a second recorded";

  // RMS of each 10 ms block (both channels), as a fraction of full scale. Loud blocks are deck
  // one's (0.354), quiet ones deck two's (0.177); blocks that straddle a start or an end fall
  // between and are left out of the averages.
  const std::vector<double> levels = PulseNullSink::BlockLevels(samples, 10ms);
  int nLoud = 0, nQuiet = 0, nFirstQuiet = -1, nLastLoud = -1;
  double dLoud = 0, dQuiet = 0;
  for (int nBlock = 0; nBlock < static_cast<int>(levels.size()); ++nBlock) {
    const double dRms = levels[static_cast<std::size_t>(nBlock)];
    if (dRms > 0.33) {
      ++nLoud;
      dLoud += dRms * dRms;
      nLastLoud = nBlock;
    } else if (dRms > 0.16 && dRms < 0.19) {
      ++nQuiet;
      dQuiet += dRms * dRms;
      nFirstQuiet = nFirstQuiet < 0 ? nBlock : nFirstQuiet;
    }
  }
  ASSERT_GT(nLoud, 0) << "deck one was not recorded";
  ASSERT_GT(nQuiet, 0) << "deck two was not recorded";
  const double dLoudRms = std::sqrt(dLoud / nLoud);
  const double dQuietRms = std::sqrt(dQuiet / nQuiet);
  EXPECT_NEAR(dLoudRms, 0.3536, 0.01);
  EXPECT_NEAR(dQuietRms, 0.1768, 0.01);
  EXPECT_NEAR(dQuietRms / dLoudRms, 0.5, 0.02);
  // Each second of tone sounded whole (100 blocks, less the ones straddling its edges).
  EXPECT_NEAR(nLoud, 99.5, 1.5);  // 98 to 101
  EXPECT_NEAR(nQuiet, 99.5, 1.5);
  // Deck two began after deck one had ended: no sample holds both (peak 0.5 + 0.25), and
  // the end was reported promptly (the gap is the start-up of deck two's stream).
  const auto [pLow, pHigh] = std::minmax_element(samples.begin(), samples.end());
  EXPECT_LT(std::max(-*pLow, +*pHigh) / 32768.0, 0.52);
  EXPECT_GT(nFirstQuiet, nLastLoud);
  EXPECT_LT(nFirstQuiet - nLastLoud, 25) << "gap of " << (nFirstQuiet - nLastLoud) * 10 << " ms";
}

// The playback core on real audio: two generated tunes in the music folder, Auto Play, and the
// sound recorded from a PulseAudio null sink.

// What was recorded between the first and the last block with sound.
struct Recording {
  std::size_t nBlocks = 0;  // of 100 ms
  int nGaps = 0;            // quiet blocks in between (the blocks at both ends do not count)
  int nBoth = 0;            // blocks where both tunes sound
};

Recording Measure(const std::vector<double>& levels) {
  std::size_t nFirst = 0;
  while (nFirst < levels.size() && levels[nFirst] < 0.1) {
    ++nFirst;
  }
  std::size_t nLast = levels.size();
  while (nLast > nFirst && levels[nLast - 1] < 0.1) {
    --nLast;
  }
  Recording recording;
  recording.nBlocks = nLast - nFirst;
  for (std::size_t i = nFirst; i < nLast; ++i) {
    const bool bEdge = i == nFirst || i + 1 == nLast;  // blocks straddling the start or end
    recording.nGaps += levels[i] < 0.15 && !bEdge ? 1 : 0;
    recording.nBoth += levels[i] > 0.27 ? 1 : 0;
  }
  std::cout << "recorded " << recording.nBlocks << " blocks of 100 ms, " << recording.nBoth
            << " with both tunes sounding, " << recording.nGaps << " quiet\n";
  return recording;
}

// Two tunes of the given lengths (440 Hz, then 660 Hz, at 0.3 of full scale: RMS 0.212 alone,
// 0.3 when both sound) queued in Auto Play and played in real time through a recorded null sink.
class AutoPlayRealAudio : public ::testing::Test {
 protected:
  void SetUp() override { SKIP_WITHOUT_PULSEAUDIO(); }

  // Plays both tunes to their end (what the core shows and does on the way is the core
  // tests' concern) and measures the sound.
  Recording PlayBoth(double dFirstSeconds, double dSecondSeconds) {
    const auto music = m_dir.Path() / "music" / "001";
    std::filesystem::create_directories(music);
    EXPECT_TRUE(WriteSineWav((music / "01 First.wav").string(), dFirstSeconds, 440.0, 0.3));
    EXPECT_TRUE(WriteSineWav((music / "02 Second.wav").string(), dSecondSeconds, 660.0, 0.3));

    PulseNullSink sink(m_dir.Path());
    sink.Start();
    if (HasFatalFailure()) {
      return {};
    }
    {
      MpvMci mci({"pulse"});
      FakeClock clock(2026, 12, 5, 20, 0);
      FakePrompter prompter;
      FakeProfileStore profile;
      Settings settings;
      settings.strMusicDir = (m_dir.Path() / "music" / "").string();
      settings.strFilesDir = m_dir.Folder();
      settings.nPlayMode = 1;  // Auto Play
      settings.nPlaySize = settings.nChartSize = 10;
      SaveSettings(profile, settings);
      RadioCore radio(mci, clock, prompter, profile);
      radio.OnInitDialog([] {});
      TrackStore& store = radio.Store();
      store.SetPlaylistEntry(0, "Artist", "First", "1", "1", -1);
      store.SetPlaylistEntry(1, "Artist", "Second", "1", "2", -1);
      store.SetPlaylistCount(2);
      radio.Queue().AddToQueue("1", "1", "", "", -1);
      radio.Queue().AddToQueue("1", "2", "", "", -1);

      radio.Play().OnPlayNextTrack();
      EXPECT_EQ(radio.Play().CurrentDeck(), 1);
      const auto deadline = std::chrono::steady_clock::now() + 25s;
      const auto busy = [&] {
        return radio.Play().DecksInUse() > 0 || !radio.Display().queueSlots[0].strCD.empty();
      };
      while (busy() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
        radio.OnTimer();
      }
      EXPECT_FALSE(busy()) << "the tunes did not finish in time";
    }
    std::this_thread::sleep_for(300ms);
    return Measure(PulseNullSink::BlockLevels(sink.StopRecording(), 100ms));
  }

  TempDir m_dir;
};

TEST_F(AutoPlayRealAudio, SecondTuneStartsOnDeckTwoWhileTheFirstPlaysOut) {
  // Sound without a gap from the first tune's start to the second's end, about 1.9 s of it
  // with both tunes at once, about 13 s in all.
  const Recording recording = PlayBoth(12.0, 3.0);
  ASSERT_GT(recording.nBlocks, 0u) << "nothing was recorded";
  EXPECT_EQ(recording.nGaps, 0) << "the sound stopped in between";
  EXPECT_GE(recording.nBoth, 15) << "the two tunes barely overlapped";
  EXPECT_LE(recording.nBoth, 22);
  EXPECT_NEAR(static_cast<double>(recording.nBlocks), 131.0, 4.0) << "recorded length in 100 ms";
}

}  // namespace
}  // namespace velvane
