#pragma once

#include <cstddef>
#include <string>
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
inline std::string NumberShown(const std::string& strNumber) {
  return strNumber == "0" ? BlankField() : strNumber;
}

// The values of one list line, in line order; they are also the values the edit fields show.
using EditorFields = std::vector<std::string>;

// The working copy every database editor shares: the list lines exactly as the list shows them
// (each field followed by a tab, the new-record line last), the selected line, the values
// bound to the edit fields and the caption. Nothing reaches a database before the editor's own
// "Save And Exit".
class RecordEditor {
 public:
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

  virtual ~RecordEditor() = default;
  RecordEditor(const RecordEditor&) = delete;
  RecordEditor& operator=(const RecordEditor&) = delete;

  // --- what the dialog shows ---
  const std::string& Caption() const { return m_strCaption; }
  // Record lines plus the new-record line.
  int LineCount() const { return static_cast<int>(m_lines.size()); }
  const std::string& Line(int nLine) const { return m_lines[static_cast<std::size_t>(nLine)]; }
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
  // replaces a record line in place, or adds the record above the new-record line. Returns false
  // when refused (an empty required field refuses silently; the editor's own checks may say
  // why). Caption and fields stay as they are.
  bool OnUpdate();
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

 private:
  std::string BuildLine(const EditorFields& fields) const;

  Prompter& m_prompter;
  std::string m_strTitle;  // caption of the message boxes
  Layout m_layout;
  std::vector<std::string> m_lines;
  int m_nSelected = 0;
  EditorFields m_fields;
  std::string m_strCaption;
};

}  // namespace velvane
