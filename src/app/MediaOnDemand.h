#pragma once

#include <QString>
#include <future>
#include <memory>
#include <mutex>
#include <string>

#include "core/ports/AudioAnalyser.h"
#include "core/ports/DeckGain.h"
#include "core/ports/HttpClient.h"
#include "core/ports/Mci.h"
#include "core/ports/TagReader.h"
#include "platform/MediaModule.h"

namespace velvane {

// The desktop program's media ports. The media module loads on a thread of its own once the
// window is up, or on the first use of a port, which waits for it and makes its adapter then.
// Without the module every port answers as a failure and names the reason, so nothing stops
// but what needs the libraries. The audio engine is made at the first deck opened.
class MediaOnDemand final : public Mci,
                            public DeckGain,
                            public TagReader,
                            public AudioAnalyser,
                            public HttpClient {
 public:
  // `programDir`: the folder of the program, from which the module is found.
  explicit MediaOnDemand(QString programDir);
  ~MediaOnDemand() override;
  MediaOnDemand(const MediaOnDemand&) = delete;
  MediaOnDemand& operator=(const MediaOnDemand&) = delete;

  // Starts loading the module on a thread of its own, if not yet started. Loading holds the
  // dynamic loader, so the caller's own first use of Qt's plugins and fonts should come first.
  void StartLoading();
  // Whether the load has ended, either way; never waits.
  bool LoadEnded();
  // Waits for the module; empty when it loaded, else why it did not.
  std::string Problem();
  // Clients for other threads, each made where it is asked for.
  HttpClientMaker HttpMaker();

  int SendString(const std::string& command, std::string& reply) override;
  void SetGain(const std::string& strAlias, double dGainDb) override;
  bool ReadTags(const std::string& strPath, FileTags& tags) override;
  bool Analyse(const std::string& strPath, TrackMeasures& measures, std::string& strError) override;
  HttpResponse Get(const HttpRequest& request) override;
  HttpResponse Post(const HttpRequest& request, const std::string& strBody,
                    const std::string& strContentType) override;
  void Cancel() override;
  void SetProgressHandler(HttpProgressHandler onProgress) override;

 private:
  struct Loaded {
    const MediaModule* pModule = nullptr;
    std::string strProblem;
  };
  // One adapter, made by the module on its first use from whichever thread comes first.
  template <class Port>
  struct Made {
    std::once_flag once;
    std::unique_ptr<Port> pPort;
  };

  const Loaded& Module();
  template <class Port, class Make>
  Port* Adapter(Made<Port>& made, Make make);
  MpvMci* Player();
  HttpClient* Http();
  // The failure every port reports without the module.
  std::string UnloadedText();
  HttpResponse Unloaded();

  QString m_programDir;
  std::once_flag m_started;
  std::shared_future<Loaded> m_loaded;
  Made<MpvMci> m_player;
  bool m_bPlayerAsked = false;  // the audio engine is driven from the main thread alone
  Made<TagReader> m_tags;
  Made<AudioAnalyser> m_analyser;
  Made<HttpClient> m_http;
};

}  // namespace velvane
