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

// The folder gains its separator when it exists, whatever the file's fate;
// without a file name it is tested as it is.
TEST(FileRoutines, ExistenceChecksNormaliseTheFolder) {
    const bp::test::TempFolder dir;
    const std::string root = dir.path() + "LDraw";
    std::filesystem::create_directory(root);
    std::ofstream(root + "/ledit.EXE") << "x";
    bp::desktop::PosixFileSystem files("/");
    std::string folder = root;
    EXPECT_TRUE(bp::FileExistsIn(files, folder, "LEdit.exe"));
    EXPECT_EQ(folder, root + "/");
    folder = root;
    EXPECT_FALSE(bp::FileExistsIn(files, folder, "l3p.exe"));
    EXPECT_EQ(folder, root + "/");
    folder = root;
    EXPECT_TRUE(bp::FileExistsIn(files, folder, ""));
    EXPECT_EQ(folder, root);
    folder = dir.path() + "Missing";
    EXPECT_FALSE(bp::FileExistsIn(files, folder, "LEdit.exe"));
    folder = root;
    EXPECT_TRUE(bp::FolderExists(files, folder));
    EXPECT_EQ(folder, root + "/");
    folder = root + "/ledit.EXE";
    EXPECT_FALSE(bp::FolderExists(files, folder));
    folder = dir.path() + "nothing";
    EXPECT_FALSE(bp::FolderExists(files, folder));
    EXPECT_EQ(folder, dir.path() + "nothing/");
}

} // namespace
