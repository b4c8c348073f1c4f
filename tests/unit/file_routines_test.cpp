#include "core/common/file_routines.h"
#include "platform/desktop/desktop_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct PathCase {
    const char* name;
    const char* input;
    const char* expected;
};

class AddBackslashTest : public testing::TestWithParam<PathCase> {};
TEST_P(AddBackslashTest, EndsInSeparator) {
    EXPECT_EQ(bp::AddBackslash(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, AddBackslashTest,
                         testing::Values(PathCase{"plain", "/models", "/models/"},
                                         PathCase{"already", "/models/", "/models/"},
                                         PathCase{"empty", "", "/"}, PathCase{"root", "/", "/"},
                                         PathCase{"relative", "models", "models/"}),
                         [](const auto& info) { return info.param.name; });

class StripBackslashTest : public testing::TestWithParam<PathCase> {};
TEST_P(StripBackslashTest, RemovesOneSeparator) {
    EXPECT_EQ(bp::StripBackslash(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Paths, StripBackslashTest,
                         testing::Values(PathCase{"root", "/", ""}, PathCase{"folder", "/a/", "/a"},
                                         PathCase{"none", "/a", "/a"},
                                         PathCase{"only_one", "/a//", "/a/"},
                                         PathCase{"empty", "", ""}),
                         [](const auto& info) { return info.param.name; });

class QuoteIfSpacedTest : public testing::TestWithParam<PathCase> {};
TEST_P(QuoteIfSpacedTest, QuotesOnlyWithSpace) {
    EXPECT_EQ(bp::QuoteIfSpaced(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Texts, QuoteIfSpacedTest,
                         testing::Values(PathCase{"spaced", "My Model.dat", "\"My Model.dat\""},
                                         PathCase{"plain", "car.dat", "car.dat"},
                                         PathCase{"empty", "", ""},
                                         PathCase{"tab_is_no_space", "a\tb", "a\tb"},
                                         PathCase{"quotes_not_escaped", "a \"b\"", "\"a \"b\"\""}),
                         [](const auto& info) { return info.param.name; });

TEST(PathParts, SplitAtLastSeparator) {
    EXPECT_EQ(bp::fileNamePart("/a/b/c.dat"), "c.dat");
    EXPECT_EQ(bp::folderPart("/a/b/c.dat"), "/a/b/");
    EXPECT_EQ(bp::fileNamePart("c.dat"), "c.dat");
    EXPECT_EQ(bp::folderPart("c.dat"), "");
    EXPECT_EQ(bp::fileNamePart("/a/"), "");
    EXPECT_TRUE(bp::isFileSystemRoot("/"));
    EXPECT_FALSE(bp::isFileSystemRoot("/a"));
    EXPECT_FALSE(bp::isFileSystemRoot(""));
}

class FileRoutinesFolder : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "bp_files_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        std::filesystem::create_directory(m_root + "/LDraw");
        std::ofstream(m_root + "/LDraw/ledit.EXE") << "x";
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    std::string m_root;
    bp::desktop::PosixFileSystem m_files{"/"};
};

TEST_F(FileRoutinesFolder, FileExistsInNormalisesFolderAndIgnoresCase) {
    std::string folder = m_root + "/LDraw";
    EXPECT_TRUE(bp::FileExistsIn(m_files, folder, "LEdit.exe"));
    EXPECT_EQ(folder, m_root + "/LDraw/");

    folder = m_root + "/LDraw";
    EXPECT_FALSE(bp::FileExistsIn(m_files, folder, "l3p.exe"));
    EXPECT_EQ(folder, m_root + "/LDraw/");

    folder = m_root + "/Missing";
    EXPECT_FALSE(bp::FileExistsIn(m_files, folder, "LEdit.exe"));
}

TEST_F(FileRoutinesFolder, FileExistsInWithoutNameTestsFolderUnchanged) {
    std::string folder = m_root + "/LDraw";
    EXPECT_TRUE(bp::FileExistsIn(m_files, folder, ""));
    EXPECT_EQ(folder, m_root + "/LDraw");
}

TEST_F(FileRoutinesFolder, FolderExistsNormalises) {
    std::string folder = m_root + "/LDraw";
    EXPECT_TRUE(bp::FolderExists(m_files, folder));
    EXPECT_EQ(folder, m_root + "/LDraw/");

    folder = m_root + "/LDraw/ledit.EXE";
    EXPECT_FALSE(bp::FolderExists(m_files, folder));
    folder = m_root + "/nothing";
    EXPECT_FALSE(bp::FolderExists(m_files, folder));
    EXPECT_EQ(folder, m_root + "/nothing/");
}

} // namespace
