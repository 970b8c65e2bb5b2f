#pragma once

#include <cstdio>

namespace velvane {

// The operating system calls the core needs that differ between Windows and POSIX systems
// live here, so that every other core file builds from the C++ standard library alone.

// Writes the file's buffered data and has the system put it on the disk; false on failure.
bool FlushToDisk(std::FILE* pFile);

}  // namespace velvane
