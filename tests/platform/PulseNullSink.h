#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The first statement of a real-sound test: it skips where the programs are missing.
#define SKIP_WITHOUT_PULSEAUDIO()                                                              \
  if (const std::string missing = velvane::PulseNullSink::MissingPrograms(); !missing.empty()) \
  GTEST_SKIP() << "real-sound test skipped: not installed: " << missing                        \
               << " (Debian packages pulseaudio and pulseaudio-utils)"

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
  // The RMS of each `block` of interleaved stereo samples, as a fraction of full scale.
  static std::vector<double> BlockLevels(const std::vector<std::int16_t>& samples,
                                         std::chrono::milliseconds block);

  explicit PulseNullSink(std::filesystem::path folder) : m_folder(std::move(folder)) {}
  ~PulseNullSink();
  PulseNullSink(const PulseNullSink&) = delete;
  PulseNullSink& operator=(const PulseNullSink&) = delete;

  // Starts the server, waits (at most 10 s) until it answers, then starts parec on the sink's
  // monitor and lets it settle (without a low-latency reader the null sink lags for the first
  // seconds of a stream). A fatal test failure when it cannot.
  void Start();
  // Stops parec and returns what it recorded: interleaved stereo 16-bit samples.
  std::vector<std::int16_t> StopRecording();
  // The server's log, for failure messages.
  std::string Log() const;

 private:
  std::filesystem::path m_folder;
  std::unique_ptr<QProcess> m_server;  // null when not running
  std::unique_ptr<QProcess> m_recorder;
  std::optional<QByteArray> m_oldPulseServer;  // while ours is set; empty: none was
};

}  // namespace velvane
