#include "core/common/file_routines.h"
#include "platform/desktop/desktop_platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(FileRoutines, PathTexts) {
    const struct {
        std::string (*routine)(const std::string&);
        const char* input;
        const char* expected;
    } cases[] = {{bp::AddBackslash, "/models", "/models/"},
                 {bp::AddBackslash, "/models/", "/models/"},
                 {bp::AddBackslash, "", "/"},
                 {bp::StripBackslash, "/", ""},
                 {bp::StripBackslash, "/a", "/a"},
                 {bp::StripBackslash, "/a//", "/a/"},
                 {bp::StripBackslash, "", ""},
                 {bp::QuoteIfSpaced, "My Model.dat", "\"My Model.dat\""},
                 {bp::QuoteIfSpaced, "", ""},
                 {bp::QuoteIfSpaced, "a\tb", "a\tb"},
                 {bp::QuoteIfSpaced, "a \"b\"", "\"a \"b\"\""},
                 {bp::fileNamePart, "/a/b/c.dat", "c.dat"},
                 {bp::fileNamePart, "c.dat", "c.dat"},
                 {bp::fileNamePart, "/a/", ""},
                 {bp::folderPart, "/a/b/c.dat", "/a/b/"},
                 {bp::folderPart, "c.dat", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(c.routine(c.input), c.expected) << c.input;
    EXPECT_TRUE(bp::isFileSystemRoot("/"));
    EXPECT_FALSE(bp::isFileSystemRoot("/a"));
    EXPECT_FALSE(bp::isFileSystemRoot(""));
}

// Names match without regard to case; the folder may lack its separator;
// without a file name the folder itself is tested.
TEST(FileRoutines, ExistenceChecks) {
    const bp::test::TempFolder dir;
    const std::string root = dir.path() + "LDraw";
    std::filesystem::create_directory(root);
    std::ofstream(root + "/ledit.EXE") << "x";
    bp::desktop::PosixFileSystem files("/");
    EXPECT_TRUE(bp::FileExistsIn(files, root, "LEdit.exe"));
    EXPECT_TRUE(bp::FileExistsIn(files, root + "/", "LEdit.exe"));
    EXPECT_FALSE(bp::FileExistsIn(files, root, "l3p.exe"));
    EXPECT_TRUE(bp::FileExistsIn(files, root, ""));
    EXPECT_FALSE(bp::FileExistsIn(files, dir.path() + "Missing", "LEdit.exe"));
    EXPECT_TRUE(bp::FolderExists(files, root));
    EXPECT_FALSE(bp::FolderExists(files, root + "/ledit.EXE"));
    EXPECT_FALSE(bp::FolderExists(files, dir.path() + "nothing"));
}

} // namespace
