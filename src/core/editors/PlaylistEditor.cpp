#include "core/editors/PlaylistEditor.h"

#include <utility>
#include <vector>

#include "core/search/TextMatch.h"
#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// A blank means none (0); anything else must be digits within the file's number block.
bool IsNumberUpTo(const std::string& strText, int nMax) {
  const std::size_t nBegin = strText.find_first_not_of(' ');
  if (nBegin == std::string::npos) {
    return true;
  }
  const std::size_t nEnd = strText.find_last_not_of(' ') + 1;
  const std::string_view digits = std::string_view(strText).substr(nBegin, nEnd - nBegin);
  return digits.find_first_not_of("0123456789") == std::string_view::npos && Atoi(digits) <= nMax;
}

RecordEditor::Layout PlaylistLayout() {
  using F = PlaylistEditor::Column;
  return {.strName = "Playlist Editor",
          .cutFields = {F::kArtist, F::kTitle},
          .required = {F::kArtist, F::kTitle, F::kCD, F::kTrack},
          .newRecord = {"", "", "", "", " ", "-1"},
          .nFocusField = F::kArtist,
          .emptyAs = {"", "", "", "", " ", "-1"}};
}

}  // namespace

PlaylistEditor::PlaylistEditor(TrackStore& store, Prompter& prompter, std::string strTitle)
    : RecordEditor(prompter, std::move(strTitle), PlaylistLayout()), m_store(store) {
  for (int i = 0; i < m_store.PlaylistCount(); ++i) {
    AddRecordLine(RecordLineFields(m_store.Playlist(i)));
  }
  FinishOpening();
}

EditorFields PlaylistEditor::RecordLineFields(const PlaylistView& entry) const {
  std::string strChartInfo = " ";
  int nLink = -1;
  if (entry.nChartLink >= 0 && entry.nChartLink < m_store.ChartCount()) {
    const ChartView chart = m_store.Chart(entry.nChartLink);
    strChartInfo = FormatChartInfo(chart.strPosition, chart.strDate);
    nLink = entry.nChartLink;
  }
  return {std::string(entry.strArtist),
          std::string(entry.strTitle),
          NumberShown(entry.strCD),
          NumberShown(entry.strTrack),
          strChartInfo,
          std::to_string(nLink)};
}

bool PlaylistEditor::PrepareUpdate(EditorFields& fields) {
  // playlist.dat holds CD and track in a fixed five-digit block.
  if (!IsNumberUpTo(fields[kCD], 999)) {
    Tell("The CD number must be a number from 0 to 999.");
    return false;
  }
  if (!IsNumberUpTo(fields[kTrack], 99)) {
    Tell("The track number must be a number from 0 to 99.");
    return false;
  }
  return true;
}

bool PlaylistEditor::OnFindChartEntry() {
  // Worked on a copy: a cancelled question leaves the fields as they were.
  EditorFields fields = Fields();
  int nBest = 1000;
  bool bFound = false;
  for (int j = 0; j < m_store.ChartCount(); ++j) {
    const ChartView chart = m_store.Chart(j);
    const MatchAnswer answer = AskMatch(GetPrompter(), Title(), fields[kArtist], chart.strArtist,
                                        fields[kTitle], chart.strTitle);
    if (answer == MatchAnswer::Cancel) {
      return false;
    }
    if (answer == MatchAnswer::No) {
      continue;
    }
    const int nPosition = Atoi(chart.strPosition);
    if (nPosition < nBest) {  // strictly: of equal positions the earlier entry stays
      fields[kArtist] = chart.strArtist;
      fields[kTitle] = chart.strTitle;
      fields[kChartLink] = std::to_string(j);
      fields[kChartInfo] = FormatChartInfo(chart.strPosition, chart.strDate);
      nBest = nPosition;
      bFound = true;
    }
  }
  if (!bFound) {
    fields[kChartInfo] = BlankField();
    fields[kChartLink] = NoLinkField();
  }
  Fields() = std::move(fields);
  return true;
}

bool PlaylistEditor::OnSaveAndExit() {
  if (!StartSaving(m_store.PlaySize(), "playlist", "records")) {
    return false;
  }
  const std::vector<int> recordLines = OpenedRecordLines();
  const int nCount = RecordCount();
  m_store.SetPlaylistCount(nCount);
  // Chart entries follow their records: an entry of a deleted record loses its link, and the
  // records after it have moved up.
  for (int j = 0; j < m_store.ChartCount(); ++j) {
    const int nLink = m_store.Chart(j).nPlaylistLink;
    if (nLink >= 0) {
      m_store.SetChartReference(LineOf(recordLines, nLink), j);
    }
  }
  for (int i = 0; i < nCount; ++i) {
    const EditorFields fields = RecordFields(i);
    const int nLink = static_cast<int>(Atol(fields[kChartLink]));
    m_store.SetPlaylistEntry(i, fields[kArtist], fields[kTitle], fields[kCD], fields[kTrack],
                             nLink);
    if (nLink != -1) {
      m_store.SetChartReference(i, nLink);
    }
  }
  return true;
}

}  // namespace velvane
