#pragma once

#include <cstdint>

#include "core/ports/Clock.h"

namespace velvane {

// The computer's clock, in UTC.
class SystemClock : public Clock {
 public:
  SystemTime NowUtc() override;
  std::int64_t SecondsSinceEpoch() override;
};

}  // namespace velvane
