#pragma once

#include <memory>

#include "core/ports/AudioAnalyser.h"
#include "core/ports/HttpClient.h"
#include "core/ports/TagReader.h"

namespace velvane {

// The adapters over the media and network libraries (FFmpeg, TagLib, Qt Network). velvane-tool
// keeps them in a module of their own and loads it only for the commands that use them: those
// libraries bring well over a hundred shared objects, whose loading would otherwise cost every
// command, a search included, a tenth of a second.
class ToolMedia {
 public:
  ToolMedia() = default;
  ToolMedia(const ToolMedia&) = delete;
  ToolMedia& operator=(const ToolMedia&) = delete;
  virtual ~ToolMedia() = default;

  virtual TagReader& Tags() = 0;
  virtual HttpClient& Http() = 0;
  virtual AudioAnalyser& Analyser() = 0;
  virtual HttpClientMaker HttpMaker() = 0;
};

// The module's one entry point: a new set of the adapters, owned by the caller.
inline constexpr const char* kToolMediaEntry = "VelvaneToolMedia";
using ToolMediaEntry = ToolMedia* (*)();

}  // namespace velvane
