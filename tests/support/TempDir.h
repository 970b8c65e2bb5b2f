#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace velvane {

// The bytes of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A fresh folder under the system temp folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    do {
      m_path =
          std::filesystem::temp_directory_path() / ("velvane-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(m_path));
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // The folder as a folder setting: with the trailing separator.
  std::string Folder() const { return (m_path / "").string(); }
  std::string Read(const std::string& name) const { return ReadWholeFile(m_path / name); }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(m_path / name, std::ios::binary | std::ios::trunc) << content;
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(m_path / name); }

 private:
  std::filesystem::path m_path;
};

}  // namespace velvane
