#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace quorvel::testing {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    removeTree(m_path);
}

void removeTree(const std::string &path)
{
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    for (auto it = std::filesystem::recursive_directory_iterator(
             path, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path, ignored);
}

std::string TempDir::operator/(std::string_view relative) const
{
    return m_path + "/" + std::string(relative);
}

void makeTree(const std::string &root, std::initializer_list<std::string_view> entries)
{
    for (std::string_view entry : entries) {
        const std::string full = root + "/" + std::string(entry);
        if (!entry.empty() && entry.back() == '/') {
            std::filesystem::create_directories(full);
        } else {
            std::filesystem::create_directories(std::filesystem::path(full).parent_path());
            writeFile(full, entry);
        }
    }
}

void writeFile(const std::string &path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace quorvel::testing
