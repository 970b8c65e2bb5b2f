#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
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

  bool ChooseOpenFile(const FileDialogOptions& options, std::string& path) override {
    return Answer({Kind::kOpenFile, options.strTitle, options}, path);
  }
  bool ChooseSaveFile(const FileDialogOptions& options, std::string& path) override {
    return Answer({Kind::kSaveFile, options.strTitle, options}, path);
  }
  bool ChooseFolder(const std::string& title, std::string& path) override {
    return Answer({Kind::kFolder, title, {}}, path);
  }

  std::deque<std::optional<std::string>> m_answers;
  std::vector<Call> m_calls;

 private:
  bool Answer(Call call, std::string& path) {
    m_calls.push_back(std::move(call));
    std::optional<std::string> answer;
    if (!m_answers.empty()) {
      answer = m_answers.front();
      m_answers.pop_front();
    }
    path = answer.value_or(path);
    return answer.has_value();
  }
};

}  // namespace velvane
