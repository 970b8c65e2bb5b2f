#include <gtest/gtest.h>

#include "core/nowplaying/NowPlaying.h"
#include "core/text/Text.h"
#include "core/text/WebAddress.h"

namespace velvane {
namespace {

// A Windows-1252 artist, a quoted title, and a next track in UTF-8 with a TAB.
NowPlaying OnAir() {
  return {true,
          {{"Mot\xF6rhead", "Ace \"of\" Spades", "12", "3"}, "2026-12-04T17:59:00Z", 169000, 1},
          true,
          {"Bj\xC3\xB6rk", "Army\tof Me", "7", "1"}};
}

TEST(NowPlayingTextTest, TheTemplateReplacesItsNamesKeepsOtherPercentsAndEmptiesAfterAStop) {
  for (const auto& [pszTemplate, pszExpected] :
       {std::pair{"%artist% - %title%", "Mot\xC3\xB6rhead - Ace \"of\" Spades"},
        {"%cd%/%track%, next %next_artist% - %next_title%", "12/3, next Bj\xC3\xB6rk - Army of Me"},
        {"100% %%artist%% %unknown% %title", "100% %Mot\xC3\xB6rhead% %unknown% %title"}}) {
    EXPECT_EQ(ExpandNowPlayingTemplate(pszTemplate, OnAir()), pszExpected) << pszTemplate;
  }
  EXPECT_EQ(ExpandNowPlayingTemplate("on air: %artist%", NowPlaying{}), "");
}

TEST(NowPlayingTextTest, TheJsonHoldsEveryFieldWithNullsForNoNextTrackAndAfterAStop) {
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

// Every byte gives valid UTF-8 with nothing unescaped that JSON forbids, and reads back as the
// text shown for it.
TEST(NowPlayingTextTest, AJsonStringOfAnyByteIsValidAndReadsBack) {
  for (int nByte = 0; nByte < 256; ++nByte) {
    const std::string strText = "a" + std::string(1, static_cast<char>(nByte)) + "b";
    const std::string strJson = JsonString(strText);
    EXPECT_TRUE(IsValidUtf8(strJson)) << nByte;
    std::string strRead;
    for (std::size_t i = 1; i + 1 < strJson.size(); ++i) {
      const auto c = static_cast<unsigned char>(strJson[i]);
      EXPECT_TRUE(c >= 0x20 && c != 0x7F && c != '"') << nByte;
      if (c == '\\' && strJson[i + 1] == 'u') {
        strRead += static_cast<char>(std::stoi(strJson.substr(i + 2, 4), nullptr, 16));
        i += 5;
      } else {
        i += c == '\\' ? 1 : 0;
        strRead += strJson[i];
      }
    }
    EXPECT_EQ(strRead, DisplayUtf8(strText)) << nByte;
  }
}

TEST(NowPlayingTextTest, AWebAddressKeepsItsCredentialsApart) {
  WebAddress address;
  ASSERT_TRUE(ParseWebAddress("HTTP://source:p@ss@Host:8000/live?x=1", address));
  EXPECT_EQ(address.strUserInfo, "source:p@ss");
  EXPECT_EQ(address.Text(false), "http://Host:8000/live?x=1");
  EXPECT_FALSE(ParseWebAddress("http://user@/live", address));
  EXPECT_EQ(PercentEncode("A - B/\xC3\xA9&=+~"), "A%20-%20B%2F%C3%A9%26%3D%2B~");
}

}  // namespace
}  // namespace velvane
