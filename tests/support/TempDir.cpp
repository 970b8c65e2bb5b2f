#include "support/TempDir.h"

#include <fstream>
#include <random>
#include <sstream>

namespace velvane {

TempDir::TempDir() {
  std::random_device random;
  for (;;) {
    m_path = std::filesystem::temp_directory_path() / ("velvane-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(m_path)) {
      break;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Folder() const {
  return (m_path / "").string();
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream file(m_path / name, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void TempDir::Write(const std::string& name, const std::string& content) const {
  std::ofstream file(m_path / name, std::ios::binary | std::ios::trunc);
  file << content;
}

bool TempDir::Exists(const std::string& name) const {
  return std::filesystem::exists(m_path / name);
}

}  // namespace velvane
