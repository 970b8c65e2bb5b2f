#pragma once

#include <string>

namespace velvane {

// The audio playback service, addressed with MCI command strings byte for byte.
// SendString returns 0 on success or a non-zero MCI-style error code; commands that
// answer (status queries) write their reply as text into `reply`.
class Mci {
 public:
  virtual ~Mci() = default;
  virtual int SendString(const std::string& command, std::string& reply) = 0;
};

}  // namespace velvane
