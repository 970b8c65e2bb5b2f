#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/ports/Prompter.h"

namespace velvane {

// Records every message shown and answers from a script (OK / Yes when the script is empty).
class FakePrompter : public Prompter {
 public:
  struct Shown {
    std::string strText;
    std::string strCaption;
    PromptIcon icon;
    PromptButtons buttons;
  };

  PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                    PromptButtons buttons) override;
  // The texts shown, in order.
  std::vector<std::string> Texts() const;

  std::deque<PromptAnswer> m_answers;
  std::vector<Shown> m_shown;
};

}  // namespace velvane
