#include "PulseNullSink.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace velvane {

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

}  // namespace

#ifndef _WIN32

bool ChildProcess::Start(const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env,
                         const std::string& strStdout, const std::string& strStderr) {
  Stop();
  // The environment: ours, with the given variables replaced or added.
  std::vector<std::string> environment;
  for (char** p = environ; *p != nullptr; ++p) {
    const std::string entry = *p;
    bool bReplaced = false;
    for (const auto& [name, value] : env) {
      bReplaced = bReplaced || entry.rfind(name + "=", 0) == 0;
    }
    if (!bReplaced) {
      environment.push_back(entry);
    }
  }
  for (const auto& [name, value] : env) {
    environment.push_back(name + "=" + value);
  }
  std::vector<char*> argv;
  for (const std::string& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));
  }
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& entry : environment) {
    envp.push_back(entry.data());
  }
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, strStdout.empty() ? "/dev/null" : strStdout.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, strStderr.empty() ? "/dev/null" : strStderr.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0600);
  pid_t pid = -1;
  const int result = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) {
    return false;
  }
  m_nPid = pid;
  return true;
}

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (m_nPid <= 0) {
    return -1;
  }
  const auto deadline = SteadyClock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(m_nPid, &status, WNOHANG);
    if (done == m_nPid) {
      m_nPid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (done < 0) {
      m_nPid = -1;
      return -1;
    }
    if (SteadyClock::now() >= deadline) {
      kill(m_nPid, SIGKILL);
      waitpid(m_nPid, &status, 0);
      m_nPid = -1;
      return -1;
    }
    std::this_thread::sleep_for(10ms);
  }
}

void ChildProcess::Stop(std::chrono::milliseconds timeout) {
  if (m_nPid <= 0) {
    return;
  }
  kill(m_nPid, SIGTERM);
  Wait(timeout);
}

bool HaveProgram(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) {
      return true;
    }
  }
  return false;
}

#else  // The real-sound tests need POSIX process control; elsewhere they are skipped.

bool ChildProcess::Start(const std::vector<std::string>&,
                         const std::vector<std::pair<std::string, std::string>>&,
                         const std::string&, const std::string&) {
  return false;
}
int ChildProcess::Wait(std::chrono::milliseconds) {
  return -1;
}
void ChildProcess::Stop(std::chrono::milliseconds) {}
bool HaveProgram(const std::string&) {
  return false;
}

#endif

int RunProgram(const std::vector<std::string>& args,
               const std::vector<std::pair<std::string, std::string>>& env,
               std::chrono::milliseconds timeout) {
  ChildProcess child;
  if (!child.Start(args, env)) {
    return -1;
  }
  return child.Wait(timeout);
}

std::string PulseNullSink::MissingPrograms() {
  std::string missing;
  for (const char* program : {"pulseaudio", "pactl", "parec"}) {
    if (!HaveProgram(program)) {
      missing += missing.empty() ? program : std::string(", ") + program;
    }
  }
  return missing;
}

PulseNullSink::PulseNullSink(std::filesystem::path folder) : m_folder(std::move(folder)) {}

PulseNullSink::~PulseNullSink() {
  m_recorder.Stop();
  m_server.Stop();
  if (m_bEnvSet) {
#ifndef _WIN32
    if (m_bHadPulseServer) {
      setenv("PULSE_SERVER", m_strOldPulseServer.c_str(), 1);
    } else {
      unsetenv("PULSE_SERVER");
    }
#endif
  }
}

std::string PulseNullSink::Log() const {
  std::ifstream file(m_folder / "pulseaudio.log");
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool PulseNullSink::Start(std::string& error) {
#ifdef _WIN32
  error = "needs POSIX";
  return false;
#else
  const std::filesystem::path runtime = m_folder / "run";
  std::filesystem::create_directories(runtime);
  chmod(runtime.c_str(), 0700);
  const std::string socket = (runtime / "native").string();
  m_strServer = "unix:" + socket;
  // HOME too, so nothing is written to the real home folder. Anonymous access, so no cookie
  // file is needed by the clients.
  const std::vector<std::pair<std::string, std::string>> env = {
      {"XDG_RUNTIME_DIR", runtime.string()}, {"HOME", runtime.string()}};
  const std::vector<std::string> args = {
      "pulseaudio",
      "-n",
      "--daemonize=no",
      "--exit-idle-time=-1",
      "--system=false",
      "--use-pid-file=no",
      "--log-target=stderr",
      "-L",
      "module-null-sink sink_name=nullsink rate=44100 channels=2",
      "-L",
      "module-native-protocol-unix auth-anonymous=1 socket=" + socket};
  if (!m_server.Start(args, env, {}, (m_folder / "pulseaudio.log").string())) {
    error = "pulseaudio could not be started";
    return false;
  }
  const std::vector<std::pair<std::string, std::string>> client = {{"PULSE_SERVER", m_strServer},
                                                                   {"HOME", runtime.string()}};
  const auto deadline = SteadyClock::now() + 10s;
  while (RunProgram({"pactl", "info"}, client, 2000ms) != 0) {
    if (SteadyClock::now() >= deadline) {
      error = "pulseaudio did not answer within 10 s";
      return false;
    }
    std::this_thread::sleep_for(100ms);
  }
  RunProgram({"pactl", "set-default-sink", "nullsink"}, client, 2000ms);
  const char* old = std::getenv("PULSE_SERVER");
  m_bHadPulseServer = old != nullptr;
  m_strOldPulseServer = old != nullptr ? old : "";
  setenv("PULSE_SERVER", m_strServer.c_str(), 1);
  m_bEnvSet = true;
  return true;
#endif
}

bool PulseNullSink::StartRecording(std::string& error) {
  const std::vector<std::pair<std::string, std::string>> client = {
      {"PULSE_SERVER", m_strServer}, {"HOME", (m_folder / "run").string()}};
  const std::vector<std::string> args = {
      "parec",        "-d",           "nullsink.monitor", "--format=s16le",
      "--rate=44100", "--channels=2", "--latency-msec=10"};
  if (!m_recorder.Start(args, client, (m_folder / "monitor.raw").string(),
                        (m_folder / "parec.log").string())) {
    error = "parec could not be started";
    return false;
  }
  std::this_thread::sleep_for(2000ms);
  return true;
}

std::vector<std::int16_t> PulseNullSink::StopRecording() {
  m_recorder.Stop();
  std::ifstream file(m_folder / "monitor.raw", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<std::int16_t> samples(bytes.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const auto lo = static_cast<unsigned char>(bytes[2 * i]);
    const auto hi = static_cast<unsigned char>(bytes[2 * i + 1]);
    samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
  }
  return samples;
}

}  // namespace velvane
