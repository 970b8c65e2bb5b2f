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
  m_lines.push_back({BuildLine(fields), static_cast<int>(m_lines.size())});
}

void RecordEditor::FinishOpening() {
  m_nOpenedRecords = LineCount();  // the new-record line is not there yet
  m_lines.push_back({std::string(), -1});
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
  ShowCaption();
  m_fields = OnNewRecordLine() ? m_layout.newRecord : RecordFields(nLine);
}

void RecordEditor::ShowCaption() {
  m_strCaption = m_layout.strName + " (" + std::to_string(m_nSelected + 1) + " of " +
                 std::to_string(RecordCount()) + ")";
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
  const int nOldLine = OnNewRecordLine() ? -1 : m_nSelected;
  const int nPlace = PlaceFor(fields, nOldLine);
  StoredLine stored{BuildLine(fields), nOldLine < 0 ? -1 : m_lines[nOldLine].nOpened};
  EditStep step;
  if (nOldLine == nPlace) {
    step.push_back({nPlace, m_lines[nPlace], std::move(stored)});
  } else {
    if (nOldLine >= 0) {  // the record moves to its place
      step.push_back({nOldLine, m_lines[nOldLine], std::nullopt});
    }
    step.push_back({nPlace, std::nullopt, std::move(stored)});
  }
  Commit(std::move(step));
  m_nSelected = nPlace;
  ShowCaption();
  return true;
}

int RecordEditor::PlaceFor(const EditorFields& /*fields*/, int nOldLine) const {
  return nOldLine < 0 ? RecordCount() : nOldLine;
}

bool RecordEditor::OnDelete() {
  if (OnNewRecordLine()) {
    return false;
  }
  Commit({{m_nSelected, m_lines[m_nSelected], std::nullopt}});
  OnSelChangeList(m_nSelected);
  return true;
}

bool RecordEditor::OnUndo() {
  return Replay(m_undo, m_redo, false);
}

bool RecordEditor::OnRedo() {
  return Replay(m_redo, m_undo, true);
}

bool RecordEditor::Replay(std::deque<EditStep>& from, std::deque<EditStep>& to, bool bForward) {
  if (from.empty()) {
    return false;
  }
  EditStep step = std::move(from.back());
  from.pop_back();
  Apply(step, bForward);
  // Undone, the step's first line is where it began; redone, its last is where it ended.
  const int nLine = bForward ? step.back().nLine : step.front().nLine;
  to.push_back(std::move(step));
  OnSelChangeList(std::min(nLine, RecordCount()));
  return true;
}

void RecordEditor::Apply(const EditStep& step, bool bForward) {
  m_lastEdits.clear();
  const auto apply = [this](int nLine, const std::optional<StoredLine>& before,
                            const std::optional<StoredLine>& after) {
    const auto at = m_lines.begin() + nLine;
    if (!before) {
      m_lines.insert(at, *after);
      m_lastEdits.push_back({LineEdit::kInserted, nLine});
    } else if (!after) {
      m_lines.erase(at);
      m_lastEdits.push_back({LineEdit::kRemoved, nLine});
    } else {
      *at = *after;
      m_lastEdits.push_back({LineEdit::kReplaced, nLine});
    }
  };
  if (bForward) {
    for (const LineChange& change : step) {
      apply(change.nLine, change.before, change.after);
    }
  } else {
    for (auto it = step.rbegin(); it != step.rend(); ++it) {
      apply(it->nLine, it->after, it->before);
    }
  }
}

void RecordEditor::Commit(EditStep step) {
  Apply(step, true);
  m_undo.push_back(std::move(step));
  if (m_undo.size() > kUndoSteps) {
    m_undo.pop_front();
  }
  m_redo.clear();
}

std::vector<int> RecordEditor::OpenedRecordLines() const {
  std::vector<int> lines(static_cast<std::size_t>(m_nOpenedRecords), -1);
  for (int i = 0; i < RecordCount(); ++i) {
    if (m_lines[i].nOpened >= 0) {
      lines[static_cast<std::size_t>(m_lines[i].nOpened)] = i;
    }
  }
  return lines;
}

void RecordEditor::SortRecordLines(
    const std::function<bool(const std::string&, const std::string&)>& less) {
  std::stable_sort(
      m_lines.begin(), m_lines.end() - 1,
      [&less](const StoredLine& a, const StoredLine& b) { return less(a.strText, b.strText); });
  m_undo.clear();
  m_redo.clear();
  OnSelChangeList(m_nSelected);
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
