#include <charconv>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include "core/analysis/LibraryAnalysis.h"
#include "tool/ProgressLine.h"
#include "tool/ToolEnvironment.h"

namespace velvane {

namespace {

// The --jobs value: a whole number from 1; more than can ever help is clamped.
bool ReadJobs(const std::optional<std::string>& value, int& nJobs) {
  if (!value) {
    nJobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return true;
  }
  long long nValue = 0;
  const char* pEnd = value->data() + value->size();
  const auto [pStop, error] = std::from_chars(value->data(), pEnd, nValue);
  if (error == std::errc::result_out_of_range && pStop == pEnd && value->front() != '-') {
    nValue = kMaxAnalysisJobs;
  } else if (error != std::errc() || pStop != pEnd || nValue < 1) {
    return false;
  }
  nJobs = static_cast<int>(std::min<long long>(nValue, kMaxAnalysisJobs));
  return true;
}

std::string MinutesSeconds(double dSeconds) {
  const long nSeconds = static_cast<long>(dSeconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", nSeconds / 60, nSeconds % 60);
  return text;
}

// "Analysing: 12 of 40 files (1 failed), 0:03 elapsed, 4.0 files/s"
void ShowCount(ProgressLine& progress, const AnalysisCount& count) {
  if (!progress.Shown()) {
    return;
  }
  const double dElapsed = progress.Elapsed();
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.1f", dElapsed > 0 ? count.nDone / dElapsed : 0.0);
  std::string strLine = "Analysing: " + std::to_string(count.nDone) + " of " +
                        std::to_string(count.nTotal) + " files";
  if (count.nFailed > 0) {
    strLine += " (" + std::to_string(count.nFailed) + " failed)";
  }
  progress.Show(strLine + ", " + MinutesSeconds(dElapsed) + " elapsed, " + rate + " files/s");
}

}  // namespace

int RunAnalyse(ToolEnvironment& env, const std::vector<std::string>& argv) {
  const CommandArgs args(argv, {"--jobs"}, {"--force"});
  int nJobs = 1;
  if (!args.Ok() || !args.Positional().empty()) {
    env.context.err << "velvane-tool: analyse takes only --jobs N and --force\n";
    return kToolUsage;
  }
  if (!ReadJobs(args.Value("--jobs"), nJobs)) {
    env.context.err << "velvane-tool: --jobs needs a whole number of 1 or more\n";
    return kToolUsage;
  }
  if (env.context.pAnalyser == nullptr) {
    env.context.err << "velvane-tool: music files cannot be analysed in this build\n";
    return kToolUsage;
  }
  // Only analysis.dat is written, under its own lock: the databases are just read (their
  // saves replace them whole), so this runs while the desktop program holds the folder.
  if (!env.LoadDatabases()) {
    return kToolUsage;
  }
  // Stopped by Ctrl+C, the run still saves what it measured.
  const std::atomic<bool>* pStop =
      env.context.catchInterrupt ? env.context.catchInterrupt() : nullptr;
  ProgressLine progress(env.context);
  const AnalysisReports reports{
      [&progress](const AnalysisCount& count) { ShowCount(progress, count); },
      [&progress, &env](const std::string& strLine) { progress.Print(env.context.out, strLine); }};
  const LibraryAnalysisOutcome outcome =
      AnalyseLibrary({env.store, env.settings.strMusicDir, env.settings.strFilesDir,
                      *env.context.pAnalyser, env.context.clock, nJobs, args.Has("--force"), pStop},
                     reports);
  progress.Finish();
  if (outcome.bInUse) {
    env.context.err << "velvane-tool: another program is analysing the music files of "
                    << env.settings.strFilesDir << '\n';
    return kToolUsage;
  }
  if (!outcome.bLoaded) {
    env.context.err << "velvane-tool: cannot read " << outcome.strError << '\n';
    return kToolUsage;
  }
  env.context.out << outcome.count.Summary() << '\n';
  if (!outcome.strError.empty()) {
    env.context.err << "velvane-tool: not saved: " << outcome.strError << '\n';
    return kToolUsage;
  }
  const bool bAllDone = outcome.count.nFailed == 0 && outcome.count.nDone == outcome.count.nTotal;
  return bAllDone ? kToolSuccess : kToolNotFound;
}

}  // namespace velvane
