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

// The desktop program's media ports. The media module loads on a thread of its own from the
// moment this is made, while the window is built and the databases are read; each port waits
// for it on first use and makes its adapter then. Without the module every port answers as a
// failure and names the reason, so nothing stops but what needs the libraries.
class MediaOnDemand final : public Mci,
                            public DeckGain,
                            public TagReader,
                            public AudioAnalyser,
                            public HttpClient {
 public:
  // `programDir`: the folder of the program, from which the module is found.
  explicit MediaOnDemand(const QString& programDir);
  ~MediaOnDemand() override;
  MediaOnDemand(const MediaOnDemand&) = delete;
  MediaOnDemand& operator=(const MediaOnDemand&) = delete;

  // Waits for the module; empty when it loaded, else why it did not.
  std::string Problem() const;
  // Clients for other threads, each made where it is asked for.
  HttpClientMaker HttpMaker() const;

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

  const Loaded& Module() const;
  template <class Port, class Make>
  Port* Adapter(Made<Port>& made, Make make);
  MpvMci* Player();
  HttpClient* Http();
  HttpResponse Unloaded() const;  // the failure every port reports without the module

  std::shared_future<Loaded> m_loaded;
  Made<MpvMci> m_player;
  Made<TagReader> m_tags;
  Made<AudioAnalyser> m_analyser;
  Made<HttpClient> m_http;
};

}  // namespace velvane
