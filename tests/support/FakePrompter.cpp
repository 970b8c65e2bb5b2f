#include "support/FakePrompter.h"

namespace velvane {

PromptAnswer FakePrompter::Show(const std::string& text, const std::string& caption,
                                PromptIcon icon, PromptButtons buttons) {
  m_shown.push_back({text, caption, icon, buttons});
  if (!m_answers.empty()) {
    const PromptAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }
  return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                            : PromptAnswer::Yes;
}

std::vector<std::string> FakePrompter::Texts() const {
  std::vector<std::string> texts;
  texts.reserve(m_shown.size());
  for (const Shown& shown : m_shown) {
    texts.push_back(shown.strText);
  }
  return texts;
}

}  // namespace velvane
