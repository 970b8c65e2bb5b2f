#pragma once

#include <filesystem>
#include <string>

namespace velvane {

// A fresh folder under the system temp folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // The folder as a folder setting: with the trailing separator.
  std::string Folder() const;
  std::string Read(const std::string& name) const;
  void Write(const std::string& name, const std::string& content) const;
  bool Exists(const std::string& name) const;

 private:
  std::filesystem::path m_path;
};

}  // namespace velvane
