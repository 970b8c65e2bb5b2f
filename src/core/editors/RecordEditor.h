#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/Prompter.h"

namespace velvane {

// The blank that stands for an empty value in a line, and the link that names nothing.
inline std::string BlankField() {
  return " ";
}
inline std::string NoLinkField() {
  return "-1";
}
// CD and track "0" show as a blank.
inline std::string NumberShown(std::string_view strNumber) {
  return strNumber == "0" ? BlankField() : std::string(strNumber);
}

// Where a link to the record opened at `nIndex` points now (see OpenedRecordLines); -1 for none.
inline int LineOf(const std::vector<int>& recordLines, int nIndex) {
  return nIndex >= 0 && static_cast<std::size_t>(nIndex) < recordLines.size()
             ? recordLines[static_cast<std::size_t>(nIndex)]
             : -1;
}

// The values of one list line, in line order; they are also the values the edit fields show.
using EditorFields = std::vector<std::string>;

// The working copy every database editor shares: the list lines exactly as the list shows them
// (each field followed by a tab, the new-record line last), the selected line, the values
// bound to the edit fields and the caption. Nothing reaches a database before the editor's own
// "Save And Exit". "Update" and "Delete" are kept as their changes to single lines (never as
// copies of the list), so they can be undone and redone.
class RecordEditor {
 public:
  // What an edit did to the lines, in the order it was done, so a view can follow it.
  struct LineEdit {
    enum Kind { kReplaced, kInserted, kRemoved };
    Kind kind;
    int nLine;
  };

  // What one editor fixes about its lines.
  struct Layout {
    std::string strName;                 // "Playlist Editor": the caption before the counts
    std::vector<std::size_t> cutFields;  // shown and stored cut to kMaxLineFieldBytes
    std::vector<std::size_t> required;   // "Update" does nothing while one is empty
    EditorFields newRecord;              // the values shown on the new-record line
    std::size_t nFocusField;             // where "Top of list" / "Bottom of list" leave the focus
    EditorFields emptyAs;                // what an empty field holds once stored ("": stays empty)
  };

  // Artist and title show at most this many bytes in a line.
  static constexpr std::size_t kMaxLineFieldBytes = 64;
  // How many "Update" / "Delete" steps can be undone.
  static constexpr std::size_t kUndoSteps = 1000;

  virtual ~RecordEditor() = default;
  RecordEditor(const RecordEditor&) = delete;
  RecordEditor& operator=(const RecordEditor&) = delete;

  // --- what the dialog shows ---
  const std::string& Caption() const { return m_strCaption; }
  // Record lines plus the new-record line.
  int LineCount() const { return static_cast<int>(m_lines.size()); }
  const std::string& Line(int nLine) const {
    return m_lines[static_cast<std::size_t>(nLine)].strText;
  }
  int Selected() const { return m_nSelected; }
  std::size_t FieldCount() const { return m_layout.newRecord.size(); }
  const std::string& Field(std::size_t nField) const { return m_fields[nField]; }
  std::size_t FocusField() const { return m_layout.nFocusField; }

  // --- what the operator does ---
  // A typed value read from its edit field.
  void SetField(std::size_t nField, std::string strText);
  // The selection moved to `nLine` (Up / Down and clicks alike): caption and fields follow.
  void OnSelChangeList(int nLine);
  // Stores the fields into the selected line, each empty one as the layout's `emptyAs`:
  // replaces a record line, or adds the record, at the place the editor gives it (in place, and
  // above the new-record line, unless the editor keeps an order). Returns false when refused
  // (an empty required field refuses silently; the editor's own checks say why). The stored
  // line is selected and the caption follows; the fields stay as they are.
  bool OnUpdate();
  // Removes the selected record line (never the new-record line); the line that takes its
  // place is selected and shown. Returns false when there was nothing to remove.
  bool OnDelete();
  // Undo the last "Update" or "Delete" / redo the last undone one: the lines come back exactly,
  // and the line concerned is selected and shown. False when there is nothing to undo / redo.
  bool OnUndo();
  bool OnRedo();
  // What the last Update, Delete, Undo or Redo did to the lines.
  const std::vector<LineEdit>& LastEdits() const { return m_lastEdits; }
  // Selects the first line after the selection that holds `strSearch` (MatchText over the
  // whole line, hidden fields included; "#text" must equal the line). The new-record line is
  // never tested and the search does not wrap. Returns whether a line was found.
  bool OnSearch(const std::string& strSearch);
  void OnTopOfList();
  void OnBottomOfList();
  // "Quit", Esc and the close box: asks; returns whether the editor may close unsaved.
  bool OnQuit();

 protected:
  RecordEditor(Prompter& prompter, std::string strTitle, Layout layout);

  // Opening: one line per record in database order, then FinishOpening().
  void AddRecordLine(const EditorFields& fields);
  // Appends the new-record line and selects it.
  void FinishOpening();

  int RecordCount() const { return LineCount() - 1; }
  // A record line split back into its fields (each tab ends one; none is merged away).
  EditorFields RecordFields(int nLine) const;
  EditorFields& Fields() { return m_fields; }
  bool OnNewRecordLine() const { return m_nSelected == RecordCount(); }

  // "Save And Exit" starts: the caption becomes "<name> - Saving".
  void ShowSaving() { m_strCaption = m_layout.strName + " - Saving"; }
  // "Save And Exit" refuses more record lines than the database may hold, naming the limit:
  // "The <database> can hold at most <capacity> <records>, ...". Otherwise ShowSaving().
  bool StartSaving(int nCapacity, const std::string& strDatabase, const std::string& strRecords);
  // A refusal or failure the operator must read.
  void Tell(const std::string& strText);
  Prompter& GetPrompter() { return m_prompter; }
  const std::string& Title() const { return m_strTitle; }

  // The editor's own rules for "Update", on a copy of the fields: rewrite them as the line
  // must hold them, or return false to refuse. Empty fields are already as `emptyAs` says.
  virtual bool PrepareUpdate(EditorFields& fields) = 0;
  // Where "Update" puts the record `fields`: its index in the lines as they are without
  // `nOldLine` (the record line it replaces; -1 for a new record). By default a replaced
  // record stays in place and a new one goes above the new-record line.
  virtual int PlaceFor(const EditorFields& fields, int nOldLine) const;

  // For each record the editor opened with, the line that holds it now; -1 once deleted. The
  // other database's links are indexes, and this is how they follow the records.
  std::vector<int> OpenedRecordLines() const;
  // Puts the record lines in the order `less` gives (equal ones keep theirs). Not an edit that
  // can be undone: it is offered only while opening.
  void SortRecordLines(const std::function<bool(const std::string&, const std::string&)>& less);

 private:
  // A line and the record it was opened from (-1 for a record added in the editor).
  struct StoredLine {
    std::string strText;
    int nOpened;
  };
  // One line changed: replaced (both), inserted (no `before`) or removed (no `after`).
  struct LineChange {
    int nLine;
    std::optional<StoredLine> before;
    std::optional<StoredLine> after;
  };
  using EditStep = std::vector<LineChange>;

  std::string BuildLine(const EditorFields& fields) const;
  void ShowCaption();
  // Does `step` forwards (or backwards, to undo it), noting each change in LastEdits().
  void Apply(const EditStep& step, bool bForward);
  // Takes the last step of `from`, applies it (forward for redo), keeps it on `to`.
  bool Replay(std::deque<EditStep>& from, std::deque<EditStep>& to, bool bForward);
  void Commit(EditStep step);

  Prompter& m_prompter;
  std::string m_strTitle;  // caption of the message boxes
  Layout m_layout;
  std::vector<StoredLine> m_lines;
  int m_nOpenedRecords = 0;
  int m_nSelected = 0;
  EditorFields m_fields;
  std::string m_strCaption;
  std::deque<EditStep> m_undo;
  std::deque<EditStep> m_redo;
  std::vector<LineEdit> m_lastEdits;
};

}  // namespace velvane
