#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/ports/HttpClient.h"

namespace velvane {

// The server side of every client its maker makes, each used on a thread of its own: records
// the requests ("GET url" or "POST url body"), answers 200 unless an answer was set for the
// address's start, and can hold the requests until released, like a server that never
// answers.
class SharedFakeHttp {
 public:
  HttpClientMaker Maker();

  // Requests to addresses starting with `strPrefix` get this answer.
  void Answer(const std::string& strPrefix, const HttpResponse& response);
  void Hold();
  void Release();
  // Waits until `nRequests` requests are held at once; false after 30 s without them.
  bool WaitUntilHeld(int nRequests);
  bool Holding();
  std::vector<std::string> Requests();

 private:
  class Client;
  HttpResponse Serve(const std::string& strRequest, const std::string& strUrl);

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::map<std::string, HttpResponse> m_answers;
  std::vector<std::string> m_requests;
  bool m_bHold = false;
  int m_nHeld = 0;
};

}  // namespace velvane
