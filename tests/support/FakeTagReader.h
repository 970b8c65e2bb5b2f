#pragma once

#include <map>
#include <string>

#include "core/ports/TagReader.h"

namespace velvane {

// Tags by file name (the last part of the path); files not named have no tags.
class FakeTagReader : public TagReader {
 public:
  bool ReadTags(const std::string& strPath, FileTags& tags) override;

  std::map<std::string, FileTags> m_tags;
  int m_nReads = 0;
};

}  // namespace velvane
