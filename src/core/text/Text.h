#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace velvane {

// C-library conversions with their exact leniency: leading blanks skipped, an optional sign,
// then digits up to the first non-digit; no digits give 0. Out-of-range values saturate.
int Atoi(std::string_view text);
long Atol(std::string_view text);

// printf-style formatting into a std::string.
std::string FormatInt(int value, int minDigits);  // "%N.Nd"
// Whether the text is not empty and holds the digits 0-9 only.
bool AllDigits(std::string_view text);
// The text without the spaces and TABs at its ends.
std::string TrimBlanks(std::string_view text);

// Splits `line` at any of `separators` the way strtok does: separators at the start are skipped
// and a run of separators counts as one, so no token is empty.
std::vector<std::string_view> SplitFields(std::string_view line,
                                          std::string_view separators = "\\");

// A line without its trailing CR LF or LF.
std::string_view StripLineEnd(std::string_view line);

// The first `nMaxBytes` bytes of a text; in UTF-8 text the cut moves back to a character
// boundary so no character is split.
std::string CutBytes(std::string_view text, std::size_t nMaxBytes);
// The same cut as a view of `text`.
std::string_view CutView(std::string_view text, std::size_t nMaxBytes);

// Text fields of the database lines hold at most this many bytes.
inline constexpr std::size_t kMaxFieldBytes = 127;
std::string CutField(std::string_view field);

// The text with each control character (below 0x20, and 0x7F) replaced by a space: one line
// for a log or a list, whatever a file name held.
std::string ControlsAsSpaces(std::string_view text);

// A text taken from a file name or a tag, made safe to store: control characters (below 0x20,
// and 0x7F) become a space, since a line break would split the record and a TAB the list
// line; a backslash becomes "/", since it ends a field; then it is cut like a field.
std::string ImportedText(std::string_view text);

// A text as one field of a TAB-separated line, where it may hold any byte: "\" is written
// "\\", TAB "\t", CR "\r" and LF "\n", so no field holds a separator or a line end.
std::string EscapeTabField(std::string_view text);
// The text back; false for an unknown escape or a "\" at the end.
bool UnescapeTabField(std::string_view field, std::string& text);
// The TAB-separated fields of a line, empty ones included, so that a line with a field too few
// or too many can be told.
std::vector<std::string_view> SplitTabFields(std::string_view line);
// The whole field as a number: "12x", "" and values out of range are refused.
template <typename T>
bool ReadWholeNumber(std::string_view field, T& value) {
  const char* pEnd = field.data() + field.size();
  const auto [pStop, error] = std::from_chars(field.data(), pEnd, value);
  return error == std::errc() && pStop == pEnd && !field.empty();
}

// A text field as written: empty fields become a single space so the line can be read back.
std::string_view FieldForWriting(std::string_view field);

// Stored texts are bytes: UTF-8 where they came from the operator, Windows-1252 in older
// databases. Returns the text as UTF-8 for display, each line on its own: a valid UTF-8 line
// unchanged, any other read as Windows-1252. A line built from several stored fields must
// convert each field on its own (see FormatArtistTitle), since each may differ.
bool IsValidUtf8(std::string_view text);
std::string DisplayUtf8(std::string_view text);

}  // namespace velvane
