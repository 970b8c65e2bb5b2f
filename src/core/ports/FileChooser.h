#pragma once

#include <string>

namespace velvane {

struct FileDialogOptions {
  std::string strTitle;             // "Open Playlist"
  std::string strFolder;            // folder the dialog starts in
  std::string strFilter;            // "Playlist Files (*.pla)|*.pla|"
  std::string strDefaultExtension;  // "pla"
};

// The standard open / save file dialogs and the folder browser. Each returns false when
// the operator cancels; otherwise `path` holds the full path chosen.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  virtual bool ChooseOpenFile(const FileDialogOptions& options, std::string& path) = 0;
  virtual bool ChooseSaveFile(const FileDialogOptions& options, std::string& path) = 0;
  virtual bool ChooseFolder(const std::string& title, std::string& path) = 0;
};

}  // namespace velvane
