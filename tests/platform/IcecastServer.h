#pragma once

#include <QProcess>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "support/TempDir.h"

namespace velvane {

// A real Icecast server (Debian package icecast2) on a free port of 127.0.0.1, run from a
// configuration written into a temporary folder, with one source streaming an mp3 to the mount
// /live as an encoder would (HTTP PUT, the mp3 sent again and again until the server ends). Icecast
// refuses to run as root: it then runs as nobody.
class IcecastServer {
 public:
  static constexpr const char* kSourcePassword = "hackme";

  IcecastServer() = default;
  ~IcecastServer();
  IcecastServer(const IcecastServer&) = delete;
  IcecastServer& operator=(const IcecastServer&) = delete;

  // Empty once the server runs and the source streams, else why not. Sets `bMissing` when
  // icecast2 is not installed.
  std::string Start(bool& bMissing);
  // "http://127.0.0.1:<port>"
  std::string Address() const;
  // The title /status-json.xsl shows for /live (empty without one), or "(why it could not be
  // read)".
  std::string Title() const;

 private:
  std::string StartSource();
  void Stream(int nSocket, const std::string& strMp3);

  TempDir m_dir;
  int m_nPort = 0;
  QProcess m_process;
  std::atomic<bool> m_bStop{false};
  std::thread m_source;
};

}  // namespace velvane
