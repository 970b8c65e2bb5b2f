#include "core/editors/NumberOneEditor.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/db/NumberOneFile.h"
#include "core/editors/DateRule.h"
#include "core/editors/PlaylistLookup.h"

namespace velvane {

namespace {

RecordEditor::Layout NumberOneLayout() {
  using F = NumberOneEditor::Column;
  return {.strName = "Number One Editor",
          .cutFields = {F::kArtist, F::kTitle},
          .required = {F::kDate, F::kArtist, F::kTitle},
          .newRecord = {"", "", "", "", " ", " "},
          .nFocusField = F::kDate,
          // Every entry is a number one; a new one gets its position here, as the operator
          // cannot type it.
          .emptyAs = {"", "", "", "1", " ", " "}};
}

// The date field of a line: its text up to the first tab.
std::string_view LineDate(const std::string& strLine) {
  return std::string_view(strLine).substr(0, strLine.find('\t'));
}

bool EarlierLine(const std::string& strA, const std::string& strB) {
  return DateOrderKey(LineDate(strA)) < DateOrderKey(LineDate(strB));
}

}  // namespace

NumberOneEditor::NumberOneEditor(const TrackStore& store, Prompter& prompter, std::string strTitle,
                                 std::string strFilesDir, Clock& clock,
                                 std::function<std::string()> writeRefusal)
    : RecordEditor(prompter, std::move(strTitle), NumberOneLayout()),
      m_store(store),
      m_strFilesDir(std::move(strFilesDir)),
      m_clock(clock),
      m_writeRefusal(std::move(writeRefusal)) {
  // Without a database folder there is no hits.dat to read (and none in the working folder).
  // An unreadable file shows none of its entries, so saving would replace them with what the
  // editor shows.
  const std::vector<NumberOneEntry> entries = m_strFilesDir.empty()
                                                  ? std::vector<NumberOneEntry>()
                                                  : ReadNumberOnes(m_strFilesDir, &m_strUnreadable);
  for (const NumberOneEntry& entry : entries) {
    AddRecordLine({entry.strDate, entry.strArtist, entry.strTitle, "1", NumberShown(entry.strCD),
                   NumberShown(entry.strTrack)});
  }
  FinishOpening();
  OfferDateOrder();
}

void NumberOneEditor::OfferDateOrder() {
  for (int i = 0; i + 1 < RecordCount(); ++i) {
    if (EarlierLine(Line(i + 1), Line(i))) {
      if (GetPrompter().Show("The entries of hits.dat are not in date order, so the number one "
                             "on a date can be answered wrongly. Sort them by date now? (Save "
                             "And Exit then writes them in that order.)",
                             Title(), PromptIcon::Question,
                             PromptButtons::YesNo) == PromptAnswer::Yes) {
        SortRecordLines(EarlierLine);
      }
      return;
    }
  }
}

bool NumberOneEditor::PrepareUpdate(EditorFields& fields) {
  if (!ApplyDateRule(fields[kDate])) {
    Tell(DateRefusal(fields[kDate]));
    return false;
  }
  return true;
}

int NumberOneEditor::PlaceFor(const EditorFields& fields, int nOldLine) const {
  // A changed entry keeping its date keeps its place, even in a list left out of order.
  if (nOldLine >= 0 && LineDate(Line(nOldLine)) == fields[kDate]) {
    return nOldLine;
  }
  // After the entries of the same day or earlier: the first later one gives the place.
  const int nKey = DateOrderKey(fields[kDate]);
  int nPlace = 0;
  for (int i = 0; i < RecordCount(); ++i) {
    if (i == nOldLine) {
      continue;
    }
    if (DateOrderKey(LineDate(Line(i))) > nKey) {
      return nPlace;
    }
    ++nPlace;
  }
  return nPlace;
}

bool NumberOneEditor::OnFindInPlaylist() {
  EditorFields& fields = Fields();
  const std::optional<int> record =
      FindAcceptedPlaylistRecord(m_store, GetPrompter(), Title(), fields[kArtist], fields[kTitle]);
  if (!record) {
    return false;
  }
  if (*record >= 0) {
    fields[kCD] = m_store.Playlist(*record).strCD;
    fields[kTrack] = m_store.Playlist(*record).strTrack;
    return true;
  }
  fields[kCD].clear();
  fields[kTrack].clear();
  return true;
}

bool NumberOneEditor::OnSaveAndExit() {
  ShowSaving();
  if (m_strFilesDir.empty()) {
    Tell(
        "No database folder has been saved yet, so hits.dat cannot be written. Choose the "
        "Database Directory and press Save And Exit in the administration dialog first.");
    return false;
  }
  const std::string strRefusal = m_strUnreadable.empty()
                                     ? (m_writeRefusal ? m_writeRefusal() : std::string())
                                     : "hits.dat could not be read (" + m_strUnreadable + ")";
  if (!strRefusal.empty()) {
    Tell("The number one database is not saved: " + strRefusal + ".");
    return false;
  }
  std::vector<NumberOneEntry> entries;
  entries.reserve(static_cast<std::size_t>(RecordCount()));
  for (int i = 0; i < RecordCount(); ++i) {
    const EditorFields fields = RecordFields(i);
    entries.push_back(
        {fields[kDate], fields[kArtist], fields[kTitle], fields[kCD], fields[kTrack]});
  }
  if (SaveNumberOnes({m_strFilesDir, m_clock, GetPrompter(), Title()}, entries,
                     "Failed to create a new number one file")) {
    return true;
  }
  Tell(
      "The number one database could not be saved (errorlog.txt says why). Nothing is lost: "
      "try Save And Exit again, or Quit.");
  return false;
}

}  // namespace velvane
