#include "IcecastServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTcpServer>
#include <chrono>
#include <fstream>
#include <iterator>

#include "EncodedAudio.h"
#include "platform/QtHttpClient.h"

namespace velvane {

namespace {

using namespace std::chrono_literals;

std::string Config(const std::filesystem::path& folder, int nPort) {
  const std::string strFolder = folder.string();
  // Icecast will not run as root; it then changes to nobody, who must be able to write logs.
  const std::string strOwner =
      geteuid() == 0 ? "<changeowner><user>nobody</user><group>nogroup</group></changeowner>" : "";
  return "<icecast><limits><sources>2</sources><source-timeout>30</source-timeout></limits>"
         "<authentication><source-password>" +
         std::string(IcecastServer::kSourcePassword) +
         "</source-password><admin-user>admin</admin-user><admin-password>admin-pw"
         "</admin-password></authentication><hostname>127.0.0.1</hostname>"
         "<listen-socket><port>" +
         std::to_string(nPort) +
         "</port><bind-address>127.0.0.1</bind-address></listen-socket>"
         "<paths><basedir>" +
         strFolder + "</basedir><logdir>" + strFolder +
         "</logdir><webroot>/usr/share/icecast2/web</webroot>"
         "<adminroot>/usr/share/icecast2/admin</adminroot></paths>"
         "<logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog>"
         "<loglevel>3</loglevel></logging><security><chroot>0</chroot>" +
         strOwner + "</security></icecast>\n";
}

int FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost);
  return probe.serverPort();
}

// A blocking connection to the server, or -1.
int Connect(int nPort) {
  const int nSocket = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(nPort));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (nSocket >= 0 &&
      connect(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    return nSocket;
  }
  if (nSocket >= 0) {
    close(nSocket);
  }
  return -1;
}

}  // namespace

IcecastServer::~IcecastServer() {
  m_bStop = true;
  if (m_source.joinable()) {
    m_source.join();
  }
  m_process.kill();
  m_process.waitForFinished();
}

std::string IcecastServer::Address() const {
  return "http://127.0.0.1:" + std::to_string(m_nPort);
}

std::string IcecastServer::Start(bool& bMissing) {
  const QString program = QStandardPaths::findExecutable(QStringLiteral("icecast2"));
  bMissing = program.isEmpty();
  if (bMissing) {
    return "icecast2 is not installed (Debian package icecast2)";
  }
  std::filesystem::permissions(m_dir.Path(), std::filesystem::perms::all);
  m_nPort = FreePort();
  const std::filesystem::path config = m_dir.Path() / "icecast.xml";
  std::ofstream(config) << Config(m_dir.Path(), m_nPort);
  m_process.setProcessChannelMode(QProcess::MergedChannels);
  m_process.start(program, {QStringLiteral("-c"), QString::fromStdString(config.string())});
  // Waits for the server to listen (a start-up, not a measure: a slow machine waits longer).
  for (int nTry = 0; nTry < 200; ++nTry) {
    if (m_process.state() == QProcess::NotRunning) {
      return "icecast2 ended at once: " + m_process.readAll().toStdString();
    }
    if (const int nSocket = Connect(m_nPort); nSocket >= 0) {
      close(nSocket);
      return StartSource();
    }
    std::this_thread::sleep_for(50ms);
  }
  return "icecast2 did not listen on port " + std::to_string(m_nPort);
}

std::string IcecastServer::StartSource() {
  const std::filesystem::path mp3 = m_dir.Path() / "tone.mp3";
  if (std::string strError = SoxSine(mp3, 2.0, "vol 0.1"); !strError.empty()) {
    return strError;
  }
  std::ifstream file(mp3, std::ios::binary);
  const std::string strMp3((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
  const int nSocket = Connect(m_nPort);
  const std::string strHead =
      "PUT /live HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Basic " +
      QByteArray(("source:" + std::string(kSourcePassword)).c_str()).toBase64().toStdString() +
      "\r\nContent-Type: audio/mpeg\r\nIce-Name: Velvane test\r\n\r\n";
  char answer[64] = {};
  if (nSocket < 0 || send(nSocket, strHead.data(), strHead.size(), MSG_NOSIGNAL) < 0 ||
      recv(nSocket, answer, sizeof answer - 1, 0) <= 0 ||
      std::string(answer).find(" 200 ") == std::string::npos) {
    if (nSocket >= 0) {
      close(nSocket);
    }
    return std::string("the server refused the source: ") + answer;
  }
  m_source = std::thread([this, nSocket, strMp3] { Stream(nSocket, strMp3); });
  // The mount is listed once the server has taken the first data.
  for (int nTry = 0; nTry < 200 && Title().rfind('(', 0) == 0; ++nTry) {
    std::this_thread::sleep_for(50ms);
  }
  const std::string strTitle = Title();
  return strTitle.rfind('(', 0) == 0 ? "the mount /live did not appear " + strTitle : "";
}

void IcecastServer::Stream(int nSocket, const std::string& strMp3) {
  // Faster than it plays, but in small steps: Icecast takes a new title into the stream only
  // with the data that follows it.
  constexpr std::size_t kStep = 4096;
  for (std::size_t nPos = 0; !m_bStop;) {
    const std::size_t nSize = std::min(kStep, strMp3.size() - nPos);
    if (send(nSocket, strMp3.data() + nPos, nSize, MSG_NOSIGNAL) < 0) {
      break;
    }
    nPos = (nPos + nSize) % strMp3.size();
    std::this_thread::sleep_for(20ms);
  }
  close(nSocket);
}

std::string IcecastServer::Title() const {
  QtHttpClient http(2000ms, 5000ms);
  const HttpResponse response = http.Get({Address() + "/status-json.xsl", 1 << 20});
  if (!response.bOk) {
    return "(status not read: " + response.strError + ")";
  }
  const QJsonObject source = QJsonDocument::fromJson(QByteArray::fromStdString(response.strBody))
                                 .object()[QStringLiteral("icestats")]
                                 .toObject()[QStringLiteral("source")]
                                 .toObject();
  if (source.isEmpty()) {
    return "(status without a source: " + response.strBody + ")";
  }
  const QJsonValue title = source[QStringLiteral("title")];
  return title.toString().toStdString();
}

}  // namespace velvane
