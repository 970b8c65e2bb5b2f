#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

#include "EncodedAudio.h"
#include "TaggedAudio.h"
#include "platform/TagLibTagReader.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

// import-library over files tagged by TagLib, read back through the program's tag reader.
class LibraryImportTagsTest : public ToolFixture {
 protected:
  LibraryImportTagsTest() {
    UseTempFolders();
    m_context.pTags = &m_tags;
  }

  TempDir m_src;
  TagLibTagReader m_tags;
};

TEST_F(LibraryImportTagsTest, OrdersByDiscAndTrackTagsAndFallsBackToTheName) {
  const fs::path album = m_src.Path() / "Band" / "Live";
  fs::create_directories(album);
  ASSERT_EQ(SoxSine(album / "c.flac", 0.05, ""), "");
  const struct {
    const char* pszName;
    const char* pszTitle;
    int nDisc;
    int nTrack;
  } files[] = {
      {"a.wav", "Encore", 2, 1},
      {"b.wav", "Opener", 1, 1},
      {"c.flac", "Second \xE2\x99\xAB", 1, 2},
  };
  for (const auto& file : files) {
    if (std::string_view(file.pszName).ends_with(".wav")) {
      ASSERT_TRUE(WriteSineWav((album / file.pszName).string(), 0.02, 440, 0.5));
    }
    ASSERT_TRUE(
        WriteTags(album / file.pszName, "The Band", file.pszTitle, file.nDisc, file.nTrack));
  }
  ASSERT_TRUE(WriteSineWav((album / "09 - Name Band - Name Song.wav").string(), 0.02, 440, 0.5));
  const std::string strFlac = m_src.Read("Band/Live/c.flac");

  ASSERT_EQ(Run({"import-library", m_src.Folder()}), 0) << m_err.str();
  const std::string strLive = m_src.Folder() + "Band/Live/";
  EXPECT_EQ(m_out.str(),
            "001\t01\tName Band\tName Song\t" + strLive + "09 - Name Band - Name Song.wav\n" +
                "001\t02\tThe Band\tOpener\t" + strLive + "b.wav\n" +
                "001\t03\tThe Band\tSecond \xE2\x99\xAB\t" + strLive + "c.flac\n" +
                "001\t04\tThe Band\tEncore\t" + strLive + "a.wav\n" +
                "Imported 4 tracks on 1 CD (CD 001); 0 already imported; 0 not importable\n");
  EXPECT_EQ(m_music.Read("001/03 - The Band - Second \xE2\x99\xAB.flac"), strFlac);
  EXPECT_EQ(m_src.Read("Band/Live/c.flac"), strFlac);  // the source as it was
  FileTags tags;
  ASSERT_TRUE(m_tags.ReadTags(m_music.Folder() + "001/04 - The Band - Encore.wav", tags));
  EXPECT_EQ(tags.nDisc, 2);
  EXPECT_EQ(tags.nTrack, 1);
}

}  // namespace
}  // namespace velvane
