#include "PulseNullSink.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace velvane {

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

std::string PulseNullSink::MissingPrograms() {
  std::string missing;
  for (const std::string program : {"pulseaudio", "pactl", "parec"}) {
    if (std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) != 0) {
      missing += (missing.empty() ? "" : ", ") + program;
    }
  }
  return missing;
}

std::string PulseNullSink::Log() const {
  return ReadFile(m_folder / "pulseaudio.log");
}

#ifndef _WIN32

namespace {

using namespace std::chrono_literals;

// Starts args[0] (looked up on PATH) with standard output and error going to the named files;
// its process id, or -1.
int Spawn(const std::vector<std::string>& args, const std::string& strStdout,
          const std::string& strStderr) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, strStdout.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, strStderr.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                   0600);
  pid_t pid = -1;
  const int result = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? pid : -1;
}

// Waits at most `timeout` for the process to end, killing it after that. Its exit status, or
// -1 if it had to be killed or did not exit normally; `pid` is -1 afterwards.
int Wait(int& pid, std::chrono::milliseconds timeout) {
  if (pid <= 0) {
    return -1;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(pid, &status, WNOHANG)) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      done = -1;
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  pid = -1;
  return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Stop(int& pid) {
  if (pid > 0) {
    kill(pid, SIGTERM);
    Wait(pid, 3000ms);
  }
}

// A command run through env(1) with the variables that point a PulseAudio client at our
// server. HOME too, so nothing is written to the real home folder.
std::vector<std::string> Client(const std::filesystem::path& folder,
                                std::vector<std::string> args) {
  const std::filesystem::path runtime = folder / "run";
  args.insert(args.begin(), {"env", "PULSE_SERVER=unix:" + (runtime / "native").string(),
                             "HOME=" + runtime.string()});
  return args;
}

int RunClient(const std::filesystem::path& folder, std::vector<std::string> args) {
  int pid = Spawn(Client(folder, std::move(args)), "/dev/null", "/dev/null");
  return Wait(pid, 2000ms);
}

}  // namespace

PulseNullSink::~PulseNullSink() {
  Stop(m_nRecorder);
  Stop(m_nServer);
  if (m_bEnvSet && m_oldPulseServer) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): set before any sound thread starts
    setenv("PULSE_SERVER", m_oldPulseServer->c_str(), 1);
  } else if (m_bEnvSet) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): set before any sound thread starts
    unsetenv("PULSE_SERVER");
  }
}

bool PulseNullSink::Start(std::string& error) {
  const std::filesystem::path runtime = m_folder / "run";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  const std::string socket = (runtime / "native").string();
  // Anonymous access, so the clients need no cookie file.
  m_nServer = Spawn(
      {"env", "XDG_RUNTIME_DIR=" + runtime.string(), "HOME=" + runtime.string(), "pulseaudio", "-n",
       "--daemonize=no", "--exit-idle-time=-1", "--system=false", "--use-pid-file=no",
       "--log-target=stderr", "-L", "module-null-sink sink_name=nullsink rate=44100 channels=2",
       "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket},
      "/dev/null", (m_folder / "pulseaudio.log").string());
  if (m_nServer < 0) {
    error = "pulseaudio could not be started";
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (RunClient(m_folder, {"pactl", "info"}) != 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      error = "pulseaudio did not answer within 10 s";
      return false;
    }
    std::this_thread::sleep_for(100ms);
  }
  RunClient(m_folder, {"pactl", "set-default-sink", "nullsink"});
  if (const char* old = std::getenv("PULSE_SERVER")) {
    m_oldPulseServer = old;
  }
  // NOLINTNEXTLINE(concurrency-mt-unsafe): set before any sound thread starts
  setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
  m_bEnvSet = true;
  return true;
}

bool PulseNullSink::StartRecording(std::string& error) {
  m_nRecorder = Spawn(Client(m_folder, {"parec", "-d", "nullsink.monitor", "--format=s16ne",
                                        "--rate=44100", "--channels=2", "--latency-msec=10"}),
                      (m_folder / "monitor.raw").string(), (m_folder / "parec.log").string());
  if (m_nRecorder < 0) {
    error = "parec could not be started";
    return false;
  }
  std::this_thread::sleep_for(2000ms);
  return true;
}

std::vector<std::int16_t> PulseNullSink::StopRecording() {
  Stop(m_nRecorder);
  const std::string bytes = ReadFile(m_folder / "monitor.raw");
  std::vector<std::int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);  // native byte order
  return samples;
}

#else  // The real-sound tests need POSIX process control; elsewhere they are skipped.

PulseNullSink::~PulseNullSink() = default;
bool PulseNullSink::Start(std::string&) {
  return false;
}
bool PulseNullSink::StartRecording(std::string&) {
  return false;
}
std::vector<std::int16_t> PulseNullSink::StopRecording() {
  return {};
}

#endif

}  // namespace velvane
