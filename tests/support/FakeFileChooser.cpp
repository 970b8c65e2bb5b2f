#include "support/FakeFileChooser.h"

namespace velvane {

bool FakeFileChooser::ChooseOpenFile(const FileDialogOptions& options, std::string& path) {
  m_calls.push_back({Kind::kOpenFile, options.strTitle, options});
  return Answer(path);
}

bool FakeFileChooser::ChooseSaveFile(const FileDialogOptions& options, std::string& path) {
  m_calls.push_back({Kind::kSaveFile, options.strTitle, options});
  return Answer(path);
}

bool FakeFileChooser::ChooseFolder(const std::string& title, std::string& path) {
  m_calls.push_back({Kind::kFolder, title, {}});
  return Answer(path);
}

bool FakeFileChooser::Answer(std::string& path) {
  if (m_answers.empty()) {
    return false;
  }
  const std::optional<std::string> answer = m_answers.front();
  m_answers.pop_front();
  if (!answer) {
    return false;
  }
  path = *answer;
  return true;
}

}  // namespace velvane
