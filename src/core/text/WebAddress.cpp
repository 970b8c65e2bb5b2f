#include "core/text/WebAddress.h"

#include <algorithm>
#include <cctype>

namespace velvane {

std::string WebAddress::Text(bool bCredentials) const {
  const bool bUser = bCredentials && !strUserInfo.empty();
  return strScheme + "://" + (bUser ? strUserInfo + "@" : std::string()) + strHost + strPath;
}

bool ParseWebAddress(std::string_view text, WebAddress& address) {
  const std::size_t nColon = text.find("://");
  if (nColon == std::string_view::npos) {
    return false;
  }
  std::string strScheme(text.substr(0, nColon));
  std::transform(strScheme.begin(), strScheme.end(), strScheme.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (strScheme != "http" && strScheme != "https") {
    return false;
  }
  const std::string_view rest = text.substr(nColon + 3);
  const std::size_t nPath = std::min(rest.find_first_of("/?#"), rest.size());
  const std::string_view authority = rest.substr(0, nPath);
  // A password may hold "@" only escaped; the last one ends the user information.
  const std::size_t nAt = authority.rfind('@');
  const std::string_view host =
      nAt == std::string_view::npos ? authority : authority.substr(nAt + 1);
  if (host.empty() || host.front() == ':' ||
      host.find_first_of(" \t\r\n") != std::string_view::npos) {
    return false;
  }
  address.strScheme = strScheme;
  address.strUserInfo =
      nAt == std::string_view::npos ? std::string() : std::string(authority.substr(0, nAt));
  address.strHost = std::string(host);
  address.strPath = std::string(rest.substr(nPath));
  return true;
}

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string strResult;
  strResult.reserve(text.size() * 3);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((std::isalnum(byte) != 0 && byte < 0x80) || c == '-' || c == '.' || c == '_' || c == '~') {
      strResult += c;
    } else {
      strResult += '%';
      strResult += kHex[byte >> 4];
      strResult += kHex[byte & 0x0F];
    }
  }
  return strResult;
}

}  // namespace velvane
