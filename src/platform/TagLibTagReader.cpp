#include "platform/TagLibTagReader.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <algorithm>

#include "core/db/NativeFile.h"
#include "core/text/Text.h"

namespace velvane {

bool TagLibTagReader::ReadTags(const std::string& strPath, FileTags& tags) {
  // No audio properties: only the tag is wanted, and reading them costs a scan of the file.
  // TagLib takes a wide name on Windows (a narrow one would be read in the ANSI code page).
  const std::filesystem::path path = PathFromUtf8(strPath);
  const TagLib::FileRef file(path.c_str(), false);
  if (file.isNull() || file.tag() == nullptr) {
    return false;
  }
  tags.strArtist = file.tag()->artist().to8Bit(true);
  tags.strTitle = file.tag()->title().to8Bit(true);
  tags.nTrack = static_cast<int>(std::min(file.tag()->track(), 65535U));
  // Every tag format names the disc "DISCNUMBER" in the common map, often as "1/2".
  const TagLib::StringList disc = file.file()->properties()["DISCNUMBER"];
  tags.nDisc = disc.isEmpty() ? 0 : Atoi(disc.front().to8Bit(true));
  return true;
}

}  // namespace velvane
