#include "fileops/numbered_name.h"

#include <gtest/gtest.h>

using quorvel::numberedName;

namespace {

struct NameCase {
    const char *label;
    const char *name;
    bool isFolder;
    unsigned number;
    const char *expected;
};

class NumberedName : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(NumberedName, PutsTheNumberBeforeTheExtension)
{
    const NameCase &c = GetParam();
    EXPECT_EQ(numberedName(c.name, c.number, c.isFolder), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NumberedName,
    ::testing::Values(NameCase{"plain", "report.txt", false, 2, "report (2).txt"},
                      NameCase{"higher_number", "report.txt", false, 12, "report (12).txt"},
                      NameCase{"no_extension", "Makefile", false, 2, "Makefile (2)"},
                      NameCase{"last_dot_only", "photo.2024.jpg", false, 2, "photo.2024 (2).jpg"},
                      NameCase{"hidden", ".profile", false, 2, ".profile (2)"},
                      NameCase{"hidden_with_extension", ".bashrc.bak", false, 3, ".bashrc (3).bak"},
                      NameCase{"only_dots_before", "..x", false, 2, "..x (2)"},
                      NameCase{"trailing_dot", "a.", false, 2, "a. (2)"},
                      NameCase{"dots_only", "...", false, 2, "... (2)"},
                      NameCase{"tar_gz", "backup.tar.gz", false, 2, "backup (2).tar.gz"},
                      NameCase{"tar_upper_case", "B.TAR.XZ", false, 2, "B (2).TAR.XZ"},
                      NameCase{"tar_zst", "a.tar.zst", false, 2, "a (2).tar.zst"},
                      NameCase{"not_a_tar_archive", "a.star.gz", false, 2, "a.star (2).gz"},
                      NameCase{"hidden_tar", ".tar.gz", false, 2, ".tar (2).gz"},
                      NameCase{"plain_tar", "a.tar", false, 2, "a (2).tar"},
                      NameCase{"chinese", "文件.文档", false, 2, "文件 (2).文档"},
                      NameCase{"gbk_bytes", "\xce\xc4\xbc\xfe.txt", false, 2, "\xce\xc4\xbc\xfe (2).txt"},
                      NameCase{"folder_with_dot", "v1.2", true, 2, "v1.2 (2)"},
                      NameCase{"folder_tar_name", "x.tar.gz", true, 2, "x.tar.gz (2)"}),
    [](const auto &info) { return std::string(info.param.label); });

} // namespace
