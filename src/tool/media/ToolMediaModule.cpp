// velvane-tool's media module: the adapters that need FFmpeg, TagLib and Qt Network.
#include <QtGlobal>
#include <chrono>
#include <memory>

#include "platform/FfmpegAnalyser.h"
#include "platform/QtHttpClient.h"
#include "platform/TagLibTagReader.h"
#include "tool/ToolMedia.h"

namespace velvane {
namespace {

class MediaAdapters : public ToolMedia {
 public:
  TagReader& Tags() override { return m_tags; }
  HttpClient& Http() override { return m_http; }
  AudioAnalyser& Analyser() override { return m_analyser; }
  HttpClientMaker HttpMaker() override {
    return [](std::chrono::milliseconds timeout) -> std::unique_ptr<HttpClient> {
      return std::make_unique<QtHttpClient>(timeout, timeout);
    };
  }

 private:
  QtHttpClient m_http;
  TagLibTagReader m_tags;
  FfmpegAnalyser m_analyser;
};

}  // namespace
}  // namespace velvane

extern "C" Q_DECL_EXPORT velvane::ToolMedia* VelvaneToolMedia() {
  return new velvane::MediaAdapters;  // NOLINT(cppcoreguidelines-owning-memory): the caller owns it
}
