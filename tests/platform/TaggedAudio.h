#pragma once

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <filesystem>
#include <string>

#include "core/demo/WavWriter.h"

namespace velvane {

// Tags written into an audio file by TagLib, as a tagging program would: empty texts and a
// zero track are left out, and the disc is written as "N/N".
inline bool WriteTags(const std::filesystem::path& path, const std::string& strArtist,
                      const std::string& strTitle, int nDisc, int nTrack) {
  TagLib::FileRef file(path.c_str(), false);
  if (file.isNull()) {
    return false;
  }
  TagLib::PropertyMap properties = file.file()->properties();
  if (nDisc > 0) {
    properties.replace("DISCNUMBER",
                       TagLib::String(std::to_string(nDisc) + "/" + std::to_string(nDisc)));
  }
  file.file()->setProperties(properties);
  file.tag()->setArtist(TagLib::String(strArtist, TagLib::String::UTF8));
  file.tag()->setTitle(TagLib::String(strTitle, TagLib::String::UTF8));
  file.tag()->setTrack(static_cast<unsigned>(nTrack));
  return file.save();
}

// A short tagged WAV file (a few hundredths of a second of sine).
inline bool WriteTaggedWav(const std::filesystem::path& path, const std::string& strArtist,
                           const std::string& strTitle, int nDisc, int nTrack) {
  return WriteSineWav(path.string(), 0.02, 440, 0.5) &&
         WriteTags(path, strArtist, strTitle, nDisc, nTrack);
}

}  // namespace velvane
