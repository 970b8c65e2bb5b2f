#include "app/MediaOnDemand.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <sstream>
#include <string_view>
#include <utility>

namespace velvane {

MediaOnDemand::MediaOnDemand(QString programDir) : m_programDir(std::move(programDir)) {}

void MediaOnDemand::StartLoading() {
  std::call_once(m_started, [this] {
    m_loaded = std::async(std::launch::async, [programDir = m_programDir] {
      Loaded loaded;
      loaded.pModule = LoadMediaModule(programDir, loaded.strProblem);
      return loaded;
    });
  });
}

// The adapters go before the module's load is waited for, which the future's end does.
MediaOnDemand::~MediaOnDemand() = default;

const MediaOnDemand::Loaded& MediaOnDemand::Module() {
  StartLoading();
  // A copy per call: waiting on one shared state from several threads is safe through copies.
  const std::shared_future<Loaded> loaded = m_loaded;
  return loaded.get();
}

bool MediaOnDemand::LoadEnded() {
  StartLoading();
  const std::shared_future<Loaded> loaded = m_loaded;
  return loaded.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

std::string MediaOnDemand::Problem() {
  return Module().strProblem;
}

template <class Port, class Make>
Port* MediaOnDemand::Adapter(Made<Port>& made, Make make) {
  std::call_once(made.once, [&] {
    if (const MediaModule* pModule = Module().pModule) {
      made.pPort = make(*pModule);
    }
  });
  return made.pPort.get();
}

MpvMci* MediaOnDemand::Player() {
  m_bPlayerAsked = true;
  return Adapter(m_player, [](const MediaModule& module) { return module.MakePlayer(); });
}

HttpClient* MediaOnDemand::Http() {
  return Adapter(m_http, [](const MediaModule& module) { return module.MakeHttpClient(); });
}

HttpClientMaker MediaOnDemand::HttpMaker() {
  return [this](std::chrono::milliseconds timeout) -> std::unique_ptr<HttpClient> {
    const MediaModule* pModule = Module().pModule;
    return pModule != nullptr ? pModule->MakeHttpClient(timeout) : nullptr;
  };
}

namespace {

bool IsOpen(const std::string& command) {
  std::istringstream words(command);
  std::string strVerb;
  words >> strVerb;
  return std::ranges::equal(strVerb, std::string_view("OPEN"), [](char c, char cUpper) {
    return std::toupper(static_cast<unsigned char>(c)) == cUpper;
  });
}

}  // namespace

int MediaOnDemand::SendString(const std::string& command, std::string& reply) {
  // Until a deck has been opened none is, and the engine would answer any other command as
  // for an alias that is not open: so answers the start-up's stop and close, without waiting
  // for the libraries behind the engine.
  if (!m_bPlayerAsked && !IsOpen(command)) {
    reply.clear();
    return kMciErrInvalidDeviceName;
  }
  MpvMci* pPlayer = Player();
  return pPlayer != nullptr ? pPlayer->SendString(command, reply) : kMciErrCannotLoadDriver;
}

void MediaOnDemand::SetGain(const std::string& strAlias, double dGainDb) {
  if (MpvMci* pPlayer = Player()) {
    pPlayer->SetGain(strAlias, dGainDb);
  }
}

bool MediaOnDemand::ReadTags(const std::string& strPath, FileTags& tags) {
  TagReader* pTags =
      Adapter(m_tags, [](const MediaModule& module) { return module.MakeTagReader(); });
  return pTags != nullptr && pTags->ReadTags(strPath, tags);
}

bool MediaOnDemand::Analyse(const std::string& strPath, TrackMeasures& measures,
                            std::string& strError) {
  AudioAnalyser* pAnalyser =
      Adapter(m_analyser, [](const MediaModule& module) { return module.MakeAnalyser(); });
  if (pAnalyser == nullptr) {
    strError = UnloadedText();
    return false;
  }
  return pAnalyser->Analyse(strPath, measures, strError);
}

std::string MediaOnDemand::UnloadedText() {
  return "cannot load the media module: " + Problem();
}

HttpResponse MediaOnDemand::Unloaded() {
  HttpResponse response;
  response.strError = UnloadedText();
  return response;
}

HttpResponse MediaOnDemand::Get(const HttpRequest& request) {
  if (HttpClient* pHttp = Http()) {
    return pHttp->Get(request);
  }
  return Unloaded();
}

HttpResponse MediaOnDemand::Post(const HttpRequest& request, const std::string& strBody,
                                 const std::string& strContentType) {
  if (HttpClient* pHttp = Http()) {
    return pHttp->Post(request, strBody, strContentType);
  }
  return Unloaded();
}

void MediaOnDemand::Cancel() {
  if (HttpClient* pHttp = Http()) {
    pHttp->Cancel();
  }
}

void MediaOnDemand::SetProgressHandler(HttpProgressHandler onProgress) {
  if (HttpClient* pHttp = Http()) {
    pHttp->SetProgressHandler(std::move(onProgress));
  }
}

}  // namespace velvane
