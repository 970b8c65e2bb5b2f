#pragma once

#include <filesystem>
#include <string>

namespace velvane {

// Test audio the FFmpeg libraries encode, for the formats sox cannot write (m4a, ADTS AAC,
// AC-3): a 997 Hz sine of peak `dAmplitude` on every channel, in the container and codec the
// file name's extension says. Returns an empty text, or why it could not be made.
std::string EncodeSine(const std::filesystem::path& path, int nChannels, int nRate, double dSeconds,
                       double dAmplitude);

}  // namespace velvane
