#pragma once

#include <QString>
#include <chrono>
#include <memory>
#include <string>

#include "core/ports/AudioAnalyser.h"
#include "core/ports/HttpClient.h"
#include "core/ports/TagReader.h"
#include "platform/MpvMci.h"

namespace velvane {

// The adapters over the media and network libraries (libmpv, FFmpeg, TagLib, Qt Network).
// Both programs keep them in a module of their own, velvane-media: those libraries bring over
// two hundred shared objects, whose loading would otherwise hold up every start. velvane-tool
// loads it only for the commands that use it; the desktop program loads it beside its own
// start-up. The module holds no state: each call makes a new adapter, owned by the caller and
// used on the thread that made it, as the adapter itself allows.
class MediaModule {
 public:
  MediaModule() = default;
  MediaModule(const MediaModule&) = delete;
  MediaModule& operator=(const MediaModule&) = delete;
  virtual ~MediaModule() = default;

  virtual std::unique_ptr<MpvMci> MakePlayer() const = 0;
  virtual std::unique_ptr<TagReader> MakeTagReader() const = 0;
  virtual std::unique_ptr<AudioAnalyser> MakeAnalyser() const = 0;
  // Timeouts as QtHttpClient's defaults when not given.
  virtual std::unique_ptr<HttpClient> MakeHttpClient() const = 0;
  virtual std::unique_ptr<HttpClient> MakeHttpClient(std::chrono::milliseconds timeout) const = 0;
};

// Loads the module from `programDir` (the folder of the program that asks, where it is built or
// installed beside it) and returns its adapter maker, which lives as long as the process; null,
// with the loader's reason in `strProblem`, when it cannot. Any thread may call this.
const MediaModule* LoadMediaModule(const QString& programDir, std::string& strProblem);

}  // namespace velvane
