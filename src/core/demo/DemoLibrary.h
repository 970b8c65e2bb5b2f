#pragma once

#include <string>

#include "core/ports/AudioAnalyser.h"
#include "core/ports/Clock.h"
#include "core/settings/Settings.h"

namespace velvane {

// The demo library that `velvane --demo` plays: under `strRoot`, a music folder of a few CD
// folders with short generated tunes and a database folder with playlist.dat, charts.dat
// (linked to the tunes both ways) and hits.dat. Made once; a library already there is left as
// it is. `settings` receives the folders and the values the demo runs with (installed, Auto
// Play). Returns false with `strError` set when the folders cannot be written.
bool EnsureDemoLibrary(const std::string& strRoot, Settings& settings, std::string& strError);

// Measures the demo tunes that have no fresh result in the demo's analysis.dat and saves
// them, so the two sound settings work from the first start. Does nothing while another
// program analyses the demo's music; a tune that cannot be measured plays as it is.
void AnalyseDemoTunes(const Settings& settings, AudioAnalyser& analyser, Clock& clock);

}  // namespace velvane
