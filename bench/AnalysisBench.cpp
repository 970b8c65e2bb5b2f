// Track analysis: how many seconds of audio are measured per second of wall time, for WAV and
// mp3 with one and two files at once, and the load of a 50,000-line analysis.dat.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "BenchPorts.h"
#include "core/analysis/AnalysisFile.h"
#include "core/analysis/LibraryAnalysis.h"
#include "core/demo/WavWriter.h"
#include "platform/FfmpegAnalyser.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

constexpr double kTrackSeconds = 180.0;
constexpr int kFilesPerRun = 4;  // enough for two jobs to share

const fs::path& BenchFolder() {
  static const fs::path path = [] {
    const fs::path folder = fs::temp_directory_path() / "velvane-bench-analysis";
    fs::create_directories(folder);
    return folder;
  }();
  return path;
}

// A 3-minute stereo 44.1 kHz tune, as WAV, and as a 192 kbit/s mp3 made from it by sox.
std::string TuneFile(const std::string& strExtension) {
  const fs::path wav = BenchFolder() / "tune.wav";
  if (!fs::exists(wav)) {
    std::vector<MelodyNote> notes;
    const double kScale[] = {262, 294, 330, 349, 392, 440, 494, 523};
    for (int n = 0; n < static_cast<int>(kTrackSeconds / 0.25); ++n) {
      notes.push_back({kScale[(n * 5) % 8], 0.25});
    }
    WriteMelodyWav(wav.string(), notes, 0.5);
  }
  const fs::path file = BenchFolder() / ("tune." + strExtension);
  if (!fs::exists(file)) {
    const std::string strCommand =
        "sox '" + wav.string() + "' -C 192 '" + file.string() + "' 2>/dev/null";
    if (std::system(strCommand.c_str()) != 0) {
      return "";
    }
  }
  return file.string();
}

void BM_Analyse(benchmark::State& state, const std::string& strExtension) {
  const std::string strFile = TuneFile(strExtension);
  if (strFile.empty()) {
    state.SkipWithError("sox could not make the mp3 (packages sox, libsox-fmt-mp3)");
    return;
  }
  const std::vector<AnalysisJob> jobs(kFilesPerRun, AnalysisJob{"1", "1", strFile});
  FfmpegAnalyser analyser;
  FixedClock clock;
  const std::string strLogFolder = (BenchFolder() / "").string();
  for (auto _ : state) {
    AnalysisResults results;
    const AnalysisCount count = AnalyseTracks(jobs, analyser, static_cast<int>(state.range(0)),
                                              results, strLogFolder, clock, {});
    if (count.nFailed > 0) {
      state.SkipWithError("the tune could not be analysed");
      return;
    }
  }
  // Seconds of audio per second of wall time: "x real time".
  state.counters["x_real_time"] =
      benchmark::Counter(kTrackSeconds * kFilesPerRun * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_Analyse, wav, std::string("wav"))
    ->Arg(1)
    ->Arg(2)
    ->ArgName("jobs")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Analyse, mp3, std::string("mp3"))
    ->Arg(1)
    ->Arg(2)
    ->ArgName("jobs")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_LoadAnalysisFile(benchmark::State& state) {
  constexpr int kLines = 50000;
  const fs::path folder = BenchFolder() / "db";
  fs::create_directories(folder);
  {
    std::ofstream file(folder / "analysis.dat", std::ios::binary | std::ios::trunc);
    for (int i = 0; i < kLines; ++i) {
      const std::string strTrack = std::to_string(i % 99 + 1);
      file << FormatAnalysisLine(
          {std::to_string(i / 99),
           strTrack,
           {strTrack + " Artist number " + std::to_string(i) + ".mp3",
            7340032u + static_cast<unsigned>(i), 1767225600 + i},
           {-14.0 - i % 90 / 10.0, -0.3 - i % 7 / 10.0, i % 500, 180000 + i % 60000}});
    }
  }
  const std::string strFolder = (folder / "").string();
  for (auto _ : state) {
    AnalysisResults results;
    std::string strError;
    LoadAnalysisFile(strFolder, results, strError);
    if (results.Count() != static_cast<std::size_t>(kLines)) {
      state.SkipWithError("not every line was read");
      return;
    }
  }
}
BENCHMARK(BM_LoadAnalysisFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velvane
