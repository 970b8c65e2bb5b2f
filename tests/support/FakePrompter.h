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
                    PromptButtons buttons) override {
    m_shown.push_back({text, caption, icon, buttons});
    if (m_answers.empty()) {
      const bool bOk = buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel;
      return bOk ? PromptAnswer::Ok : PromptAnswer::Yes;
    }
    const PromptAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }
  // The texts shown, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    texts.reserve(m_shown.size());
    for (const Shown& shown : m_shown) {
      texts.push_back(shown.strText);
    }
    return texts;
  }

  std::deque<PromptAnswer> m_answers;
  std::vector<Shown> m_shown;
};

}  // namespace velvane
