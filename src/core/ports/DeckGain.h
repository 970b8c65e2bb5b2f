#pragma once

#include <string>

namespace velvane {

// A gain beneath an MCI alias' volume: the volume commands and their values stay as they are,
// the sound of the alias is scaled by the gain on top. Set before the alias is opened; it
// holds for that alias until set again.
class DeckGain {
 public:
  virtual ~DeckGain() = default;
  virtual void SetGain(const std::string& strAlias, double dGainDb) = 0;
};

}  // namespace velvane
