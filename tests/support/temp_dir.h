#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel::testing {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes. path() has no trailing slash.
class TempDir
{
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return m_path; }
    // path() + "/" + relative
    std::string operator/(std::string_view relative) const;

  private:
    std::string m_path;
};

// Removes a folder and everything in it, giving back any permission a test took away
// first. Errors are ignored: it is for cleaning up.
void removeTree(const std::string &path);

// Builds a fixture tree below root from a list of relative paths: an entry that ends in "/"
// is a folder, any other a file whose content is its own path. Parents are made as needed.
void makeTree(const std::string &root, std::initializer_list<std::string_view> entries);

// Writes bytes to a file, replacing it.
void writeFile(const std::string &path, std::string_view bytes);

// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::string &path);

} // namespace quorvel::testing
