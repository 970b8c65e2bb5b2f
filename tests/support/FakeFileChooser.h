#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/FileChooser.h"

namespace velvane {

// Answers every file and folder dialog from a script and records what was asked. An answer
// of std::nullopt is a cancel; an empty script cancels too.
class FakeFileChooser : public FileChooser {
 public:
  enum class Kind { kOpenFile, kSaveFile, kFolder };

  struct Call {
    Kind kind = Kind::kFolder;
    std::string strTitle;
    FileDialogOptions options;  // the file dialogs only
  };

  bool ChooseOpenFile(const FileDialogOptions& options, std::string& path) override;
  bool ChooseSaveFile(const FileDialogOptions& options, std::string& path) override;
  bool ChooseFolder(const std::string& title, std::string& path) override;

  std::deque<std::optional<std::string>> m_answers;
  std::vector<Call> m_calls;

 private:
  bool Answer(std::string& path);
};

}  // namespace velvane
