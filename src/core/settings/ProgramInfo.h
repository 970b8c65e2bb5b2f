#pragma once

namespace velvane {

// The caption of the main window and of every message box.
inline constexpr const char* kProgramTitle = "The ROLV Disco / Radio System";
inline constexpr const char* kVersionText = "1.1.1.0";
// The settings of the desktop program live under this application name; velvane-tool reads
// the same ones.
inline constexpr const char* kDesktopApplicationName = "velvane";

}  // namespace velvane
