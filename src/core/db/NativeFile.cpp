#include "core/db/NativeFile.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velvane {

bool FlushToDisk(std::FILE* pFile) {
  if (std::fflush(pFile) != 0) {
    return false;
  }
#ifdef _WIN32
  return _commit(_fileno(pFile)) == 0;
#else
  return fsync(fileno(pFile)) == 0;
#endif
}

}  // namespace velvane
