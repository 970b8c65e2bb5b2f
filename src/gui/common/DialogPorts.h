#pragma once

#include "core/ports/AudioAnalyser.h"
#include "core/ports/FileChooser.h"
#include "core/ports/HttpClient.h"
#include "core/ports/TagReader.h"

namespace velvane {

// What the dialogs reach the outside world through, besides the main window's core: built once
// by the program (src/app) and handed down, so no dialog constructs an adapter and tests can
// hand in fakes.
struct DialogPorts {
  FileChooser& chooser;
  TagReader& tags;
  AudioAnalyser& analyser;
  HttpClient& http;
  // The now-playing outputs' clients, each made on its output's own thread.
  HttpClientMaker makeHttp;
};

}  // namespace velvane
