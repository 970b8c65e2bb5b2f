#pragma once

#include "gui/common/DialogPorts.h"
#include "support/Fakes.h"

namespace velvane {

// A fake for every port a dialog uses; `ports` hands them to the dialogs as the program hands
// the real ones.
struct FakeDialogPorts {
  FakeFileChooser chooser;
  FakeTagReader tags;
  FakeAudioAnalyser analyser;
  FakeHttpClient http;
  DialogPorts ports{chooser, tags, analyser, http, {}};
};

}  // namespace velvane
