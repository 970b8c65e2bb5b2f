#include <gtest/gtest.h>

#include "core/nowplaying/NowPlaying.h"
#include "core/text/Text.h"
#include "core/text/WebAddress.h"

namespace velvane {
namespace {

// A Windows-1252 artist, a quoted title, and a next track in UTF-8 with a TAB.
NowPlaying OnAir() {
  NowPlaying now;
  now.bOnAir = true;
  now.onAir = {{"Mot\xF6rhead", "Ace \"of\" Spades", "12", "3"}, "2026-12-04T17:59:00Z", 169000, 1};
  now.bNext = true;
  now.next = {"Bj\xC3\xB6rk", "Army\tof Me", "7", "1"};
  return now;
}

TEST(NowPlayingTemplateTest, ReplacesEveryNameKeepsOtherPercentsAndIsEmptyAfterAStop) {
  const struct {
    const char* pszTemplate;
    const char* pszExpected;
  } cases[] = {
      {"%artist% - %title%", "Mot\xC3\xB6rhead - Ace \"of\" Spades"},
      {"CD %cd%/%track%, next %next_artist% - %next_title%",
       "CD 12/3, next Bj\xC3\xB6rk - Army of Me"},
      {"100% %artist%", "100% Mot\xC3\xB6rhead"},
      {"%%artist%%", "%Mot\xC3\xB6rhead%"},
      {"%unknown% %title", "%unknown% %title"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandNowPlayingTemplate(c.pszTemplate, OnAir()), c.pszExpected) << c.pszTemplate;
  }
  EXPECT_EQ(ExpandNowPlayingTemplate("on air: %artist%", NowPlaying{}), "");
}

TEST(NowPlayingJsonTest, HoldsEveryFieldWithNullsForNoNextTrackAndAfterAStop) {
  NowPlaying now = OnAir();
  EXPECT_EQ(NowPlayingJson(now),
            "{\"on_air\":true,\"artist\":\"Mot\xC3\xB6rhead\",\"title\":\"Ace \\\"of\\\" Spades\","
            "\"cd\":\"12\",\"track\":\"3\",\"started\":\"2026-12-04T17:59:00Z\","
            "\"length_ms\":169000,\"next\":{\"artist\":\"Bj\xC3\xB6rk\",\"title\":"
            "\"Army\\u0009of Me\",\"cd\":\"7\",\"track\":\"1\"}}\n");
  now.bNext = false;
  EXPECT_NE(NowPlayingJson(now).find(",\"next\":null}\n"), std::string::npos);
  EXPECT_EQ(NowPlayingJson(NowPlaying{}),
            "{\"on_air\":false,\"artist\":null,\"title\":null,\"cd\":null,\"track\":null,"
            "\"started\":null,\"length_ms\":null,\"next\":null}\n");
}

// Reads a JSON string back: the escapes JsonString writes, everything else as it stands.
std::string Unescape(const std::string& strJson) {
  std::string strText;
  for (std::size_t i = 1; i + 1 < strJson.size(); ++i) {
    if (strJson[i] != '\\') {
      strText += strJson[i];
    } else if (strJson[++i] == 'u') {
      strText += static_cast<char>(std::stoi(strJson.substr(i + 1, 4), nullptr, 16));
      i += 4;
    } else {
      strText += strJson[i];
    }
  }
  return strText;
}

TEST(NowPlayingJsonTest, EveryByteBecomesValidUtf8WithNothingUnescaped) {
  for (int nByte = 0; nByte < 256; ++nByte) {
    SCOPED_TRACE(nByte);
    const std::string strText = "a" + std::string(1, static_cast<char>(nByte)) + "b";
    const std::string strJson = JsonString(strText);
    EXPECT_TRUE(IsValidUtf8(strJson));
    ASSERT_GE(strJson.size(), 2u);
    EXPECT_EQ(strJson.front(), '"');
    EXPECT_EQ(strJson.back(), '"');
    for (std::size_t i = 1; i + 1 < strJson.size(); ++i) {
      const auto c = static_cast<unsigned char>(strJson[i]);
      EXPECT_TRUE(c >= 0x20 && c != 0x7F && c != '"') << i;
      i += c == '\\' ? 1 : 0;  // the escaped character
    }
    EXPECT_EQ(Unescape(strJson), DisplayUtf8(strText));
  }
}

TEST(WebAddressTest, SplitsTheCredentialsOffAndRefusesWhatIsNoWebAddress) {
  const struct {
    const char* pszText;
    const char* pszShown;  // null: refused
    const char* pszUser;
  } cases[] = {
      {"http://source:p@ss@Host:8000/live?x=1", "http://Host:8000/live?x=1", "source:p@ss"},
      {"HTTPS://example.org", "https://example.org", ""},
      {"http://host/a@b", "http://host/a@b", ""},
      {"ftp://host/live", nullptr, ""},
      {"http://", nullptr, ""},
      {"http://user@/live", nullptr, ""},
      {"localhost:8000/live", nullptr, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszText);
    WebAddress address;
    ASSERT_EQ(ParseWebAddress(c.pszText, address), c.pszShown != nullptr);
    if (c.pszShown != nullptr) {
      EXPECT_EQ(address.Text(false), c.pszShown);
      EXPECT_EQ(address.strUserInfo, c.pszUser);
    }
  }
  EXPECT_EQ(PercentEncode("A - B/\xC3\xA9&=+~"), "A%20-%20B%2F%C3%A9%26%3D%2B~");
}

}  // namespace
}  // namespace velvane
