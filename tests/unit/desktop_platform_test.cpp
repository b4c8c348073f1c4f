#include "core/common/string_routines.h"
#include "platform/desktop/desktop_platform.h"
#include "posix_file/atomic_write.h"
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
#include <stdexcept>
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
using Names = std::vector<std::string>;

std::optional<std::string> readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeText(const std::string& path, const std::string& content, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    ::chmod(path.c_str(), mode);
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

Names namesIn(const std::string& folder) {
    Names names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Waits up to ten seconds for done().
template <typename Done> bool waitFor(Done done) {
    for (int i = 0; i < 2000 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

// Runs body in a child with a 4 KiB file size limit, a full disk as far as
// the child sees (root ignores permissions, so a read-only folder proves
// nothing). True when the child's body returned true.
template <typename Body> bool withFullDisk(Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Sets an environment variable (unsets it for nullopt) until destroyed.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name(name) {
        if (const char* was = std::getenv(name))
            old = was;
        set(value);
    }
    ~ScopedEnv() { set(old); }
    void set(const std::optional<std::string>& v) {
        v ? ::setenv(name, v->c_str(), 1) : ::unsetenv(name);
    }
    const char* name;
    std::optional<std::string> old;
};

TEST(Locations, ConfigHomeFromEnvironment) {
    const struct {
        std::optional<std::string> xdg;
        std::string expected;
    } cases[] = {{std::nullopt, "/home/tester/.config/"},
                 {"/xdg/conf", "/xdg/conf/"},
                 {"/xdg/conf/", "/xdg/conf/"},
                 {"conf", "/home/tester/.config/"}};
    ScopedEnv home("HOME", "/home/tester");
    for (const auto& c : cases) {
        ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(Locations::fromEnvironment().settingsFile(), c.expected + "Brickpov/settings.ini")
            << c.xdg.value_or("unset");
    }
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(Locations::fromEnvironment().programDir, self.substr(0, self.rfind('/') + 1));
}

TEST(AtomicWrite, ReplacesThroughLinksKeepingPermissions) {
    TempFolder dir;
    const std::string real = dir.path() + "real.ini";
    writeText(real, "old content that is longer than the new one", 0640);
    fs::create_symlink(real, dir.path() + "link.ini");
    ASSERT_TRUE(writeFileAtomically(dir.path() + "link.ini", std::string("a\0b", 3)));
    EXPECT_TRUE(fs::is_symlink(dir.path() + "link.ini"));
    EXPECT_EQ(readText(real), std::string("a\0b", 3));
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
    ASSERT_TRUE(PosixFileSystem(dir.path()).replaceFile(dir.path() + "new.pov", "// scene\n"));
    EXPECT_EQ(readText(dir.path() + "new.pov"), "// scene\n");
    EXPECT_EQ(namesIn(dir.path()), (Names{"link.ini", "new.pov", "real.ini"}));
}

TEST(AtomicWrite, FailsWithoutTouchingAnything) {
    TempFolder dir;
    fs::create_directory(dir.path() + "folder");
    writeText(dir.path() + "readonly", "mine", 0444);
    writeText(dir.path() + "full", "old");
    for (const std::string target : {"missing/x.ini", "folder", "folder/", ""})
        EXPECT_FALSE(writeFileAtomically(target.empty() ? "" : dir.path() + target, "data"));
    std::string why;
    EXPECT_FALSE(writeFileAtomically(dir.path() + "readonly", "data", &why));
    EXPECT_EQ(why, "the file is read-only");
    EXPECT_TRUE(withFullDisk(
        [&] { return !writeFileAtomically(dir.path() + "full", std::string(1 << 20, 'x')); }));
    const auto halfThenThrow = [](std::ostream& out) {
        out << std::string(1 << 17, 'x');
        throw std::runtime_error("stopped");
    };
    EXPECT_THROW(bp::posix::replaceFileStreamed(dir.path() + "full", halfThenThrow, false),
                 std::runtime_error);
    EXPECT_EQ(readText(dir.path() + "readonly"), "mine");
    EXPECT_EQ(readText(dir.path() + "full"), "old");
    EXPECT_EQ(namesIn(dir.path()), (Names{"folder", "full", "readonly"}));
    EXPECT_TRUE(fs::is_empty(dir.path() + "folder"));
}

// Writers killed mid-write leave temporaries; the next write clears those
// whose writer is gone, and only those.
TEST(AtomicWrite, RemovesTemporariesOfEndedWritersOnly) {
    TempFolder dir;
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    Names kept{".other.ini.tmp-" + std::to_string(gone) + "-1", ".settings.ini.tmp-old",
               ".settings.ini.tmp-" + std::to_string(::getppid()) + "-0", "settings.ini"};
    std::sort(kept.begin(), kept.end());
    for (const std::string& name : kept)
        writeText(dir.path() + name, "keep");
    writeText(dir.path() + ".settings.ini.tmp-" + std::to_string(gone) + "-7", "half");
    ASSERT_TRUE(writeFileAtomically(dir.path() + "settings.ini", "new"));
    EXPECT_EQ(namesIn(dir.path()), kept);
}

class SettingsStoreTest : public testing::Test {
  protected:
    std::string path() const { return m_dir.path() + "conf/Brickpov/settings.ini"; }
    std::string get(FileSettingsStore& store, const std::string& key) {
        return store.get("Brickpov", "Paths", key, "fallback");
    }
    TempFolder m_dir;
};

// Every entry comes back exactly from a fresh reader, none hides another, and
// a removed key takes only itself.
TEST_F(SettingsStoreTest, EntriesComeBackExactlyAndStayApart) {
    const struct {
        std::string app, section, key, value;
    } cases[] = {
        {"Brickpov", "Paths", "Specials", "a=b,c \"d\" 'e' ;f #g [h]"},
        {"Brickpov", "Paths", "Blanks", "  both ends \t"},
        {"Brickpov", "Paths", "Lines", "one\ntwo\r\nthree"},
        {"Brickpov", "Paths", "Backslash", "C:\\LDraw\\ \\x41 \\\\ \\"},
        {"Brickpov", "Paths", "Control", std::string("a\0b\x7f\x1b", 5)},
        {"Brickpov", "Paths", "Empty", ""},
        {"Brickpov", "Paths", "#not a comment", "1"},
        {"Brickpov", "Paths", "[not a header]", "3"},
        {"Brickpov", "Paths", "a=b", "4"},
        {"Brickpov", "Paths", " padded ", "5"},
        {"Brickpov", "Sec/tion]x[", "Key", "6"},
        {"Brick/pov", "Paths", "Key", "7"},
        {"Brickpov", "paths", "L3PPath", "lower section"},
        {"Brickpov", "Paths", "L3PPath", "/home/me/l3p/"},
    };
    FileSettingsStore store(path());
    store.remove("Brickpov", "Paths", "Gone");
    EXPECT_FALSE(fs::exists(path()));
    for (const auto& c : cases)
        store.save(c.app, c.section, c.key, c.value);
    store.save("Brickpov", "Paths", "Gone", "x");
    store.remove("Brickpov", "Paths", "Gone");
    FileSettingsStore reader(path());
    for (const auto& c : cases)
        EXPECT_EQ(reader.get(c.app, c.section, c.key, "fallback"), c.value) << c.key;
    EXPECT_EQ(get(reader, "Gone"), "fallback");
    EXPECT_EQ(reader.get("Other", "Paths", "Key", "fallback"), "fallback");
}

// Stores as editors and other writers leave them: junk and entries outside
// a section are skipped, blanks around names are not part of them, and every
// readable entry survives a save, which skips an unchanged value.
TEST_F(SettingsStoreTest, ForeignStoresReadAndSurviveASave) {
    std::string junk("\x7f"
                     "ELF\x01\x02\x00\x00 binary=junk\n",
                     21);
    junk += std::string("\x00\x01=\x02\n", 5) + "[no slash header]\nLost=no section\n";
    std::string filler = "[Brickpov/Filler]\n";
    while (filler.size() < (17u << 20))
        filler += "Key=" + std::string(4000, 'v') + "\n";
    const struct {
        std::string before, n, l3pPath, after;
    } cases[] = {{"", "\r\n", "/l3p/", ""},
                 {"", "\r", "/l3p/", ""},
                 {"\xEF\xBB\xBF", "\n", "/l3p/", ""},
                 {junk, "\n", "/l3p/",
                  "[Brickpov/Paths\nLost=unclosed\n[ Brickpov / Paths ]\n Hand = x \n"
                  "[Brickpov/Cameras]\nUserCamera 0=second wins not"},
                 {"", "\n", std::string(3u << 20, 'x'), ""},
                 {filler, "\n", "/l3p/", ""}};
    const std::string path = m_dir.path() + "settings.ini";
    for (const auto& c : cases) {
        const std::string& n = c.n;
        writeText(path, c.before + "[Brickpov/Paths]" + n + "L3PPath=" + c.l3pPath + n +
                            "[Brickpov/Cameras]" + n + "UserCamera 0=Front" + n +
                            "UserCamera 1=Back" + n + c.after);
        for (int pass = 0; pass < 2; ++pass) {
            FileSettingsStore store(path);
            EXPECT_EQ(get(store, "L3PPath").size(), c.l3pPath.size());
            EXPECT_EQ(store.get("Brickpov", "Cameras", "UserCamera 0", ""), "Front");
            EXPECT_EQ(store.get("Brickpov", "Cameras", "UserCamera 1", ""), "Back");
            EXPECT_EQ(get(store, "Lost"), "fallback");
            EXPECT_EQ(get(store, "Hand"), c.after.empty() ? "fallback" : "x");
            const ino_t before = inodeOf(path);
            store.save("Brickpov", "Paths", "L3PPath", c.l3pPath);
            EXPECT_EQ(inodeOf(path), before) << "an unchanged value is written";
            store.save("Brickpov", "Paths", "POVPath", "/pov/");
            EXPECT_EQ(store.takeProblem(), "");
        }
    }
}

// A folder or a FIFO where the file should be, a file where its folder should
// be, a read-only file, a full disk: the answers stay in memory, nothing is
// written over, and the user is told once.
TEST_F(SettingsStoreTest, UnusableStoreKeepsAnswersAndSaysSoOnce) {
    const std::string fifo = m_dir.path() + "fifo.ini", folder = m_dir.path() + "folder.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    writeText(m_dir.path() + "conf", "a file named like the folder");
    const std::string readOnly = m_dir.path() + "readonly.ini", old = "[Brickpov/Paths]\nK=/l3p/\n";
    writeText(readOnly, old, 0444);
    const struct {
        std::string path, problem;
    } cases[] = {{fifo, fifo + " could not be read"},
                 {folder, folder + " could not be read"},
                 {path(), path() + " could not be written (Not a directory)"},
                 {readOnly, readOnly + " could not be written (the file is read-only)"}};
    for (const auto& c : cases) {
        FileSettingsStore store(c.path);
        store.save("Brickpov", "Paths", "K", "Not Installed");
        store.save("Brickpov", "Paths", "L", "L3P.exe");
        EXPECT_EQ(get(store, "K"), "Not Installed");
        EXPECT_EQ(store.takeProblem().substr(0, c.problem.size()), c.problem);
        EXPECT_EQ(store.takeProblem(), "");
    }
    EXPECT_TRUE(fs::is_fifo(fifo) && fs::is_empty(folder));
    EXPECT_EQ(readText(readOnly), old);

    const std::string full = m_dir.path() + "full.ini";
    writeText(full, old);
    EXPECT_TRUE(withFullDisk([&] {
        FileSettingsStore store(full);
        store.save("Brickpov", "Paths", "K", std::string(8192, 'x'));
        return get(store, "K").size() == 8192 &&
               store.takeProblem().find("(File too large)") != std::string::npos;
    }));
    EXPECT_EQ(readText(full), old);
}

// Two instances writing at once, each its own keys: every key of both stays.
// Each write re-reads the store under the lock and puts its own change back
// on top; only a race between two processes shows either fault.
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
    FileSettingsStore first(path()), second(path());
    first.save("Brickpov", "Paths", "ModelPath", "/first/models/");
    first.save("Brickpov", "Paths", "POVPath", "/first/pov/");
    EXPECT_EQ(get(second, "POVPath"), "/first/pov/");
    first.save("Brickpov", "Paths", "POVPath", "/first/pov2/");
    second.save("Brickpov", "Paths", "ModelPath", "/second/models/");
    FileSettingsStore reader(path());
    EXPECT_EQ(get(reader, "ModelPath"), "/second/models/");
    EXPECT_EQ(get(reader, "POVPath"), "/first/pov2/");
}

TEST(ProfileFile, ReadsLikeProfileStrings) {
    TempFolder dir;
    writeText(dir.path() + "LDraw.INI",
              "; BaseDirectory=/in/comment\r\nOrphan=before any section\r\n[ldraw]\r\n"
              "  BaseDirectory =  /usr/share/ldraw  \r\nQuoted=\"/a b/\"\r\nSingle=' x '\r\n"
              "HalfQuoted=\"/a\r\nEquals=a=b\r\nDup=first\r\nDup=second\r\n"
              "[Other] ; comment\r\nBaseDirectory=/other\r\n");
    const struct {
        const char *section, *key, *expected;
    } cases[] = {{"LDRAW", "basedirectory", "/usr/share/ldraw"},
                 {"Other", "BaseDirectory", "/other"},
                 {"LDraw", "Quoted", "/a b/"},
                 {"LDraw", "Single", " x "},
                 {"LDraw", "HalfQuoted", "\"/a"},
                 {"LDraw", "Equals", "a=b"},
                 {"LDraw", "Dup", "first"},
                 {"LDraw", "Missing", "fallback"},
                 {"Missing", "BaseDirectory", "fallback"},
                 {"", "Orphan", "fallback"}};
    IniProfileFile profile(dir.path());
    for (const auto& c : cases)
        EXPECT_EQ(profile.getString(c.section, c.key, "fallback", "LDraw.ini"), c.expected)
            << c.key;
    EXPECT_EQ(IniProfileFile(dir.path() + "none").getString("LDraw", "Dup", "x", "LDraw.ini"), "x");
}

// A write changes only its line, and leaves an unchanged file alone.
TEST(ProfileFile, WriteChangesOnlyItsLine) {
    const struct {
        std::optional<std::string> before;
        const char* key;
        std::string after;
    } cases[] = {
        {"; LDraw\r\n[Other]\r\nA=1\r\n\r\n[LDraw]\r\n; lib\r\nBaseDirectory=/old\r\nB=2\r\n",
         "BaseDirectory",
         "; LDraw\r\n[Other]\r\nA=1\r\n\r\n[LDraw]\r\n; lib\r\nBaseDirectory=/v\r\nB=2\r\n"},
        {"[LDRAW]\n basedirectory = /old\n", "BaseDirectory", "[LDRAW]\n basedirectory = /v\n"},
        {"[LDraw]\nA=1\n\n[Other]\nB=2\n", "K", "[LDraw]\nA=1\nK=/v\n\n[Other]\nB=2\n"},
        {"[LDraw]\nA=1", "K", "[LDraw]\nA=1\nK=/v\n"},
        {"[Other]\r\nB=2\r\n\r\n", "K", "[Other]\r\nB=2\r\n\r\n[LDraw]\r\nK=/v\r\n"},
        {"[LDraw]\n;K=/c\n", "K", "[LDraw]\n;K=/c\nK=/v\n"},
        {"\xEF\xBB\xBF[LDraw]\nK=1\n", "K", "\xEF\xBB\xBF[LDraw]\nK=/v\n"},
        {"[LDraw]\nK=/v\n", "K", "[LDraw]\nK=/v\n"},
        {std::nullopt, "K", "[LDraw]\nK=/v\n"}};
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string file = dir.path() + "LDraw.ini";
        if (c.before)
            writeText(file, *c.before);
        const ino_t before = inodeOf(file);
        IniProfileFile profile(dir.path());
        ASSERT_TRUE(profile.writeString("LDraw", c.key, "/v", "LDraw.ini"));
        EXPECT_EQ(readText(file), c.after);
        EXPECT_EQ(profile.getString("LDraw", c.key, "fallback", "LDraw.ini"), "/v");
        EXPECT_TRUE(c.before != c.after || inodeOf(file) == before) << c.after;
    }
}

// Texts that would break the line structure are refused; a name in another
// case finds the file there is; a new file gets its extension in lower case.
TEST(ProfileFile, RefusesBrokenLinesAndFindsTheFileInAnyCase) {
    TempFolder dir;
    IniProfileFile profile(dir.path() + "config/");
    for (const auto& [section, key, value] : {std::tuple{"LDraw", "BaseDirectory", "/b\n[Evil]"},
                                              {"LDraw", "Base\rDirectory", "/b"},
                                              {"LD]raw", "BaseDirectory", "/b"},
                                              {"LDraw", "Base=Directory", "/b"},
                                              {"LDraw", "  ", "/b"}})
        EXPECT_FALSE(profile.writeString(section, key, value, "LDraw.ini")) << key;
    ASSERT_TRUE(profile.writeString("LDraw", "BaseDirectory", "/a", "LDraw.INI"));
    EXPECT_EQ(namesIn(dir.path() + "config"), Names{"LDraw.ini"});
    EXPECT_EQ(profile.getString("LDraw", "BaseDirectory", "", "ldraw.INI"), "/a");
    // The name a new file would get wins over one first in byte order.
    writeText(dir.path() + "config/LDRAW.ini", "[LDraw]\nBaseDirectory=/other\n");
    ASSERT_TRUE(profile.writeString("LDraw", "LgeoDirectory", "/g", "LDraw.INI"));
    EXPECT_EQ(readText(dir.path() + "config/LDraw.ini"),
              "[LDraw]\nBaseDirectory=/a\nLgeoDirectory=/g\n");
}

TEST(FileSystem, TellsFilesFromFoldersAndFindsNamesInAnyCase) {
    TempFolder dir;
    const std::string d = dir.path();
    for (const char* name : {"file.dat", ".hidden", "LEDIT.EXE", "ledit.exe"})
        writeText(d + name, "x");
    fs::create_directory(d + "Folder");
    fs::create_symlink(d + "file.dat", d + "link.dat");
    fs::create_symlink(d + "Folder", d + "linkdir");
    fs::create_symlink(d + "nothing", d + "dangling");
    PosixFileSystem files("/opt/brickpov");
    const struct {
        const char* entry;
        bool file, folder;
    } cases[] = {{"file.dat", true, false},   {".hidden", false, false}, {"Folder/", false, true},
                 {"link.dat", true, false},   {"linkdir", false, true},  {"dangling", false, false},
                 {"file.dat/x", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(files.fileExists(d + c.entry), c.file) << c.entry;
        EXPECT_EQ(files.folderExists(d + c.entry), c.folder) << c.entry;
        EXPECT_EQ(files.exists(d + c.entry), c.file || c.folder) << c.entry;
    }
    EXPECT_EQ(files.programFolder(), "/opt/brickpov/");
    EXPECT_EQ(files.findNoCase(d, "ledit.exe"), "ledit.exe");
    EXPECT_EQ(files.findNoCase(d, "LEdit.exe"), "LEDIT.EXE"); // first by name
    EXPECT_EQ(files.findNoCase(d, "folder"), "Folder");
    EXPECT_EQ(files.findNoCase(d, "DANGLING"), std::nullopt);
    EXPECT_EQ(files.findNoCase(d, ""), std::nullopt);
    EXPECT_EQ(files.findNoCase(d + "none/", "file.dat"), std::nullopt);
    const timespec times[2] = {{1000000000, 0}, {1234567890, 500000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (d + "file.dat").c_str(), times, 0), 0);
    EXPECT_EQ(files.modified(d + "file.dat"),
              std::chrono::system_clock::time_point(std::chrono::milliseconds(1234567890500)));
    EXPECT_EQ(files.modified(d + "missing"), std::nullopt);
}

// Without regard to case first, so that "_" sorts before letters of either
// case; names that differ only in case by their bytes.
TEST(FileSystem, ListSortsWithoutRegardToCaseAndTellsFolders) {
    TempFolder dir;
    for (const char* name : {"aB.ldr", "a_b.ldr", "b.dat", "A.dat", "a.DAT", "Z.mpd"})
        writeText(dir.path() + name, "x");
    fs::create_directory(dir.path() + "B");
    std::vector<std::pair<std::string, bool>> listed;
    for (const bp::DirEntry& e : PosixFileSystem("/").list(dir.path()))
        listed.emplace_back(e.name, e.isFolder);
    const std::vector<std::pair<std::string, bool>> expected = {
        {"A.dat", false}, {"a.DAT", false}, {"a_b.ldr", false}, {"aB.ldr", false},
        {"B", true},      {"b.dat", false}, {"Z.mpd", false}};
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(PosixFileSystem("/").list(dir.path() + "missing").empty());
}

TEST(Programs, SplitsParametersLikeACommandLine) {
    const struct {
        const char* parameters;
        Names expected;
    } cases[] = {{"  a \t  b  ", {"a", "b"}},
                 {"a \"\" b", {"a", "", "b"}},
                 {"-b \"/my dir/car", {"-b", "/my dir/car"}},
                 {"+I\"/my dir/car.pov\" +W640", {"+I\"/my dir/car.pov\"", "+W640"}},
                 {"a;b $HOME 'c d'", {"a;b", "$HOME", "'c", "d'"}}};
    for (const auto& c : cases)
        EXPECT_EQ(bp::splitArguments(c.parameters), c.expected) << c.parameters;
}

// Runs programs in a private folder with a PATH of our choosing.
class ProgramsTest : public testing::Test {
  protected:
    void SetUp() override { fs::create_directory(m_bin); }

    // A script that writes its arguments, one a line, to a file.
    void recorder(const std::string& path) {
        writeText(path,
                  "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + output() +
                      "'\n",
                  0755);
    }
    std::string output() const { return m_dir.path() + "out.txt"; }

    // Starts the program and gives the lines it wrote to the output file.
    Names run(const std::string& file, const Names& arguments, const std::string& folder = {}) {
        fs::remove(output());
        EXPECT_EQ(folder.empty() ? m_programs.execute(file, arguments)
                                 : m_programs.executeIn(file, arguments, folder),
                  bp::StartResult::Started)
            << file;
        EXPECT_TRUE(waitFor([&] { return !m_programs.isRunning(file); }));
        Names result;
        std::istringstream in(readText(output()).value_or(""));
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }

    // Starts a watched program; gives its output once it has ended.
    std::string drain(bp::RunningProgram& program, std::optional<int>& status) {
        std::string output;
        waitFor([&] {
            output += program.takeOutput();
            return (status = program.exitStatus()).has_value();
        });
        return output + program.takeOutput();
    }

    TempFolder m_dir;
    std::string m_bin = m_dir.path() + "bin/";
    ScopedEnv m_path{"PATH", m_bin};
    PosixPrograms m_programs;
};

// Wherever the program is and whatever its arguments hold, in the folder
// asked for; a Windows program through wine, documents and addresses
// through the desktop's opener.
TEST_F(ProgramsTest, ArgumentsArriveExactlyWhereverTheProgramIs) {
    const std::string folder = m_dir.path() + "my tools;x/";
    fs::create_directory(folder);
    recorder(folder + "run me;now.sh");
    const Names arguments{"-a",           "/my models/car.dat", "+I\"/my dir/car.pov\"",
                          "tab\tcar.dat", "'single'",           "$HOME;echo `x`"};
    EXPECT_EQ(run(folder + "run me;now.sh", arguments), arguments);
    recorder(m_bin + "tool");
    EXPECT_EQ(run("tool", {"a", "b"}), (Names{"a", "b"}));
    recorder(m_bin + "wine");
    writeText(m_dir.path() + "L3P.EXE", "MZ\x90\x00", 0755);
    EXPECT_EQ(run(m_dir.path() + "L3P.EXE", {"-o", "out.pov"}),
              (Names{m_dir.path() + "L3P.EXE", "-o", "out.pov"}));
    recorder(m_bin + "xdg-open");
    const std::string document = m_dir.path() + "my readme.txt";
    writeText(document, "text\n");
    EXPECT_EQ(run(document, {"ignored"}), Names{document});
    EXPECT_EQ(run("https://example.org/Brickpov_donate.htm", {}),
              Names{"https://example.org/Brickpov_donate.htm"});

    const std::string where = m_dir.path() + "where.sh", work = m_dir.path() + "work dir";
    writeText(where, "#!/bin/sh\npwd > '" + output() + "'\n", 0755);
    fs::create_directory(work);
    EXPECT_EQ(run(where, {}, work), Names{work});
    EXPECT_EQ(run(where, {}), Names{fs::current_path().string()});
}

TEST_F(ProgramsTest, FailuresNameTheirReason) {
    const std::string d = m_dir.path();
    writeText(d + "readme.txt", "a document\n");
    writeText(d + "l3p.exe", "MZ\x90\x00 a windows program", 0755);
    writeText(d + "garbage", "\x7fXYZ not a program\n", 0755);
    writeText(d + "empty", "", 0755);
    const struct {
        std::string file;
        bp::StartResult expected;
    } cases[] = {{"", bp::StartResult::FileNotFound},
                 {d + "missing.exe", bp::StartResult::FileNotFound},
                 {d + "missing.txt", bp::StartResult::FileNotFound},
                 {d + "readme.txt/l3p.exe", bp::StartResult::PathNotFound},
                 {d + "readme.txt", bp::StartResult::NoAssociation},
                 {"https://example.org/x.htm", bp::StartResult::NoAssociation},
                 {d + "l3p.exe", bp::StartResult::BadProgram},
                 {d + "garbage", bp::StartResult::BadProgram},
                 {d + "empty", bp::StartResult::BadProgram}};
    for (const auto& c : cases) {
        EXPECT_EQ(m_programs.execute(c.file, {"-x"}), c.expected) << c.file;
        EXPECT_FALSE(m_programs.isRunning(c.file)) << c.file;
    }
    EXPECT_EQ(m_programs.executeIn(d + "garbage", {}, d + "missing"),
              bp::StartResult::PathNotFound);
}

TEST_F(ProgramsTest, PovrayProgram) {
    EXPECT_EQ(PosixPrograms("/opt/povray/bin/povray").povrayProgram(), "/opt/povray/bin/povray");
    EXPECT_EQ(PosixPrograms().povrayProgram(), "");
    writeText(m_bin + "povray", "#!/bin/sh\n", 0644);
    EXPECT_EQ(PosixPrograms().povrayProgram(), "") << "not executable";
    ::chmod((m_bin + "povray").c_str(), 0755);
    EXPECT_EQ(PosixPrograms().povrayProgram(), m_bin + "povray");
}

// A watched start: the output merged and complete, the status as a shell
// gives it.
TEST_F(ProgramsTest, WatchedProgramGivesItsOutputAndStatus) {
    const std::string program = m_dir.path() + "chatty.sh";
    writeText(program,
              "#!/bin/sh\nprintf 'out %s\\n' \"$1\"\nprintf 'err\\n' >&2\n"
              "/usr/bin/head -c 200000 /dev/zero | /usr/bin/tr '\\0' x\nexit 3\n",
              0755);
    bp::WatchedStart started = m_programs.startWatched(program, {"two words"}, m_dir.path());
    ASSERT_EQ(started.result, bp::StartResult::Started);
    ASSERT_TRUE(started.program);
    std::optional<int> status;
    const std::string output = drain(*started.program, status);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(output.substr(0, 19), "out two words\nerr\nx");
    EXPECT_EQ(output.size(), 18u + 200000u);
}

// stop() ends what the program started too; a program that ignores it is
// killed the second time.
TEST_F(ProgramsTest, StopEndsTheProgramAndWhatItStarted) {
    const std::string pidFile = m_dir.path() + "child.pid", ready = m_dir.path() + "ready";
    const std::string parent = m_dir.path() + "parent.sh", stubborn = m_dir.path() + "stubborn.sh";
    writeText(parent,
              "#!/bin/sh\n/bin/sleep 30 &\necho $! > '" + pidFile + ".tmp'\n/bin/mv '" + pidFile +
                  ".tmp' '" + pidFile + "'\nwait\n",
              0755);
    writeText(stubborn,
              "#!/bin/sh\ntrap '' TERM\n: > '" + ready + "'\nwhile :; do /bin/sleep 0.05; done\n",
              0755);
    bp::WatchedStart started = m_programs.startWatched(parent, {}, "");
    ASSERT_TRUE(started.program);
    ASSERT_TRUE(waitFor([&] { return fs::exists(pidFile); }));
    const pid_t child = static_cast<pid_t>(std::stol(readText(pidFile).value_or("0")));
    ASSERT_GT(child, 0);
    EXPECT_FALSE(started.program->exitStatus());
    started.program->stop();
    std::optional<int> status;
    drain(*started.program, status);
    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_TRUE(waitFor([&] { return ::kill(child, 0) != 0; }));

    started = m_programs.startWatched(stubborn, {}, "");
    ASSERT_TRUE(started.program);
    ASSERT_TRUE(waitFor([&] { return fs::exists(ready); }));
    started.program->stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(started.program->exitStatus());
    started.program->stop();
    status.reset();
    drain(*started.program, status);
    EXPECT_EQ(status, 128 + SIGKILL);
}

} // namespace
