// The velvane-media module: the adapters over libmpv, FFmpeg, TagLib and Qt Network, made on
// request for the program that loaded it.
#include <QtGlobal>

#include "platform/FfmpegAnalyser.h"
#include "platform/MediaModule.h"
#include "platform/QtHttpClient.h"
#include "platform/TagLibTagReader.h"

namespace velvane {
namespace {

class MediaAdapters : public MediaModule {
 public:
  std::unique_ptr<MpvMci> MakePlayer() const override { return std::make_unique<MpvMci>(); }
  std::unique_ptr<TagReader> MakeTagReader() const override {
    return std::make_unique<TagLibTagReader>();
  }
  std::unique_ptr<AudioAnalyser> MakeAnalyser() const override {
    return std::make_unique<FfmpegAnalyser>();
  }
  std::unique_ptr<HttpClient> MakeHttpClient() const override {
    return std::make_unique<QtHttpClient>();
  }
  std::unique_ptr<HttpClient> MakeHttpClient(std::chrono::milliseconds timeout) const override {
    return std::make_unique<QtHttpClient>(timeout, timeout);
  }
};

}  // namespace
}  // namespace velvane

extern "C" Q_DECL_EXPORT const velvane::MediaModule* VelvaneMedia() {
  static const velvane::MediaAdapters adapters;
  return &adapters;
}
