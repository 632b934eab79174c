#include "settings/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/child_process.h"
#include "support/temp_dir.h"

using namespace quorvel;
using quorvel::testing::TempDir;

namespace {

// Keeps the variables that decide the folder and puts them back afterwards.
class ProgramFolderTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        for (const char *name : kNames) {
            const char *value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override
    {
        for (const auto &[name, value] : m_saved) {
            if (value)
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }

    static constexpr const char *kNames[] = {"QUORVEL_HOME", "XDG_CONFIG_HOME", "HOME"};
    std::vector<std::pair<const char *, std::optional<std::string>>> m_saved;
    TempDir m_dir;
};

std::string executableFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

TEST_F(ProgramFolderTest, QuorvelHomeNamesTheFolder)
{
    ::setenv("QUORVEL_HOME", (m_dir / "home//").c_str(), 1);
    EXPECT_EQ(programFolder(), m_dir / "home");
    ::setenv("QUORVEL_HOME", "/", 1);
    EXPECT_EQ(programFolder(), "/");
    EXPECT_EQ(fileInFolder(programFolder(), "config.ini"), "/config.ini");
    ::setenv("QUORVEL_HOME", "", 1);
    EXPECT_NE(programFolder(), "");
}

TEST_F(ProgramFolderTest, WritableExecutableFolderIsUsed)
{
    ::unsetenv("QUORVEL_HOME");
    ASSERT_EQ(::access(executableFolder().c_str(), W_OK), 0);
    EXPECT_EQ(programFolder(), executableFolder());
}

TEST_F(ProgramFolderTest, OtherwiseTheUsersConfigurationFolder)
{
    ::unsetenv("QUORVEL_HOME");
    ::chmod(m_dir.path().c_str(), 0777);
    const std::string exeFolder = executableFolder();
    const std::string xdg = m_dir / "xdg";
    const std::string home = m_dir / "home";
    // The child cannot write next to the executable (the folder belongs to root).
    const int code = quorvel::testing::runAsNobody([&] {
        if (::access(exeFolder.c_str(), W_OK) == 0)
            return 77;
        ::setenv("XDG_CONFIG_HOME", (xdg + "/").c_str(), 1);
        ::setenv("HOME", home.c_str(), 1);
        if (programFolder() != xdg + "/quorvel")
            return 1;
        if (std::filesystem::exists(xdg))
            return 2; // asking creates nothing
        if (!ensureProgramFolder().empty() || !std::filesystem::is_directory(xdg + "/quorvel"))
            return 3;
        ::setenv("XDG_CONFIG_HOME", "relative/path", 1);
        if (programFolder() != home + "/.config/quorvel")
            return 4;
        ::unsetenv("XDG_CONFIG_HOME");
        if (programFolder() != home + "/.config/quorvel")
            return 5;
        return 0;
    });
    if (code == 77)
        GTEST_SKIP() << "the executable's folder is writable for everyone";
    EXPECT_EQ(code, 0);
}

TEST_F(ProgramFolderTest, EnsureCreatesMissingFoldersPrivately)
{
    const std::string folder = m_dir / "a/b/c";
    ::setenv("QUORVEL_HOME", folder.c_str(), 1);
    EXPECT_EQ(ensureProgramFolder(), "");
    struct stat info {
    };
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(ensureProgramFolder(), ""); // existing: nothing to do

    std::ofstream(m_dir / "file") << "x";
    ::setenv("QUORVEL_HOME", (m_dir / "file").c_str(), 1);
    EXPECT_NE(ensureProgramFolder(), "");
    ::setenv("QUORVEL_HOME", (m_dir / "file/sub").c_str(), 1);
    EXPECT_NE(ensureProgramFolder(), "");
}

} // namespace
