#include "core/common/string_routines.h"
#include "platform/desktop/desktop_platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace bp::desktop;

using bp::test::TempFolder;

std::optional<std::string> readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeText(const std::string& path, const std::string& content, mode_t mode = 0644) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
    }
    ::chmod(path.c_str(), mode);
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// ---------------------------------------------------------------- Locations

struct LocationCase {
    const char* name;
    std::optional<std::string> xdg;
    std::string expected;
};

class LocationsTest : public testing::TestWithParam<LocationCase> {};

TEST_P(LocationsTest, ConfigHomeFromEnvironment) {
    ScopedEnv home("HOME", "/home/tester");
    ScopedEnv xdg("XDG_CONFIG_HOME", GetParam().xdg);
    const Locations where = Locations::fromEnvironment();
    EXPECT_EQ(where.configHome, GetParam().expected);
    EXPECT_EQ(where.settingsFile(), GetParam().expected + "Brickpov/settings.ini");
}

INSTANTIATE_TEST_SUITE_P(
    Environment, LocationsTest,
    testing::Values(LocationCase{"unset", std::nullopt, "/home/tester/.config/"},
                    LocationCase{"absolute", "/xdg/conf", "/xdg/conf/"},
                    LocationCase{"absolute_with_slash", "/xdg/conf/", "/xdg/conf/"},
                    LocationCase{"relative_is_ignored", "conf", "/home/tester/.config/"},
                    LocationCase{"empty_is_ignored", "", "/home/tester/.config/"}),
    [](const auto& info) { return info.param.name; });

TEST(Locations, ProgramDirIsTheFolderOfThisExecutable) {
    const Locations where = Locations::fromEnvironment();
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(where.programDir, self.substr(0, self.rfind('/') + 1));
}

// ------------------------------------------------------------ Atomic writes

class AtomicWriteTest : public testing::Test {
  protected:
    TempFolder m_dir;
};

TEST_F(AtomicWriteTest, ReplacesContentKeepsPermissionsLeavesNoTemporary) {
    const std::string target = m_dir.path() + "settings.ini";
    writeText(target, "old content that is longer than the new one", 0640);
    ASSERT_TRUE(writeFileAtomically(target, "new"));
    EXPECT_EQ(readText(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(namesIn(m_dir.path()), std::vector<std::string>{"settings.ini"});
}

TEST_F(AtomicWriteTest, CreatesMissingFile) {
    const std::string target = m_dir.path() + "new.ini";
    ASSERT_TRUE(writeFileAtomically(target, std::string("a\0b", 3)));
    EXPECT_EQ(readText(target), std::string("a\0b", 3));
}

TEST_F(AtomicWriteTest, WritesThroughSymbolicLink) {
    const std::string real = m_dir.path() + "real.ini";
    const std::string link = m_dir.path() + "link.ini";
    writeText(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readText(real), "new");
}

TEST_F(AtomicWriteTest, FailsWithoutTouchingAnything) {
    fs::create_directory(m_dir.path() + "folder");
    writeText(m_dir.path() + "folder/keep", "inside");
    EXPECT_FALSE(writeFileAtomically(m_dir.path() + "missing/x.ini", "data"));
    EXPECT_FALSE(writeFileAtomically(m_dir.path() + "folder", "data"));
    EXPECT_FALSE(writeFileAtomically(m_dir.path() + "folder/", "data"));
    EXPECT_FALSE(writeFileAtomically("", "data"));
    writeText(m_dir.path() + "readonly", "mine", 0444);
    std::string why;
    EXPECT_FALSE(writeFileAtomically(m_dir.path() + "readonly", "data", &why));
    EXPECT_EQ(why, "the file is read-only");
    EXPECT_EQ(readText(m_dir.path() + "readonly"), "mine");
    EXPECT_EQ(namesIn(m_dir.path()), (std::vector<std::string>{"folder", "readonly"}));
    EXPECT_EQ(namesIn(m_dir.path() + "folder"), std::vector<std::string>{"keep"});
}

// Writers killed mid-write leave temporaries; the next write clears those
// whose writer is gone, and only those.
TEST_F(AtomicWriteTest, RemovesTemporariesOfEndedWritersOnly) {
    const std::string target = m_dir.path() + "settings.ini";
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = ".settings.ini.tmp-" + std::to_string(gone) + "-7";
    const std::string live = ".settings.ini.tmp-" + std::to_string(::getppid()) + "-0";
    const std::vector<std::string> unrelated{".other.ini.tmp-" + std::to_string(gone) + "-1",
                                             ".settings.ini.tmp-old", "settings.ini.bak"};
    for (const std::string& name : unrelated)
        writeText(m_dir.path() + name, "keep");
    writeText(m_dir.path() + dead, "half a store");
    writeText(m_dir.path() + live, "being written");
    ASSERT_TRUE(writeFileAtomically(target, "new"));
    std::vector<std::string> expected = unrelated;
    expected.push_back(live);
    expected.push_back("settings.ini");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(m_dir.path()), expected);
}

TEST_F(AtomicWriteTest, FileSystemReplaceFile) {
    PosixFileSystem files(m_dir.path());
    const std::string scene = m_dir.path() + "car.pov";
    writeText(scene, "// old scene\n", 0604);
    ASSERT_TRUE(files.replaceFile(scene, "// new scene\n"));
    EXPECT_EQ(readText(scene), "// new scene\n");
    struct stat st {};
    ASSERT_EQ(::stat(scene.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);

    fs::create_directory(m_dir.path() + "folder.pov");
    EXPECT_FALSE(files.replaceFile(m_dir.path() + "folder.pov", "x"));
    EXPECT_TRUE(fs::is_directory(m_dir.path() + "folder.pov"));
    EXPECT_TRUE(fs::is_empty(m_dir.path() + "folder.pov"));
    EXPECT_EQ(namesIn(m_dir.path()), (std::vector<std::string>{"car.pov", "folder.pov"}));
}

// A full disk, simulated by a file size limit in a child process (root
// ignores permissions, so a read-only folder would prove nothing).
TEST_F(AtomicWriteTest, FailedWriteKeepsOldFileAndRemovesTemporary) {
    const std::string target = m_dir.path() + "settings.ini";
    writeText(target, "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = writeFileAtomically(target, std::string(1 << 20, 'x'));
        ::_exit(written ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have reported failure";
    EXPECT_EQ(readText(target), "old");
    EXPECT_EQ(namesIn(m_dir.path()), std::vector<std::string>{"settings.ini"});
}

// ----------------------------------------------------------- Settings store

struct SettingCase {
    const char* name;
    std::string app;
    std::string section;
    std::string key;
    std::string value;
};

const std::vector<SettingCase>& settingCases() {
    static const std::vector<SettingCase> cases{
        {"plain", "Brickpov", "Paths", "L3PPath", "/home/me/l3p/"},
        {"key_with_blank", "Brickpov", "Cameras", "UserCamera 0", "Front,0,0,-300,0,0,0,0,0,0"},
        {"value_with_specials", "Brickpov", "Paths", "Specials", "a=b,c \"d\" 'e' ;f #g [h]"},
        {"edge_blanks", "Brickpov", "Paths", "Blanks", "  both ends \t"},
        {"line_breaks", "Brickpov", "Paths", "Lines", "one\ntwo\r\nthree"},
        {"backslashes", "Brickpov", "Paths", "Backslash", "C:\\LDraw\\ \\x41 \\\\ \\"},
        {"empty_value", "Brickpov", "Paths", "Empty", ""},
        {"control_bytes", "Brickpov", "Paths", "Control", std::string("a\0b\x7f\x1b", 5)},
        {"utf8", "Brickpov", "Paths", "Ordner", "/home/j\xC3\xBCrgen/Modelle/"},
        {"key_like_comment", "Brickpov", "Paths", "#not a comment", "1"},
        {"key_like_semicolon", "Brickpov", "Paths", ";not a comment", "2"},
        {"key_like_header", "Brickpov", "Paths", "[not a header]", "3"},
        {"key_with_equals", "Brickpov", "Paths", "a=b", "4"},
        {"key_with_edge_blanks", "Brickpov", "Paths", " padded ", "5"},
        {"section_with_specials", "Brickpov", "Sec/tion]x[", "Key", "6"},
        {"app_with_slash", "Brick/pov", "Paths", "Key", "7"},
        {"same_key_other_case", "Brickpov", "Paths", "l3ppath", "lower"},
        {"same_section_other_case", "Brickpov", "paths", "L3PPath", "lower section"},
    };
    return cases;
}

class SettingsRoundTripTest : public testing::TestWithParam<SettingCase> {
  protected:
    TempFolder m_dir;
};

TEST_P(SettingsRoundTripTest, ValueComesBackExactly) {
    const SettingCase& c = GetParam();
    const std::string path = m_dir.path() + "Brickpov/settings.ini";
    FileSettingsStore(path).save(c.app, c.section, c.key, c.value);
    FileSettingsStore reader(path);
    EXPECT_EQ(reader.get(c.app, c.section, c.key, "fallback"), c.value);
}

INSTANTIATE_TEST_SUITE_P(Entries, SettingsRoundTripTest, testing::ValuesIn(settingCases()),
                         [](const auto& info) { return info.param.name; });

class SettingsStoreTest : public testing::Test {
  protected:
    std::string path() const { return m_dir.path() + "conf/Brickpov/settings.ini"; }
    TempFolder m_dir;
};

TEST_F(SettingsStoreTest, EntriesStayApartInOneFile) {
    FileSettingsStore store(path());
    for (const SettingCase& c : settingCases())
        store.save(c.app, c.section, c.key, c.value);
    for (const SettingCase& c : settingCases())
        EXPECT_EQ(store.get(c.app, c.section, c.key, "fallback"), c.value) << c.name;
}

TEST_F(SettingsStoreTest, MissingGivesFallback) {
    FileSettingsStore store(path());
    EXPECT_EQ(store.get("Brickpov", "Paths", "L3PPath", "/fallback/"), "/fallback/");
    store.save("Brickpov", "Paths", "L3PPath", "/stored/");
    EXPECT_EQ(store.get("Brickpov", "Paths", "EXEName", "L3P.exe"), "L3P.exe");
    EXPECT_EQ(store.get("Brickpov", "Other", "L3PPath", "none"), "none");
    EXPECT_EQ(store.get("Other", "Paths", "L3PPath", "none"), "none");
}

TEST_F(SettingsStoreTest, RemoveDeletesOnlyThatKey) {
    FileSettingsStore store(path());
    store.save("Brickpov", "Cameras", "UserCamera 0", "a");
    store.save("Brickpov", "Cameras", "UserCamera 1", "b");
    store.remove("Brickpov", "Cameras", "UserCamera 0");
    EXPECT_EQ(store.get("Brickpov", "Cameras", "UserCamera 0", "gone"), "gone");
    EXPECT_EQ(store.get("Brickpov", "Cameras", "UserCamera 1", "gone"), "b");
    store.remove("Brickpov", "Cameras", "UserCamera 1");
    store.save("Brickpov", "Cameras", "UserCamera 1", "again");
    EXPECT_EQ(store.get("Brickpov", "Cameras", "UserCamera 1", "gone"), "again");
}

TEST_F(SettingsStoreTest, RemoveOfMissingKeyCreatesNothing) {
    FileSettingsStore store(path());
    store.remove("Brickpov", "Cameras", "UserCamera 0");
    EXPECT_FALSE(fs::exists(path()));
}

TEST_F(SettingsStoreTest, SeesChangesMadeByOthers) {
    FileSettingsStore store(path());
    store.save("Brickpov", "Paths", "L3PPath", "/ours/");
    EXPECT_EQ(store.get("Brickpov", "Paths", "L3PPath", ""), "/ours/");
    // Written by hand, blanks around the names and CR LF line ends included.
    writeText(path(), "[ Brickpov / Paths ]\r\n  L3PPath = /theirs/  \r\n");
    EXPECT_EQ(store.get("Brickpov", "Paths", "L3PPath", ""), "/theirs/");
    FileSettingsStore other(path());
    other.save("Brickpov", "Paths", "L3PPath", "/other/");
    EXPECT_EQ(store.get("Brickpov", "Paths", "L3PPath", ""), "/other/");
}

TEST_F(SettingsStoreTest, UnchangedValueIsNotWritten) {
    FileSettingsStore store(path());
    store.save("Brickpov", "Paths", "L3PPath", "/same/");
    const ino_t before = inodeOf(path());
    store.save("Brickpov", "Paths", "L3PPath", "/same/");
    EXPECT_EQ(inodeOf(path()), before);
    store.save("Brickpov", "Paths", "L3PPath", "/changed/");
    EXPECT_NE(inodeOf(path()), before);
}

TEST_F(SettingsStoreTest, JunkIsIgnoredAndReadableEntriesSurviveASave) {
    fs::create_directories(m_dir.path() + "conf/Brickpov");
    const char binary[] = "\x7f"
                          "ELF\x01\x02\x00\x00 binary=junk\n";
    std::string junk(binary, sizeof binary - 1);
    junk += "[Brickpov/Paths]\n";
    junk += "L3PPath=/good/\n";
    junk += "a line without equals\n";
    junk += std::string("\x00\x01=\x02\n", 5);
    junk += "[no slash header]\n";
    junk += "Lost=not in any section\n";
    junk += "[Brickpov/Paths\n";
    junk += "Unclosed=header\n";
    junk += "[Brickpov/Paths]\n";
    junk += "L3PPath=/second wins not/\n";
    junk += "ModelPath=/models/\n";
    junk += "Cut=ends without line break \\x4";
    writeText(path(), junk);

    FileSettingsStore store(path());
    EXPECT_EQ(store.get("Brickpov", "Paths", "L3PPath", ""), "/good/");
    EXPECT_EQ(store.get("Brickpov", "Paths", "ModelPath", ""), "/models/");
    EXPECT_EQ(store.get("Brickpov", "Paths", "Cut", ""), "ends without line break \\x4");
    EXPECT_EQ(store.get("Brickpov", "Paths", "Lost", "none"), "none");
    EXPECT_EQ(store.get("Brickpov", "Paths", "Unclosed", "none"), "none");

    store.save("Brickpov", "Paths", "POVPath", "/pov/");
    FileSettingsStore reader(path());
    EXPECT_EQ(reader.get("Brickpov", "Paths", "L3PPath", ""), "/good/");
    EXPECT_EQ(reader.get("Brickpov", "Paths", "ModelPath", ""), "/models/");
    EXPECT_EQ(reader.get("Brickpov", "Paths", "Cut", ""), "ends without line break \\x4");
    EXPECT_EQ(reader.get("Brickpov", "Paths", "POVPath", ""), "/pov/");
    EXPECT_LT(fs::file_size(path()), 1000u);
}

// Unreadable stores: a folder or a FIFO where the file should be. Changes
// last in memory, nothing is written over, and the user is told once.
TEST_F(SettingsStoreTest, UnreadableStoreIsLeftAloneAndChangesLastInMemory) {
    for (const bool fifo : {false, true}) {
        TempFolder dir;
        const std::string path = dir.path() + "settings.ini";
        ASSERT_EQ(fifo ? ::mkfifo(path.c_str(), 0644) : ::mkdir(path.c_str(), 0755), 0);
        FileSettingsStore store(path);
        EXPECT_EQ(store.get("Brickpov", "Paths", "L3PPath", "fallback"), "fallback");
        EXPECT_EQ(store.takeProblem(), "");
        store.save("Brickpov", "Paths", "LGEOPath", "Not Installed");
        EXPECT_EQ(store.get("Brickpov", "Paths", "LGEOPath", ""), "Not Installed");
        const std::string problem = store.takeProblem();
        EXPECT_NE(problem.find(path), std::string::npos) << problem;
        EXPECT_NE(problem.find("could not be read"), std::string::npos) << problem;
        store.remove("Brickpov", "Paths", "LGEOPath");
        EXPECT_EQ(store.get("Brickpov", "Paths", "LGEOPath", "gone"), "gone");
        EXPECT_EQ(store.takeProblem(), "");
        EXPECT_EQ(fifo ? fs::is_fifo(path) : fs::is_directory(path), true);
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"settings.ini"});
    }
}

// Stores that cannot be written: a file where the folder should be, a
// read-only file, a full disk (a file size limit in a child process).
TEST_F(SettingsStoreTest, UnwritableStoreKeepsAnswersAndSaysSoOnce) {
    writeText(m_dir.path() + "conf", "a file named like the folder");
    FileSettingsStore blocked(path());
    blocked.save("Brickpov", "Paths", "LGEOPath", "Not Installed");
    blocked.save("Brickpov", "Paths", "EXEName", "L3P.exe");
    EXPECT_EQ(blocked.get("Brickpov", "Paths", "LGEOPath", ""), "Not Installed");
    EXPECT_EQ(blocked.get("Brickpov", "Paths", "EXEName", ""), "L3P.exe");
    const std::string problem = blocked.takeProblem();
    EXPECT_EQ(problem, path() + " could not be written (Not a directory)");
    EXPECT_EQ(blocked.takeProblem(), "");

    const std::string readOnly = m_dir.path() + "readonly.ini";
    writeText(readOnly, "[Brickpov/Paths]\nL3PPath=/l3p/\n", 0444);
    FileSettingsStore kept(readOnly);
    kept.save("Brickpov", "Paths", "L3PPath", "/mine/");
    EXPECT_EQ(kept.get("Brickpov", "Paths", "L3PPath", ""), "/mine/");
    EXPECT_EQ(readText(readOnly), "[Brickpov/Paths]\nL3PPath=/l3p/\n");
    EXPECT_EQ(kept.takeProblem(), readOnly + " could not be written (the file is read-only)");

    const std::string full = m_dir.path() + "full.ini";
    writeText(full, "[Brickpov/Paths]\nL3PPath=/l3p/\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        FileSettingsStore store(full);
        store.save("Brickpov", "Cameras", "UserCamera 0", std::string(8192, 'x'));
        const bool kept = store.get("Brickpov", "Cameras", "UserCamera 0", "").size() == 8192;
        const bool told = store.takeProblem().find("(File too large)") != std::string::npos;
        ::_exit(kept && told ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readText(full), "[Brickpov/Paths]\nL3PPath=/l3p/\n");
}

struct StoreTextCase {
    const char* name;
    std::string before; // ahead of the entries: a byte-order mark, a filler
    std::string lineEnd;
    std::string l3pPath;
};

// Stores as other writers and editors leave them. Every entry reads, and
// survives a save made by this program.
class SettingsStoreTextTest : public testing::TestWithParam<StoreTextCase> {
  protected:
    TempFolder m_dir;
};

TEST_P(SettingsStoreTextTest, EveryEntryReadsAndSurvivesASave) {
    const StoreTextCase& c = GetParam();
    const std::string path = m_dir.path() + "settings.ini";
    const std::string& n = c.lineEnd;
    writeText(path, c.before + "[Brickpov/Paths]" + n + "L3PPath=" + c.l3pPath + n +
                        "[Brickpov/Cameras]" + n + "UserCamera 0=Front,0,0,-300" + n +
                        "UserCamera 1=Back,0,0,300");
    for (int pass = 0; pass < 2; ++pass) {
        FileSettingsStore store(path);
        EXPECT_EQ(store.get("Brickpov", "Paths", "L3PPath", "").size(), c.l3pPath.size());
        EXPECT_EQ(store.get("Brickpov", "Cameras", "UserCamera 0", ""), "Front,0,0,-300");
        EXPECT_EQ(store.get("Brickpov", "Cameras", "UserCamera 1", ""), "Back,0,0,300");
        if (c.before.size() > 100) {
            EXPECT_EQ(store.get("Brickpov", "Filler", "Key 0", ""), "v");
        }
        store.save("Brickpov", "Paths", "POVPath", "/pov/");
        EXPECT_EQ(store.takeProblem(), "");
    }
    EXPECT_EQ(FileSettingsStore(path).get("Brickpov", "Paths", "POVPath", ""), "/pov/");
}

std::string filler(std::size_t size) {
    std::string text = "[Brickpov/Filler]\nKey 0=v\n";
    for (int i = 1; text.size() < size; ++i)
        text += "Key " + std::to_string(i) + "=" + std::string(4000, 'v') + "\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Stores, SettingsStoreTextTest,
    testing::Values(StoreTextCase{"lf", "", "\n", "/l3p/"},
                    StoreTextCase{"crlf", "", "\r\n", "/l3p/"},
                    StoreTextCase{"cr_only", "", "\r", "/l3p/"},
                    StoreTextCase{"byte_order_mark", "\xEF\xBB\xBF", "\n", "/l3p/"},
                    StoreTextCase{"value_over_a_megabyte", "", "\n", std::string(3u << 20, 'x')},
                    StoreTextCase{"over_16_megabytes", filler(17u << 20), "\n", "/l3p/"}),
    [](const auto& info) { return info.param.name; });

// Two instances writing at once, each its own keys: every key of both stays.
TEST_F(SettingsStoreTest, TwoProcessesKeepEachOthersKeys) {
    constexpr int kKeys = 80;
    std::vector<pid_t> children;
    for (const char* who : {"A", "B"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileSettingsStore store(path());
            for (int i = 0; i < kKeys; ++i)
                store.save("Brickpov", "Cameras", std::string(who) + std::to_string(i), who);
            ::_exit(store.takeProblem().empty() ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    FileSettingsStore reader(path());
    int kept = 0;
    for (const std::string who : {"A", "B"})
        for (int i = 0; i < kKeys; ++i)
            kept += reader.get("Brickpov", "Cameras", who + std::to_string(i), "") == who;
    EXPECT_EQ(kept, 2 * kKeys);
}

// An instance that changes one key keeps what another wrote since it read
// the store, also for a key it had read before.
TEST_F(SettingsStoreTest, ChangedKeyWinsOthersAreKept) {
    FileSettingsStore first(path());
    FileSettingsStore second(path());
    first.save("Brickpov", "Paths", "ModelPath", "/first/models/");
    first.save("Brickpov", "Paths", "POVPath", "/first/pov/");
    EXPECT_EQ(second.get("Brickpov", "Paths", "POVPath", ""), "/first/pov/");
    first.save("Brickpov", "Paths", "POVPath", "/first/pov2/");
    second.save("Brickpov", "Paths", "ModelPath", "/second/models/");
    second.remove("Brickpov", "Cameras", "UserCamera 0");
    FileSettingsStore reader(path());
    EXPECT_EQ(reader.get("Brickpov", "Paths", "ModelPath", ""), "/second/models/");
    EXPECT_EQ(reader.get("Brickpov", "Paths", "POVPath", ""), "/first/pov2/");
}

// ------------------------------------------------------------ Profile files

struct ProfileReadCase {
    const char* name;
    const char* section;
    const char* key;
    const char* expected;
};

class ProfileReadTest : public testing::TestWithParam<ProfileReadCase> {
  protected:
    void SetUp() override {
        writeText(m_dir.path() + "LDraw.INI", "; BaseDirectory=/in/comment\r\n"
                                              "Orphan=before any section\r\n"
                                              "[ldraw]\r\n"
                                              "  BaseDirectory =  /usr/share/ldraw  \r\n"
                                              "Quoted=\"/a b/\"\r\n"
                                              "Single=' x '\r\n"
                                              "HalfQuoted=\"/a\r\n"
                                              "Equals=a=b\r\n"
                                              "Long=" +
                                                  std::string(60, 'L') +
                                                  "\r\n"
                                                  "Dup=first\r\n"
                                                  "Dup=second\r\n"
                                                  "[Other] ; comment\r\n"
                                                  "BaseDirectory=/other\r\n");
    }
    TempFolder m_dir;
};

TEST_P(ProfileReadTest, ReadsLikeProfileStrings) {
    IniProfileFile profile(m_dir.path());
    EXPECT_EQ(profile.getString(GetParam().section, GetParam().key, "fallback", "LDraw.ini"),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ProfileReadTest,
    testing::Values(ProfileReadCase{"trimmed", "LDraw", "BaseDirectory", "/usr/share/ldraw"},
                    ProfileReadCase{"names_ignore_case", "LDRAW", "basedirectory",
                                    "/usr/share/ldraw"},
                    ProfileReadCase{"other_section", "Other", "BaseDirectory", "/other"},
                    ProfileReadCase{"quotes_removed", "LDraw", "Quoted", "/a b/"},
                    ProfileReadCase{"single_quotes_removed", "LDraw", "Single", " x "},
                    ProfileReadCase{"lone_quote_kept", "LDraw", "HalfQuoted", "\"/a"},
                    ProfileReadCase{"equals_in_value", "LDraw", "Equals", "a=b"},
                    ProfileReadCase{"no_length_limit", "LDraw", "Long",
                                    "LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL"},
                    ProfileReadCase{"first_of_repeated_key", "LDraw", "Dup", "first"},
                    ProfileReadCase{"missing_key", "LDraw", "Missing", "fallback"},
                    ProfileReadCase{"missing_section", "Missing", "BaseDirectory", "fallback"},
                    ProfileReadCase{"outside_sections", "", "Orphan", "fallback"}),
    [](const auto& info) { return info.param.name; });

TEST(ProfileFile, MissingFileGivesFallback) {
    TempFolder dir;
    IniProfileFile profile(dir.path());
    EXPECT_EQ(profile.getString("LDraw", "BaseDirectory", "", "LDraw.ini"), "");
    IniProfileFile noFolder(dir.path() + "none");
    EXPECT_EQ(noFolder.getString("LDraw", "BaseDirectory", "x", "LDraw.ini"), "x");
}

struct ProfileWriteCase {
    const char* name;
    std::optional<std::string> before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

class ProfileWriteTest : public testing::TestWithParam<ProfileWriteCase> {
  protected:
    TempFolder m_dir;
};

TEST_P(ProfileWriteTest, ChangesOnlyItsLine) {
    const ProfileWriteCase& c = GetParam();
    const std::string file = m_dir.path() + "LDraw.ini";
    if (c.before)
        writeText(file, *c.before);
    IniProfileFile profile(m_dir.path());
    ASSERT_TRUE(profile.writeString(c.section, c.key, c.value, "LDraw.ini"));
    EXPECT_EQ(readText(file), c.after);
    EXPECT_EQ(profile.getString(c.section, c.key, "fallback", "LDraw.ini"), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileWriteTest,
    testing::Values(
        ProfileWriteCase{"replace_keeps_rest_crlf",
                         "; LDraw settings\r\n[Other]\r\nA=1\r\n\r\n[LDraw]\r\n; the "
                         "library\r\nBaseDirectory=/old\r\nLgeoDirectory=/lgeo\r\n",
                         "LDraw", "BaseDirectory", "/new",
                         "; LDraw settings\r\n[Other]\r\nA=1\r\n\r\n[LDraw]\r\n; the "
                         "library\r\nBaseDirectory=/new\r\nLgeoDirectory=/lgeo\r\n"},
        ProfileWriteCase{"replace_keeps_spelling_and_blanks", "[LDRAW]\n basedirectory = /old\n",
                         "LDraw", "BaseDirectory", "/new", "[LDRAW]\n basedirectory = /new\n"},
        ProfileWriteCase{"add_key_before_blank_lines", "[LDraw]\nA=1\n\n[Other]\nB=2\n", "LDraw",
                         "LgeoDirectory", "/lgeo",
                         "[LDraw]\nA=1\nLgeoDirectory=/lgeo\n\n[Other]\nB=2\n"},
        ProfileWriteCase{"add_key_to_empty_section", "[LDraw]\n[Other]\n", "LDraw", "K", "v",
                         "[LDraw]\nK=v\n[Other]\n"},
        ProfileWriteCase{"add_key_to_unterminated_end", "[LDraw]\nA=1", "LDraw", "K", "v",
                         "[LDraw]\nA=1\nK=v\n"},
        ProfileWriteCase{"add_section_at_end", "[Other]\nB=2\n", "LDraw", "BaseDirectory", "/x",
                         "[Other]\nB=2\n\n[LDraw]\nBaseDirectory=/x\n"},
        ProfileWriteCase{"add_section_after_unterminated_line", "[Other]\nB=2", "LDraw",
                         "BaseDirectory", "/x", "[Other]\nB=2\n\n[LDraw]\nBaseDirectory=/x\n"},
        ProfileWriteCase{"add_section_crlf", "[Other]\r\nB=2\r\n\r\n", "LDraw", "BaseDirectory",
                         "/x", "[Other]\r\nB=2\r\n\r\n[LDraw]\r\nBaseDirectory=/x\r\n"},
        ProfileWriteCase{"comment_line_is_not_the_key", "[LDraw]\n;BaseDirectory=/c\n", "LDraw",
                         "BaseDirectory", "/x", "[LDraw]\n;BaseDirectory=/c\nBaseDirectory=/x\n"},
        ProfileWriteCase{"byte_order_mark_kept", "\xEF\xBB\xBF[LDraw]\nA=1\n", "LDraw", "A", "2",
                         "\xEF\xBB\xBF[LDraw]\nA=2\n"},
        ProfileWriteCase{"empty_file", "", "LDraw", "A", "1", "[LDraw]\nA=1\n"},
        ProfileWriteCase{"created_when_missing", std::nullopt, "LDraw", "BaseDirectory",
                         "/usr/share/ldraw", "[LDraw]\nBaseDirectory=/usr/share/ldraw\n"}),
    [](const auto& info) { return info.param.name; });

TEST(ProfileFile, NameCaseSelectsOneFile) {
    TempFolder dir;
    IniProfileFile profile(dir.path());
    ASSERT_TRUE(profile.writeString("LDraw", "BaseDirectory", "/a", "LDraw.INI"));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"LDraw.ini"});
    EXPECT_EQ(profile.getString("LDraw", "BaseDirectory", "", "LDraw.ini"), "/a");
    EXPECT_EQ(profile.getString("LDraw", "BaseDirectory", "", "ldraw.INI"), "/a");

    fs::rename(dir.path() + "LDraw.ini", dir.path() + "ldraw.INI");
    ASSERT_TRUE(profile.writeString("LDraw", "LgeoDirectory", "/g", "LDraw.INI"));
    ASSERT_TRUE(profile.writeString("LDraw", "BaseDirectory", "/b", "LDraw.ini"));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"ldraw.INI"});
    EXPECT_EQ(readText(dir.path() + "ldraw.INI"), "[LDraw]\nBaseDirectory=/b\nLgeoDirectory=/g\n");
}

TEST(ProfileFile, MissingFolderIsCreated) {
    TempFolder dir;
    IniProfileFile profile(dir.path() + "config/deeper");
    ASSERT_TRUE(profile.writeString("LDraw", "BaseDirectory", "/a", "LDraw.INI"));
    EXPECT_EQ(readText(dir.path() + "config/deeper/LDraw.ini"), "[LDraw]\nBaseDirectory=/a\n");
}

TEST(ProfileFile, RefusesTextsThatBreakLinesAndKeepsFile) {
    TempFolder dir;
    const std::string file = dir.path() + "LDraw.ini";
    writeText(file, "[LDraw]\nBaseDirectory=/a\n");
    IniProfileFile profile(dir.path());
    EXPECT_FALSE(profile.writeString("LDraw", "BaseDirectory", "/b\n[Evil]", "LDraw.ini"));
    EXPECT_FALSE(profile.writeString("LDraw", "Base\rDirectory", "/b", "LDraw.ini"));
    EXPECT_FALSE(profile.writeString("LD]raw", "BaseDirectory", "/b", "LDraw.ini"));
    EXPECT_FALSE(profile.writeString("LDraw", "Base=Directory", "/b", "LDraw.ini"));
    EXPECT_FALSE(profile.writeString("LDraw", "  ", "/b", "LDraw.ini"));
    EXPECT_EQ(readText(file), "[LDraw]\nBaseDirectory=/a\n");
}

TEST(ProfileFile, UnchangedValueIsNotWritten) {
    TempFolder dir;
    const std::string file = dir.path() + "LDraw.ini";
    writeText(file, "[LDraw]\nBaseDirectory=/a\n");
    const ino_t before = inodeOf(file);
    IniProfileFile profile(dir.path());
    ASSERT_TRUE(profile.writeString("ldraw", "basedirectory", "/a", "LDraw.INI"));
    EXPECT_EQ(inodeOf(file), before);
}

// ------------------------------------------------------------- File system

class FileSystemTest : public testing::Test {
  protected:
    void SetUp() override {
        writeText(m_dir.path() + "file.dat", "x");
        writeText(m_dir.path() + ".hidden", "x");
        fs::create_directory(m_dir.path() + "Folder");
        fs::create_symlink(m_dir.path() + "file.dat", m_dir.path() + "link.dat");
        fs::create_symlink(m_dir.path() + "Folder", m_dir.path() + "linkdir");
        fs::create_symlink(m_dir.path() + "nothing", m_dir.path() + "dangling");
    }
    TempFolder m_dir;
    PosixFileSystem m_files{"/opt/brickpov"};
};

struct ExistsCase {
    const char* name;
    const char* entry;
    bool file;
    bool folder;
};

class FileSystemExistsTest : public FileSystemTest,
                             public testing::WithParamInterface<ExistsCase> {};

TEST_P(FileSystemExistsTest, TellsFilesFromFolders) {
    const std::string path = m_dir.path() + GetParam().entry;
    EXPECT_EQ(m_files.fileExists(path), GetParam().file);
    EXPECT_EQ(m_files.folderExists(path), GetParam().folder);
    EXPECT_EQ(m_files.exists(path), GetParam().file || GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Entries, FileSystemExistsTest,
                         testing::Values(ExistsCase{"file", "file.dat", true, false},
                                         ExistsCase{"hidden_file", ".hidden", false, false},
                                         ExistsCase{"folder", "Folder", false, true},
                                         ExistsCase{"folder_with_slash", "Folder/", false, true},
                                         ExistsCase{"link_to_file", "link.dat", true, false},
                                         ExistsCase{"link_to_folder", "linkdir", false, true},
                                         ExistsCase{"dangling_link", "dangling", false, false},
                                         ExistsCase{"missing", "missing", false, false},
                                         ExistsCase{"file_as_folder", "file.dat/x", false, false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(FileSystemTest, FindNoCasePrefersExactName) {
    writeText(m_dir.path() + "LEDIT.EXE", "x");
    writeText(m_dir.path() + "ledit.exe", "x");
    EXPECT_EQ(m_files.findNoCase(m_dir.path(), "ledit.exe"), "ledit.exe");
    EXPECT_EQ(m_files.findNoCase(m_dir.path(), "LEDIT.EXE"), "LEDIT.EXE");
    EXPECT_EQ(m_files.findNoCase(m_dir.path(), "LEdit.exe"), "LEDIT.EXE"); // first by name
    EXPECT_EQ(m_files.findNoCase(m_dir.path(), "FILE.DAT"), "file.dat");
    EXPECT_EQ(m_files.findNoCase(m_dir.path(), "folder"), "Folder");
    EXPECT_EQ(m_files.findNoCase(m_dir.path(), "DANGLING"), std::nullopt);
    EXPECT_EQ(m_files.findNoCase(m_dir.path(), "missing"), std::nullopt);
    EXPECT_EQ(m_files.findNoCase(m_dir.path(), ""), std::nullopt);
    EXPECT_EQ(m_files.findNoCase(m_dir.path() + "none/", "file.dat"), std::nullopt);
}

TEST_F(FileSystemTest, ModifiedIsTheFileTime) {
    const std::string path = m_dir.path() + "file.dat";
    const timespec times[2] = {{1000000000, 0}, {1234567890, 500000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const auto expected = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::milliseconds(1234567890500)));
    EXPECT_EQ(m_files.modified(path), expected);
    EXPECT_EQ(m_files.modified(m_dir.path() + "missing"), std::nullopt);
}

TEST_F(FileSystemTest, ListGivesEntriesWithKind) {
    std::vector<std::pair<std::string, bool>> listed;
    for (const bp::DirEntry& e : m_files.list(m_dir.path()))
        listed.emplace_back(e.name, e.isFolder);
    const std::vector<std::pair<std::string, bool>> expected{
        {".hidden", false}, {"dangling", false}, {"file.dat", false},
        {"Folder", true},   {"link.dat", false}, {"linkdir", true}};
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(m_files.list(m_dir.path() + "missing").empty());
}

// Without regard to case first, so that "_" sorts before letters of either
// case; names that differ only in case by their bytes.
TEST(FileSystem, ListSortsWithoutRegardToCase) {
    TempFolder dir;
    for (const char* name : {"aB.ldr", "a_b.ldr", "b.dat", "A.dat", "a.DAT", "B.DAT", "Z.mpd"})
        writeText(dir.path() + name, "x");
    std::vector<std::string> names;
    for (const bp::DirEntry& e : PosixFileSystem("/").list(dir.path()))
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"A.dat", "a.DAT", "a_b.ldr", "aB.ldr", "B.DAT",
                                               "b.dat", "Z.mpd"}));
}

TEST_F(FileSystemTest, ProgramFolderEndsInSeparator) {
    EXPECT_EQ(m_files.programFolder(), "/opt/brickpov/");
}

// ---------------------------------------------------------------- Programs

struct SplitCase {
    const char* name;
    const char* parameters;
    std::vector<std::string> expected;
};

class SplitParametersTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitParametersTest, SplitsLikeACommandLine) {
    EXPECT_EQ(bp::splitArguments(GetParam().parameters), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitParametersTest,
    testing::Values(SplitCase{"plain", "-o -b car.dat", {"-o", "-b", "car.dat"}},
                    SplitCase{"quoted_whole_argument",
                              "\"/my models/car.dat\" out.pov",
                              {"/my models/car.dat", "out.pov"}},
                    SplitCase{"quotes_inside_kept",
                              "+I\"/my dir/car.pov\" +W640",
                              {"+I\"/my dir/car.pov\"", "+W640"}},
                    SplitCase{"many_blanks_and_tabs", "  a \t  b  ", {"a", "b"}},
                    SplitCase{"empty", "", {}}, SplitCase{"blanks_only", "   ", {}},
                    SplitCase{"empty_quotes", "a \"\" b", {"a", "", "b"}},
                    SplitCase{"unterminated_quote", "-b \"/my dir/car", {"-b", "/my dir/car"}},
                    SplitCase{"quotes_not_around_whole", "\"a\"b\"c\"", {"\"a\"b\"c\""}},
                    SplitCase{"shell_characters", "a;b $HOME 'c d'", {"a;b", "$HOME", "'c", "d'"}},
                    SplitCase{"l3p_line",
                              " -cg30,45,1000 -b -o \"/m/my car.dat\" \"/p/my car.pov\"",
                              {"-cg30,45,1000", "-b", "-o", "/m/my car.dat", "/p/my car.pov"}}),
    [](const auto& info) { return info.param.name; });

// Runs programs in a private folder with a PATH of our choosing.
class ProgramsTest : public testing::Test {
  protected:
    void SetUp() override {
        m_bin = m_dir.path() + "bin/";
        fs::create_directory(m_bin);
        m_path.emplace("PATH", m_bin);
    }

    // A script that writes its arguments, one a line, to a file.
    std::string recorder(const std::string& path, const std::string& output) {
        writeText(path,
                  "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + output + "'\n",
                  0755);
        return output;
    }

    static bool waitForEnd(PosixPrograms& programs, const std::string& file) {
        for (int i = 0; i < 1000; ++i) {
            if (!programs.isRunning(file))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    std::vector<std::string> lines(const std::string& path) {
        std::vector<std::string> result;
        std::istringstream in(readText(path).value_or(""));
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }

    TempFolder m_dir;
    std::string m_bin;
    std::optional<ScopedEnv> m_path;
};

TEST_F(ProgramsTest, ArgumentsArriveExactly) {
    const std::string folder = m_dir.path() + "my tools;x/";
    fs::create_directory(folder);
    const std::string program = folder + "run me;now.sh";
    const std::string output = recorder(program, m_dir.path() + "args.txt");
    PosixPrograms programs;
    const int result =
        programs.execute(program, {"-a", "/my models/car.dat", "+I\"/my dir/car.pov\"",
                                   "tab\tcar.dat", "'single'", "$HOME;echo `x`"});
    EXPECT_GT(result, 32);
    ASSERT_TRUE(waitForEnd(programs, program));
    EXPECT_EQ(lines(output),
              (std::vector<std::string>{"-a", "/my models/car.dat", "+I\"/my dir/car.pov\"",
                                        "tab\tcar.dat", "'single'", "$HOME;echo `x`"}));
}

TEST_F(ProgramsTest, IsRunningFollowsTheLatestStart) {
    const std::string program = m_dir.path() + "wait.sh";
    writeText(program, "#!/bin/sh\nread line < '" + m_dir.path() + "fifo'\n", 0755);
    ASSERT_EQ(::mkfifo((m_dir.path() + "fifo").c_str(), 0600), 0);
    PosixPrograms programs;
    EXPECT_FALSE(programs.isRunning(program));
    ASSERT_GT(programs.execute(program, {}), 32);
    EXPECT_TRUE(programs.isRunning(program));
    EXPECT_FALSE(programs.isRunning(m_dir.path() + "other.sh"));
    writeText(m_dir.path() + "fifo", "go\n"); // lets the script end
    EXPECT_TRUE(waitForEnd(programs, program));
}

struct FailureCase {
    const char* name;
    const char* file; // under the test folder unless it starts with a letter
    int expected;
};

class ProgramFailureTest : public ProgramsTest, public testing::WithParamInterface<FailureCase> {
  protected:
    void SetUp() override {
        ProgramsTest::SetUp();
        writeText(m_dir.path() + "readme.txt", "a document\n");
        writeText(m_dir.path() + "l3p.exe", "MZ\x90\x00 a windows program", 0755);
        writeText(m_dir.path() + "garbage", "\x7fXYZ not a program\n", 0755);
        writeText(m_dir.path() + "empty", "", 0755);
    }
};

TEST_P(ProgramFailureTest, GivesTheShellCode) {
    const std::string file = std::string(GetParam().file).starts_with("http")
                                 ? GetParam().file
                                 : m_dir.path() + GetParam().file;
    PosixPrograms programs;
    EXPECT_EQ(programs.execute(file, {"-x"}), GetParam().expected);
    EXPECT_FALSE(programs.isRunning(file));
}

INSTANTIATE_TEST_SUITE_P(Files, ProgramFailureTest,
                         testing::Values(FailureCase{"missing_file", "missing.exe", 2},
                                         FailureCase{"missing_folder", "nowhere/l3p.exe", 3},
                                         FailureCase{"file_as_folder", "readme.txt/l3p.exe", 3},
                                         FailureCase{"document_without_opener", "readme.txt", 31},
                                         FailureCase{"folder_without_opener", "bin", 31},
                                         FailureCase{"address_without_opener",
                                                     "https://example.org/x.htm", 31},
                                         FailureCase{"windows_program_without_wine", "l3p.exe", 11},
                                         FailureCase{"not_a_program", "garbage", 11},
                                         FailureCase{"empty_program", "empty", 11}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ProgramsTest, StartsInTheGivenWorkingFolder) {
    const std::string program = m_dir.path() + "where.sh";
    const std::string output = m_dir.path() + "where.txt";
    writeText(program, "#!/bin/sh\npwd > '" + output + "'\n", 0755);
    const std::string work = m_dir.path() + "work dir";
    fs::create_directory(work);
    PosixPrograms programs;
    ASSERT_GT(programs.executeIn(program, {}, work), 32);
    ASSERT_TRUE(waitForEnd(programs, program));
    EXPECT_EQ(lines(output), std::vector<std::string>{work});

    ASSERT_GT(programs.execute(program, {}), 32);
    ASSERT_TRUE(waitForEnd(programs, program));
    EXPECT_EQ(lines(output), std::vector<std::string>{fs::current_path().string()});

    EXPECT_EQ(programs.executeIn(program, {}, m_dir.path() + "missing"), 3);
}

TEST_F(ProgramsTest, EmptyNameIsNotFound) {
    PosixPrograms programs;
    EXPECT_EQ(programs.execute("", {}), 2);
}

TEST_F(ProgramsTest, DocumentsAndAddressesGoToTheDesktopOpener) {
    const std::string output = recorder(m_bin + "xdg-open", m_dir.path() + "opened.txt");
    const std::string document = m_dir.path() + "my readme.txt";
    writeText(document, "text\n");
    PosixPrograms programs;
    ASSERT_GT(programs.execute(document, {"ignored"}), 32);
    ASSERT_TRUE(waitForEnd(programs, document));
    EXPECT_EQ(lines(output), std::vector<std::string>{document});

    const std::string address = "https://example.org/Brickpov_donate.htm";
    ASSERT_GT(programs.execute(address, {}), 32);
    ASSERT_TRUE(waitForEnd(programs, address));
    EXPECT_EQ(lines(output), std::vector<std::string>{address});

    EXPECT_EQ(programs.execute(m_dir.path() + "missing.txt", {}), 2);
}

TEST_F(ProgramsTest, WindowsProgramRunsThroughWine) {
    const std::string output = recorder(m_bin + "wine", m_dir.path() + "wine.txt");
    const std::string program = m_dir.path() + "L3P.EXE";
    writeText(program, "MZ\x90\x00", 0644);
    PosixPrograms programs;
    ASSERT_GT(programs.execute(program, {"-o", "/m/my car.dat", "out.pov"}), 32);
    ASSERT_TRUE(waitForEnd(programs, program));
    EXPECT_EQ(lines(output), (std::vector<std::string>{program, "-o", "/m/my car.dat", "out.pov"}));
}

TEST_F(ProgramsTest, BareNameIsFoundOnPath) {
    const std::string output = recorder(m_bin + "tool", m_dir.path() + "tool.txt");
    PosixPrograms programs;
    ASSERT_GT(programs.execute("tool", {"a", "b"}), 32);
    ASSERT_TRUE(waitForEnd(programs, "tool"));
    EXPECT_EQ(lines(output), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ProgramsTest, PovrayProgram) {
    EXPECT_EQ(PosixPrograms("/opt/povray/bin/povray").povrayProgram(), "/opt/povray/bin/povray");
    EXPECT_EQ(PosixPrograms("").povrayProgram(), "");
    EXPECT_EQ(PosixPrograms().povrayProgram(), "");
    writeText(m_bin + "povray", "#!/bin/sh\n", 0644);
    EXPECT_EQ(PosixPrograms().povrayProgram(), "") << "not executable";
    ::chmod((m_bin + "povray").c_str(), 0755);
    EXPECT_EQ(PosixPrograms().povrayProgram(), m_bin + "povray");
}

} // namespace
