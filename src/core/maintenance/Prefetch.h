#pragma once

namespace velvane {

// Asks the processor for the cache line holding `pAddress` before it is used, so that waits for
// memory in a pass over a large library overlap instead of following one another. Only a hint:
// the address need not be read, and nothing happens where the compiler has no such hint.
// kForWrite: the line is about to be written.
template <bool kForWrite>
inline void Prefetch(const void* pAddress) {
#if defined(__GNUC__)
  __builtin_prefetch(pAddress, kForWrite ? 1 : 0);
#else
  static_cast<void>(pAddress);
#endif
}

inline void PrefetchForRead(const void* pAddress) {
  Prefetch<false>(pAddress);
}

inline void PrefetchForWrite(const void* pAddress) {
  Prefetch<true>(pAddress);
}

}  // namespace velvane
