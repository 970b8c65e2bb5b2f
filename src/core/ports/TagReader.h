#pragma once

#include <string>

namespace velvane {

// Artist and title from a music file's tags, as UTF-8; empty where the tag has none. The disc
// and track numbers are 0 where the tag has none ("3/12" reads as 3).
struct FileTags {
  std::string strArtist;
  std::string strTitle;
  int nDisc = 0;
  int nTrack = 0;
};

// Reads a music file's tags. Returns false when the file has no readable tags.
class TagReader {
 public:
  virtual ~TagReader() = default;
  virtual bool ReadTags(const std::string& strPath, FileTags& tags) = 0;
};

}  // namespace velvane
