#pragma once

#include <string>

namespace lirako::testing {

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string File(const std::string& name) const;
  // Writes `bytes` to the file `name` and returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // Makes the folder a build tree (it holds CMakeCache.txt) and returns the path of a program
  // "lirako" in it: a copy run from there keeps its data files beside itself.
  std::string BuildTreeProgram() const;

 private:
  std::string path_;
};

// The whole content of a file, or "" when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace lirako::testing
