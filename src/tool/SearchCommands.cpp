#include <cstdint>

#include "core/search/AutoSelection.h"
#include "core/search/ManualSearch.h"
#include "core/search/NumberOne.h"
#include "core/text/Text.h"
#include "tool/ToolEnvironment.h"

namespace velvane {

namespace {

void PrintRows(std::ostream& out, const std::vector<SearchRow>& rows) {
  for (const SearchRow& row : rows) {
    out << FormatSearchLine(row) << '\n';
  }
}

bool UsageError(ToolEnvironment& env, const CommandArgs& args) {
  if (args.Ok() && args.Positional().empty()) {
    return false;
  }
  env.context.err << "velvane-tool: "
                  << (args.Ok() ? "unexpected argument " + args.Positional().front() : args.Error())
                  << '\n';
  return true;
}

}  // namespace

int RunSearch(ToolEnvironment& env, const std::vector<std::string>& argv) {
  const CommandArgs args(argv, {"--artist", "--title"}, {});
  if (UsageError(env, args) || !env.LoadDatabases()) {
    return kToolUsage;
  }
  const ManualSearchResult result = ManualSearch(env.store, args.Value("--artist").value_or(""),
                                                 args.Value("--title").value_or(""));
  PrintRows(env.context.out, result.rows);
  env.context.out << result.strStatus << '\n';
  return kToolSuccess;
}

int RunAutoSelect(ToolEnvironment& env, const std::vector<std::string>& argv) {
  const CommandArgs args(argv, {"--start", "--end", "--seed"}, {"--out-of-chart"});
  if (UsageError(env, args) || !env.LoadDatabases()) {
    return kToolUsage;
  }
  const YearRange saved = LoadYearRange(env.context.profile, env.context.clock);
  const std::optional<std::string> seed = args.Value("--seed");
  Random15 random =
      seed ? Random15(static_cast<std::uint32_t>(Atol(*seed))) : SeededFromTime(env.context.clock);
  const SelectionResult result =
      args.Has("--out-of-chart")
          ? SelectOutOfChart(env.store, random)
          : SelectTop40(env.store, args.Value("--start").value_or(saved.strStartYear),
                        args.Value("--end").value_or(saved.strEndYear), random);
  PrintRows(env.context.out, result.rows);
  env.context.out << result.strStatus << '\n';
  return kToolSuccess;
}

int RunNumberOne(ToolEnvironment& env, const std::vector<std::string>& argv) {
  const CommandArgs args(argv, {}, {});
  if (!args.Ok() || args.Positional().size() != 1) {
    env.context.err << "velvane-tool: number-one takes one date, as dd/mm/yyyy\n";
    return kToolUsage;
  }
  if (!env.CheckDatabaseFolder()) {
    return kToolUsage;
  }
  const NumberOneAnswer answer = SearchNumberOne(env.settings.strFilesDir, args.Positional()[0]);
  // "Not found" from a file that could not be read would mislead.
  if (!answer.strUnreadable.empty()) {
    env.context.err << "velvane-tool: cannot read " << env.settings.strFilesDir
                    << "hits.dat: " << answer.strUnreadable << '\n';
    return kToolUsage;
  }
  env.context.out << answer.strResult << '\n';
  return answer.bFound ? kToolSuccess : kToolNotFound;
}

}  // namespace velvane
