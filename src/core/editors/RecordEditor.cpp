#include "core/editors/RecordEditor.h"

#include <algorithm>
#include <utility>

#include "core/search/TextMatch.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr char kFieldEnd = '\t';

// "\" separates the fields of every database file, so a value holding one would not read back.
bool HoldsFileSeparator(const EditorFields& fields) {
  return std::any_of(fields.begin(), fields.end(), [](const std::string& strField) {
    return strField.find('\\') != std::string::npos;
  });
}

}  // namespace

RecordEditor::RecordEditor(Prompter& prompter, std::string strTitle, Layout layout)
    : m_prompter(prompter),
      m_strTitle(std::move(strTitle)),
      m_layout(std::move(layout)),
      m_fields(m_layout.newRecord),
      m_strCaption(m_layout.strName) {}

void RecordEditor::SetField(std::size_t nField, std::string strText) {
  if (nField < m_fields.size()) {
    m_fields[nField] = std::move(strText);
  }
}

std::string RecordEditor::BuildLine(const EditorFields& fields) const {
  std::string strLine;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const bool bCut = std::find(m_layout.cutFields.begin(), m_layout.cutFields.end(), i) !=
                      m_layout.cutFields.end();
    const std::size_t nStart = strLine.size();
    strLine += bCut ? CutBytes(fields[i], kMaxLineFieldBytes) : fields[i];
    // A tab inside a value would split it in two; it shows as a blank instead.
    std::replace(strLine.begin() + static_cast<std::ptrdiff_t>(nStart), strLine.end(), kFieldEnd,
                 ' ');
    strLine += kFieldEnd;
  }
  return strLine;
}

void RecordEditor::AddRecordLine(const EditorFields& fields) {
  m_lines.push_back(BuildLine(fields));
}

void RecordEditor::FinishOpening() {
  m_lines.emplace_back();
  OnBottomOfList();
}

EditorFields RecordEditor::RecordFields(int nLine) const {
  // Split at every tab, so that a value left empty (only a damaged file gives one) keeps its
  // place instead of shifting the fields after it.
  EditorFields fields;
  const std::string& strLine = Line(nLine);
  std::size_t nStart = 0;
  for (std::size_t nTab = strLine.find(kFieldEnd); nTab != std::string::npos;
       nTab = strLine.find(kFieldEnd, nStart)) {
    fields.push_back(strLine.substr(nStart, nTab - nStart));
    nStart = nTab + 1;
  }
  fields.resize(FieldCount());
  return fields;
}

void RecordEditor::OnSelChangeList(int nLine) {
  if (nLine < 0 || nLine >= LineCount()) {
    return;
  }
  m_nSelected = nLine;
  m_strCaption = m_layout.strName + " (" + std::to_string(nLine + 1) + " of " +
                 std::to_string(RecordCount()) + ")";
  m_fields = OnNewRecordLine() ? m_layout.newRecord : RecordFields(nLine);
}

bool RecordEditor::OnUpdate() {
  for (const std::size_t nField : m_layout.required) {
    if (m_fields[nField].empty()) {
      return false;
    }
  }
  if (HoldsFileSeparator(m_fields)) {
    Tell(
        "The fields may not hold the character \\: it separates the fields in the database "
        "files.");
    return false;
  }
  EditorFields fields = m_fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].empty()) {
      fields[i] = m_layout.emptyAs[i];
    }
  }
  if (!PrepareUpdate(fields)) {
    return false;
  }
  const auto at = m_lines.begin() + m_nSelected;
  if (OnNewRecordLine()) {
    m_lines.insert(at, BuildLine(fields));  // the new-record line moves down one
  } else {
    *at = BuildLine(fields);
  }
  return true;
}

bool RecordEditor::OnSearch(const std::string& strSearch) {
  const TextMatcher matcher(strSearch, std::string());
  for (int i = m_nSelected + 1; i < RecordCount(); ++i) {
    if (matcher.Count(Line(i), std::string()) == 2) {
      OnSelChangeList(i);
      return true;
    }
  }
  return false;
}

void RecordEditor::OnTopOfList() {
  OnSelChangeList(0);
}

void RecordEditor::OnBottomOfList() {
  OnSelChangeList(RecordCount());
}

bool RecordEditor::OnQuit() {
  return m_prompter.Show("Changes will be lost. Continue?", m_strTitle, PromptIcon::Question,
                         PromptButtons::YesNo) == PromptAnswer::Yes;
}

bool RecordEditor::StartSaving(int nCapacity, const std::string& strDatabase,
                               const std::string& strRecords) {
  if (RecordCount() <= nCapacity) {
    ShowSaving();
    return true;
  }
  Tell("The " + strDatabase + " can hold at most " + std::to_string(nCapacity) + " " + strRecords +
       ", but the editor has " + std::to_string(RecordCount()) + ". Nothing has been saved.");
  return false;
}

void RecordEditor::Tell(const std::string& strText) {
  m_prompter.Show(strText, m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
}

}  // namespace velvane
