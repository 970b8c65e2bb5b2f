#include <QDir>
#include <QLibrary>

#include "platform/MediaModule.h"

extern "C" {
using VelvaneMediaEntry = const velvane::MediaModule* (*)();
}

namespace velvane {

const MediaModule* LoadMediaModule(const QString& programDir, std::string& strProblem) {
  // Where the module lies from the program, the same in the build tree and once installed.
  QLibrary library(
      QDir(programDir).filePath(QStringLiteral(VELVANE_MEDIA_FROM_BIN "/velvane-media")));
  // The library stays loaded when this handle goes: its adapters are used up to the end.
  if (library.load()) {
    if (const auto entry = reinterpret_cast<VelvaneMediaEntry>(library.resolve("VelvaneMedia"))) {
      return entry();
    }
  }
  strProblem = library.errorString().toStdString();
  return nullptr;
}

}  // namespace velvane
