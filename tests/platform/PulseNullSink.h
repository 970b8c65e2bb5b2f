#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velvane {

// A private PulseAudio server with one null sink ("nullsink") whose monitor is recorded with
// parec: real sound without a sound card. The server runs in the foreground as our child with
// its own XDG_RUNTIME_DIR. Both children are stopped by their process ids (never by name) and
// every wait is bounded. While the server runs, PULSE_SERVER points this process (and so
// libmpv's pulse output) at it.
class PulseNullSink {
 public:
  static constexpr int kRate = 44100;

  // Empty when pulseaudio, pactl and parec are all installed, else the names missing.
  static std::string MissingPrograms();

  explicit PulseNullSink(std::filesystem::path folder) : m_folder(std::move(folder)) {}
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
  int m_nServer = -1;  // process ids; -1 when not running
  int m_nRecorder = -1;
  bool m_bEnvSet = false;
  std::optional<std::string> m_oldPulseServer;
};

}  // namespace velvane
