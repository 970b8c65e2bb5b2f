#pragma once

#include <string>

namespace velvane {

enum class PromptIcon { None, Exclamation, Question, Information, Error };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Every message box and question the system shows goes through here.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                            PromptButtons buttons) = 0;
};

}  // namespace velvane
