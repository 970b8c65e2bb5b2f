#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "core/nowplaying/NowPlaying.h"
#include "core/ports/HttpClient.h"
#include "core/settings/Settings.h"

namespace velvane {

// The network outputs give up on a server after this long, so a dead one is soon told so.
inline constexpr std::chrono::milliseconds kNowPlayingTimeout{5000};

// The file beside the text file that holds the JSON.
inline constexpr const char* kNowPlayingJsonName = "nowplaying.json";

// One place what is on air is told to.
class NowPlayingOutput {
 public:
  virtual ~NowPlayingOutput() = default;
  // What the error log and the tool call it, without credentials: "the stream server
  // http://host:8000/live".
  virtual const std::string& Name() const = 0;
  // Tells the state; returns empty when it was taken, else why not. The first call makes
  // whatever the output needs (its HTTP client), so every call comes from one thread.
  virtual std::string Send(const NowPlaying& now) = 0;
};

// The outputs, in the order they are made and listed.
enum class NowPlayingOutputKind { kFile, kStreamServer, kWebHook };
inline constexpr std::array<NowPlayingOutputKind, 3> kNowPlayingOutputKinds = {
    NowPlayingOutputKind::kFile, NowPlayingOutputKind::kStreamServer,
    NowPlayingOutputKind::kWebHook};

// What sets an output up: equal texts make the same output; empty when the settings leave
// it off.
std::string NowPlayingOutputSetting(NowPlayingOutputKind kind, const Settings& settings);

// The output the settings ask for, or null when they leave it off:
// - the text file: the template's line (no line end; empty when nothing is on air) and
//   nowplaying.json beside it, each replaced whole, so a reader never sees a part;
// - the stream server: GET <server>/admin/metadata?mount=<mount>&mode=updinfo&charset=UTF-8
//   &song=<artist - title>, the way Icecast and Shoutcast take a new title;
// - the web hook: the JSON by POST.
// A stream server or web hook is told of a stop only once it has been told a track.
std::unique_ptr<NowPlayingOutput> MakeNowPlayingOutput(NowPlayingOutputKind kind,
                                                       const Settings& settings,
                                                       const HttpClientMaker& makeHttp);

}  // namespace velvane
