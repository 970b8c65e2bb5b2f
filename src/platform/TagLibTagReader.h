#pragma once

#include "core/ports/TagReader.h"

namespace velvane {

// Tags through TagLib: ID3, Vorbis comments, MP4 and ASF alike.
class TagLibTagReader : public TagReader {
 public:
  bool ReadTags(const std::string& strPath, FileTags& tags) override;
};

}  // namespace velvane
