// Track analysis: seconds of audio measured per second of one core (the process's CPU time,
// whatever the number of jobs), over VELVANE_BENCH_FILES generated tracks (default 40, half
// WAV, half mp3, 3 to 5 minutes each; a small count makes a quick smoke run), with one and two
// files at once; and the load of a 50,000-line analysis.dat. scripts/bench-compare sets the
// same tracks against ffmpeg and loudgain.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "BenchPorts.h"
#include "core/analysis/AnalysisFile.h"
#include "core/analysis/LibraryAnalysis.h"
#include "platform/FfmpegAnalyser.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

const fs::path& BenchFolder() {
  static const fs::path path = [] {
    fs::path folder = fs::temp_directory_path() / "velvane-bench-analysis";
    fs::create_directories(folder);
    return folder;
  }();
  return path;
}

struct Track {
  std::string strPath;
  int nSeconds;
};

// Swept tones over pink noise with a slow swell (loudness ranges of 5-10 LU, as in music),
// stereo 44.1 kHz; the even ones as 192 kbit/s mp3. Made by sox once, then kept.
bool MakeTrack(int nTrack, Track& track) {
  const bool bMp3 = nTrack % 2 == 0;
  track.nSeconds = 180 + nTrack * 37 % 121;
  track.strPath =
      (BenchFolder() / ("track" + std::to_string(nTrack) + (bMp3 ? ".mp3" : ".wav"))).string();
  if (fs::exists(track.strPath)) {
    return true;
  }
  const std::string strSeconds = std::to_string(track.nSeconds);
  const std::string strWav = track.strPath + ".part.wav";
  std::string strCommand =
      "sox -n -r 44100 -c 2 -b 16 '" + strWav + "' synth " + strSeconds + " sine " +
      std::to_string(100 + nTrack * 7) + "-" + std::to_string(600 + nTrack * 53) + " sine " +
      std::to_string(150 + nTrack * 5) + "-" + std::to_string(500 + nTrack * 31) + " synth " +
      strSeconds + " pinknoise mix tremolo 0.0" + std::to_string(nTrack % 9 + 1) +
      " 60 lowpass 9000 gain -n -" + std::to_string(nTrack % 6 + 1) + " 2>/dev/null";
  const std::string strMade = bMp3 ? track.strPath + ".part.mp3" : strWav;
  if (bMp3) {
    strCommand += " && sox '" + strWav + "' -C 192 '" + strMade + "' && rm '" + strWav + "'";
  }
  if (std::system(strCommand.c_str()) != 0) {
    return false;
  }
  std::error_code error;
  fs::rename(strMade, track.strPath, error);
  return !error;
}

const std::vector<Track>& Tracks() {
  static const std::vector<Track> tracks = [] {
    const char* pCount = std::getenv("VELVANE_BENCH_FILES");
    const int nCount = pCount != nullptr ? std::max(2, std::atoi(pCount)) : 40;
    std::vector<Track> made;
    for (int n = 1; n <= nCount; ++n) {
      Track track;
      if (!MakeTrack(n, track)) {
        return std::vector<Track>();
      }
      made.push_back(track);
    }
    return made;
  }();
  return tracks;
}

void BM_Analyse(benchmark::State& state, const std::string& strExtension) {
  std::vector<AnalysisJob> jobs;
  double dAudioSeconds = 0.0;
  for (const Track& track : Tracks()) {
    if (track.strPath.ends_with(strExtension)) {
      jobs.push_back(AnalysisJob{"1", std::to_string(jobs.size() + 1), track.strPath});
      dAudioSeconds += track.nSeconds;
    }
  }
  if (jobs.empty()) {
    state.SkipWithError("sox could not make the tracks (packages sox, libsox-fmt-mp3)");
    return;
  }
  FfmpegAnalyser analyser;
  FixedClock clock;
  const std::string strLogFolder = (BenchFolder() / "").string();
  for (auto _ : state) {
    AnalysisResults results;
    const AnalysisCount count = AnalyseTracks(jobs, analyser, static_cast<int>(state.range(0)),
                                              results, strLogFolder, clock, {});
    if (count.nFailed > 0) {
      state.SkipWithError("a track could not be analysed");
      return;
    }
  }
  // Seconds of audio per CPU second: "x real time" on one core.
  state.counters["x_real_time_per_core"] = benchmark::Counter(
      dAudioSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["files"] = static_cast<double>(jobs.size());
}
BENCHMARK_CAPTURE(BM_Analyse, wav, std::string(".wav"))
    ->Arg(1)
    ->Arg(2)
    ->ArgName("jobs")
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Analyse, mp3, std::string(".mp3"))
    ->Arg(1)
    ->Arg(2)
    ->ArgName("jobs")
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kSecond);

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
