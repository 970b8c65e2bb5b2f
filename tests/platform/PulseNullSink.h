#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velvane {

// A program started by a test and stopped by its process id (never by name). Stop and Wait
// are bounded: a child that does not end on SIGTERM in time gets SIGKILL.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts args[0] (looked up on PATH) with extra environment variables; standard output and
  // error go to the named files (empty: /dev/null). False when it cannot be started.
  bool Start(const std::vector<std::string>& args,
             const std::vector<std::pair<std::string, std::string>>& env,
             const std::string& strStdout = {}, const std::string& strStderr = {});
  // Waits until the program ends, at most `timeout`; its exit status, or -1 if it had to be
  // killed or did not exit normally.
  int Wait(std::chrono::milliseconds timeout);
  void Stop(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));
  bool IsRunning() const { return m_nPid > 0; }

 private:
  int m_nPid = -1;
};

// Runs a program to its end (bounded) and returns its exit status (-1: failed or timed out).
int RunProgram(const std::vector<std::string>& args,
               const std::vector<std::pair<std::string, std::string>>& env,
               std::chrono::milliseconds timeout);

// True when `program` is found on PATH.
bool HaveProgram(const std::string& program);

// A private PulseAudio server with one null sink ("nullsink") whose monitor is recorded with
// parec: real sound without a sound card (see notes/pulseaudio-null-sink.md). The server runs
// in the foreground as our child with its own XDG_RUNTIME_DIR and is stopped by its PID.
// While it runs, PULSE_SERVER points this process (and so libmpv's pulse output) at it.
class PulseNullSink {
 public:
  static constexpr int kRate = 44100;

  // Empty when pulseaudio, pactl and parec are all installed, else the names missing.
  static std::string MissingPrograms();

  explicit PulseNullSink(std::filesystem::path folder);
  ~PulseNullSink();
  PulseNullSink(const PulseNullSink&) = delete;
  PulseNullSink& operator=(const PulseNullSink&) = delete;

  // Starts the server and waits (at most 10 s) until it answers. On failure `error` says why.
  bool Start(std::string& error);
  // Starts parec on the sink's monitor, then lets it settle (without a low-latency reader the
  // null sink lags for the first seconds of a stream).
  bool StartRecording(std::string& error);
  // Stops parec and returns what it recorded: interleaved stereo 16-bit samples.
  std::vector<std::int16_t> StopRecording();
  // The server's log, for failure messages.
  std::string Log() const;

 private:
  std::filesystem::path m_folder;
  std::string m_strServer;
  std::string m_strOldPulseServer;
  bool m_bHadPulseServer = false;
  bool m_bEnvSet = false;
  ChildProcess m_server;
  ChildProcess m_recorder;
};

}  // namespace velvane
