#include "PulseNullSink.h"

#include <QStandardPaths>
#include <cmath>
#include <cstring>
#include <thread>

#include "support/TempDir.h"

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

}  // namespace

std::string PulseNullSink::MissingPrograms() {
  std::string missing;
  for (const char* pszProgram : {"pulseaudio", "pactl", "parec"}) {
    if (QStandardPaths::findExecutable(QString::fromLatin1(pszProgram)).isEmpty()) {
      missing += (missing.empty() ? "" : ", ") + std::string(pszProgram);
    }
  }
  return missing;
}

std::vector<double> PulseNullSink::BlockLevels(const std::vector<std::int16_t>& samples,
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

std::string PulseNullSink::Log() const {
  return ReadWholeFile(m_folder / "pulseaudio.log");
}

PulseNullSink::~PulseNullSink() {
  Stop(m_recorder);
  Stop(m_server);
  if (m_oldPulseServer && m_oldPulseServer->isEmpty()) {
    qunsetenv("PULSE_SERVER");
  } else if (m_oldPulseServer) {
    qputenv("PULSE_SERVER", *m_oldPulseServer);
  }
}

void PulseNullSink::Start() {
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

std::vector<std::int16_t> PulseNullSink::StopRecording() {
  Stop(m_recorder);
  const std::string bytes = ReadWholeFile(m_folder / "monitor.raw");
  std::vector<std::int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);  // native byte order
  return samples;
}

}  // namespace velvane
