#include <optional>

#include "core/settings/ProgramInfo.h"
#include "core/text/Text.h"
#include "core/updates/UpdateCatalogue.h"
#include "core/updates/UpdateLimits.h"
#include "core/updates/UpdateMerge.h"
#include "tool/ToolEnvironment.h"

namespace velvane {

namespace {

// The catalogue, or null after telling why it could not be fetched. A status other than 200
// gives an empty list, as in the dialog.
std::optional<UpdateList> FetchList(ToolEnvironment& env, HttpClient& http,
                                    const std::string& strServer) {
  const HttpResponse response = http.Get(CatalogueRequest(strServer));
  if (!response.bOk) {
    env.context.err << "velvane-tool: " << kConnectionFailedText << " (" << response.strError
                    << ")\n";
    return std::nullopt;
  }
  // Not an empty list: --apply would then call a listed update "not in the update listing".
  if (response.nStatus != 200) {
    env.context.err << "velvane-tool: " << ServerAnswerText(response.nStatus, kCatalogueName)
                    << '\n';
    return std::nullopt;
  }
  return UpdateList(ParseCatalogue(response.strBody));
}

int ApplyNamed(ToolEnvironment& env, HttpClient& http, const std::string& strServer,
               const UpdateList& list, const std::string& strName) {
  const CatalogueEntry* pEntry = list.Find(strName);
  if (pEntry == nullptr) {
    env.context.err << "velvane-tool: " << strName << " is not in the update listing\n";
    return kToolUsage;
  }
  const std::string& folder = env.settings.strFilesDir;
  UpdateTarget target{env.store,
                      {folder, env.context.clock, env.prompter, kProgramTitle},
                      env.database.LockRefusal(folder),
                      [&] { return env.database.SaveCharts(folder); }};
  const UpdateOutcome outcome =
      ApplyUpdate(target, *pEntry, http.Get(UpdateRequest(strServer, *pEntry)));
  if (!outcome.bApplied) {
    env.context.err << "velvane-tool: " << ControlsAsSpaces(outcome.strMessage) << '\n';
    return kToolUsage;
  }
  env.context.out << outcome.strMessage << '\n';
  return kToolSuccess;
}

}  // namespace

int RunUpdates(ToolEnvironment& env, const std::vector<std::string>& argv) {
  const CommandArgs args(argv, {"--server", "--apply"}, {});
  if (!args.Ok() || !args.Positional().empty()) {
    env.context.err << "velvane-tool: "
                    << (args.Ok() ? "unexpected argument " + args.Positional().front()
                                  : args.Error())
                    << '\n';
    return kToolUsage;
  }
  const std::string strServer = args.Value("--server").value_or(env.settings.strUpdateServer);
  if (strServer.empty() || env.context.pHttp == nullptr) {
    env.context.err << "velvane-tool: no update server; give --server HOST[:PORT]\n";
    return kToolUsage;
  }
  const std::optional<std::string> apply = args.Value("--apply");
  // A writing command: locked before loading, so no other writer changes the files between.
  if (apply && (!env.LockDatabaseFolder() || !env.LoadDatabases())) {
    return kToolUsage;
  }
  HttpClient& http = *env.context.pHttp;
  const std::optional<UpdateList> list = FetchList(env, http, strServer);
  if (!list) {
    return kToolUsage;
  }
  if (apply) {
    return ApplyNamed(env, http, strServer, *list, *apply);
  }
  for (int i = 0; i < list->Count(); ++i) {
    env.context.out << list->Line(i) << '\n';
  }
  return kToolSuccess;
}

}  // namespace velvane
