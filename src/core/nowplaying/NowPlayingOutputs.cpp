#include "core/nowplaying/NowPlayingOutputs.h"

#include <filesystem>
#include <utility>

#include "core/db/NativeFile.h"
#include "core/db/SafeSave.h"
#include "core/text/WebAddress.h"

namespace velvane {

namespace {

// The answers of a metadata update or a web hook are short; a page larger than this is no
// answer of theirs.
constexpr std::size_t kMaxAnswerBytes = std::size_t{64} * 1024;

class FileOutput : public NowPlayingOutput {
 public:
  FileOutput(std::string strPath, std::string strTemplate)
      : m_strName("the text file " + strPath),
        m_strPath(std::move(strPath)),
        m_strTemplate(std::move(strTemplate)) {
    m_strJsonPath = Utf8FromPath(PathFromUtf8(m_strPath).parent_path() / kNowPlayingJsonName);
  }

  const std::string& Name() const override { return m_strName; }

  std::string Send(const NowPlaying& now) override {
    std::string strError =
        ReplaceWholeFile(m_strPath, ExpandNowPlayingTemplate(m_strTemplate, now));
    if (strError.empty()) {
      strError = ReplaceWholeFile(m_strJsonPath, NowPlayingJson(now));
    }
    return strError;
  }

 private:
  std::string m_strName;
  std::string m_strPath;
  std::string m_strTemplate;
  std::string m_strJsonPath;
};

// The frame of the two outputs that talk HTTP.
class HttpOutput : public NowPlayingOutput {
 public:
  HttpOutput(const char* pszWhat, WebAddress address, HttpClientMaker makeHttp)
      : m_strName(std::string(pszWhat) + address.Text(false)),
        m_address(std::move(address)),
        m_makeHttp(std::move(makeHttp)) {}

  const std::string& Name() const override { return m_strName; }

  std::string Send(const NowPlaying& now) override {
    if (!now.bOnAir && !m_bAttempted) {
      return {};  // nothing told yet, so nothing to take back
    }
    const std::string strMessage = Message(now);
    if (m_bTaken && strMessage == m_strTaken) {
      return {};  // the server has it already
    }
    m_bAttempted = true;
    m_bTaken = false;
    if (!m_pHttp) {
      m_pHttp = m_makeHttp ? m_makeHttp(kNowPlayingTimeout) : nullptr;
      if (!m_pHttp) {
        return "this program cannot make HTTP requests";
      }
    }
    const HttpResponse response = Request(*m_pHttp, strMessage);
    if (!response.bOk) {
      return response.strError;
    }
    if (response.nStatus < 200 || response.nStatus > 299) {
      const bool bRefused = response.nStatus == 401 || response.nStatus == 403;
      return "the server answered with HTTP status " + std::to_string(response.nStatus) +
             (bRefused ? " (check the user name and password)" : "");
    }
    m_bTaken = true;
    m_strTaken = strMessage;
    return {};
  }

 protected:
  // What this output tells the server of the state.
  virtual std::string Message(const NowPlaying& now) const = 0;
  virtual HttpResponse Request(HttpClient& http, const std::string& strMessage) = 0;

  const WebAddress& Address() const { return m_address; }

 private:
  std::string m_strName;
  WebAddress m_address;
  HttpClientMaker m_makeHttp;
  std::unique_ptr<HttpClient> m_pHttp;
  bool m_bAttempted = false;  // a message has been sent, taken or not
  bool m_bTaken = false;      // the server took the last message sent: m_strTaken
  std::string m_strTaken;
};

class StreamServerOutput : public HttpOutput {
 public:
  StreamServerOutput(WebAddress address, HttpClientMaker makeHttp)
      : HttpOutput("the stream server ", std::move(address), std::move(makeHttp)) {}

 protected:
  // Listeners' players split the title at " - ", whatever the text file's template.
  std::string Message(const NowPlaying& now) const override {
    return ExpandNowPlayingTemplate(kDefaultNowPlayingTemplate, now);
  }

  HttpResponse Request(HttpClient& http, const std::string& strSong) override {
    WebAddress metadata = Address();
    metadata.strPath = "/admin/metadata?mount=" + PercentEncode(Address().strPath) +
                       "&mode=updinfo&charset=UTF-8&song=" + PercentEncode(strSong);
    return http.Get({metadata.Text(true), kMaxAnswerBytes});
  }
};

class WebHookOutput : public HttpOutput {
 public:
  WebHookOutput(WebAddress address, HttpClientMaker makeHttp)
      : HttpOutput("the web hook ", std::move(address), std::move(makeHttp)) {}

 protected:
  std::string Message(const NowPlaying& now) const override { return NowPlayingJson(now); }

  HttpResponse Request(HttpClient& http, const std::string& strJson) override {
    return http.Post({Address().Text(true), kMaxAnswerBytes}, strJson, "application/json");
  }
};

}  // namespace

std::string NowPlayingOutputSetting(NowPlayingOutputKind kind, const Settings& settings) {
  switch (kind) {
    case NowPlayingOutputKind::kFile:
      return settings.strNowPlayingFile.empty()
                 ? std::string()
                 : settings.strNowPlayingFile + '\n' + settings.strNowPlayingTemplate;
    case NowPlayingOutputKind::kStreamServer:
      return settings.strStreamServer;
    case NowPlayingOutputKind::kWebHook:
      return settings.strWebHook;
  }
  return {};
}

std::unique_ptr<NowPlayingOutput> MakeNowPlayingOutput(NowPlayingOutputKind kind,
                                                       const Settings& settings,
                                                       const HttpClientMaker& makeHttp) {
  WebAddress address;
  switch (kind) {
    case NowPlayingOutputKind::kFile:
      if (!settings.strNowPlayingFile.empty()) {
        return std::make_unique<FileOutput>(settings.strNowPlayingFile,
                                            settings.strNowPlayingTemplate);
      }
      break;
    case NowPlayingOutputKind::kStreamServer:
      if (ParseWebAddress(settings.strStreamServer, address)) {
        return std::make_unique<StreamServerOutput>(std::move(address), makeHttp);
      }
      break;
    case NowPlayingOutputKind::kWebHook:
      if (ParseWebAddress(settings.strWebHook, address)) {
        return std::make_unique<WebHookOutput>(std::move(address), makeHttp);
      }
      break;
  }
  return nullptr;
}

}  // namespace velvane
