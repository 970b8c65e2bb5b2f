#pragma once

#include <QString>
#include <string>

namespace velvane {

// Stored bytes to the screen (UTF-8 where valid, else Windows-1252) and typed text back to the
// bytes we store (UTF-8). Every window of the view converts through these two; the adapters
// that show a text (message boxes, file dialogs) take DisplayUtf8 from the core directly.
QString ToDisplay(const std::string& strBytes);
std::string FromTyped(const QString& text);

}  // namespace velvane
