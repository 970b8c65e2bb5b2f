#pragma once

#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/ports/AudioAnalyser.h"
#include "core/ports/Clock.h"
#include "core/ports/HttpClient.h"
#include "core/ports/ProfileStore.h"
#include "core/ports/TagReader.h"

namespace velvane {

// Exit status of velvane-tool.
inline constexpr int kToolSuccess = 0;
inline constexpr int kToolNotFound = 1;  // "not found" and "falls short" answers
inline constexpr int kToolUsage = 2;     // bad usage, or an unusable folder or file

// What the tool needs from the world: the desktop program's settings, the clock, the two
// output streams, the music files' tags, the update server's HTTP client, the music files'
// analyser (null where there is none) and the now-playing outputs' HTTP clients.
struct ToolContext {
  ProfileStore& profile;
  Clock& clock;
  std::ostream& out;
  std::ostream& err;
  TagReader* pTags = nullptr;          // the CD import's tag reader; without it names alone count
  HttpClient* pHttp = nullptr;         // the update server's client; without it no updates
  AudioAnalyser* pAnalyser = nullptr;  // without it no analysis
  bool bTerminal = false;  // a person watches: progress lines are rewritten in place on err
  // For the long commands: from the call on, an interrupt (Ctrl+C, SIGTERM) sets the returned
  // flag instead of ending the program, so the work done is kept; a second one ends it.
  std::function<const std::atomic<bool>*()> catchInterrupt = nullptr;
  // Where a progress line rewrites itself in place (its control codes must reach the
  // terminal); err when not set.
  std::ostream* pProgress = nullptr;
  HttpClientMaker makeHttp = nullptr;  // without it the network outputs say they cannot
  // Sets the tag reader, the two HTTP fields and the analyser, loading the libraries behind
  // them, before a command that uses them runs; false, after saying why on err, when they
  // cannot be loaded. Null when they are set from the start (or there are none).
  std::function<bool(ToolContext&)> loadMedia = nullptr;

  std::ostream& Progress() const { return pProgress != nullptr ? *pProgress : err; }
  // The same context printing to other streams; the progress line still goes to this one's.
  ToolContext WithStreams(std::ostream& newOut, std::ostream& newErr) const {
    return {profile,   clock,     newOut,         newErr,      pTags,    pHttp,
            pAnalyser, bTerminal, catchInterrupt, &Progress(), makeHttp, loadMedia};
  }
};

// velvane-tool [--db DIR] [--music DIR] COMMAND [ARGS]; `args` excludes the program name.
// Control characters in what it prints are escaped (see PrintableStreamBuf).
int RunTool(const std::vector<std::string>& args, ToolContext& context);

}  // namespace velvane
