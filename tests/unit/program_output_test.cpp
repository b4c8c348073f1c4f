// The output of started programs, as an output window receives it.

#include "platform/desktop/desktop_platform.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace bp::desktop;
using Clock = std::chrono::steady_clock;

using bp::test::TempFolder;

void writeScript(const std::string& path, const std::string& body, mode_t mode = 0755) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << body;
    }
    ::chmod(path.c_str(), mode);
}

class RecordingListener : public ProgramOutputListener {
  public:
    // Every id's reports come as started, output..., finished.
    void programStarted(int id, const std::string& title) override {
        inOrder = inOrder && !titles.contains(id);
        started.push_back(id);
        titles[id] = title;
    }
    void programOutput(int id, std::string_view text) override {
        inOrder = inOrder && titles.contains(id) && !statuses.contains(id);
        output[id] += text;
    }
    void programFinished(int id, int exitStatus) override {
        inOrder = inOrder && titles.contains(id) && !statuses.contains(id);
        statuses[id] = exitStatus;
        if (onFinished)
            onFinished(id);
    }
    std::size_t reports() const { return started.size() + statuses.size() + output.size(); }

    std::vector<int> started;
    std::map<int, std::string> titles;
    std::map<int, std::string> output;
    std::map<int, int> statuses;
    bool inOrder = true;
    std::function<void(int)> onFinished;
};

class ProgramOutputTest : public testing::Test {
  protected:
    void SetUp() override { m_programs.setOutputListener(&m_listener); }

    std::string script(const std::string& name, const std::string& body) {
        const std::string path = m_dir.path() + name;
        writeScript(path, "#!/bin/sh\n" + body);
        return path;
    }

    // Starts the program and polls every 10 ms until it is reported finished.
    int runToEnd(const std::string& program) {
        EXPECT_GT(m_programs.execute(program, {}), 32);
        const int id = m_listener.started.empty() ? -1 : m_listener.started.back();
        EXPECT_TRUE(pollUntil([&] { return finished(id); })) << program;
        return id;
    }

    bool pollUntil(const std::function<bool()>& done) {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (Clock::now() > deadline)
                return false;
            m_programs.poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    bool waitForEnd(const std::string& program) {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (m_programs.isRunning(program) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return !m_programs.isRunning(program);
    }

    bool finished(int id) const { return m_listener.statuses.contains(id); }

    TempFolder m_dir;
    RecordingListener m_listener;
    PosixPrograms m_programs;
};

// Standard input is swapped for a file with a typed line, so that a child
// that inherits it would read the line.
class ScopedStdin {
  public:
    explicit ScopedStdin(const std::string& file) : m_saved(::dup(STDIN_FILENO)) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        ::dup2(fd, STDIN_FILENO);
        ::close(fd);
    }
    ~ScopedStdin() {
        ::dup2(m_saved, STDIN_FILENO);
        ::close(m_saved);
    }
    ScopedStdin(const ScopedStdin&) = delete;
    ScopedStdin& operator=(const ScopedStdin&) = delete;

  private:
    int m_saved;
};

TEST_F(ProgramOutputTest, ReportsStartMergedOutputAndExitCode) {
    const std::string typed = m_dir.path() + "typed.txt";
    writeScript(typed, "typed line\n", 0644);
    const ScopedStdin input(typed);
    const std::string program = script("l3p run.sh", "echo 'out 1'\necho 'err 1' >&2\n"
                                                     "if read line; then echo \"in $line\"; "
                                                     "else echo 'no input'; fi\nexit 3\n");
    const int id = runToEnd(program);
    EXPECT_EQ(m_listener.titles[id], program);
    EXPECT_EQ(m_listener.statuses[id], 3);
    EXPECT_EQ(m_listener.output[id], "out 1\nerr 1\nno input\n");
    EXPECT_FALSE(m_programs.isRunning(program));
    EXPECT_TRUE(m_programs.outputFds().empty());

    const int killed = runToEnd(script("crash.sh", "echo before\nkill -9 $$\necho after\n"));
    EXPECT_EQ(m_listener.statuses[killed], 128 + 9);
    EXPECT_EQ(m_listener.output[killed], "before\n");
    EXPECT_TRUE(m_listener.inOrder);
}

// Titled by the program file: a relative name with its full path, a Windows
// program by itself rather than by wine.
TEST_F(ProgramOutputTest, TitleIsTheFullPathOfTheProgramFile) {
    const std::string program = script("tool.sh", "exit 0\n");
    fs::create_directory(m_dir.path() + "work/");
    const fs::path before = fs::current_path();
    fs::current_path(m_dir.path());
    const int result = m_programs.executeIn("tool.sh", {}, m_dir.path() + "work/");
    fs::current_path(before);
    ASSERT_GT(result, 32);
    EXPECT_EQ(m_listener.titles[m_listener.started.at(0)], program);

    fs::create_directory(m_dir.path() + "bin/");
    writeScript(m_dir.path() + "bin/wine", "#!/bin/sh\necho \"wine runs $1\"\n");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (m_dir.path() + "bin/").c_str(), 1);
    const std::string windows = m_dir.path() + "L3P.EXE";
    writeScript(windows, "MZ\x90", 0644);
    const int id = runToEnd(windows);
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(m_listener.titles[id], windows);
    EXPECT_EQ(m_listener.output[id], "wine runs " + windows + "\n");
}

// The core waits on isRunning() alone; the output may be reported later.
TEST_F(ProgramOutputTest, EndedProgramIsNotRunningBeforeItsOutputIsReported) {
    const std::string program = script("quick.sh", "echo done\nexit 5\n");
    ASSERT_GT(m_programs.execute(program, {}), 32);
    const int id = m_listener.started.at(0);
    EXPECT_TRUE(waitForEnd(program));
    EXPECT_EQ(m_listener.reports(), 1u) << "reports come from poll() only";
    m_programs.poll();
    EXPECT_EQ(m_listener.output[id], "done\n");
    EXPECT_EQ(m_listener.statuses[id], 5);
}

// More than a pipe holds: the program must not stall, and nothing is lost
// when it ends with its last output still unread.
TEST_F(ProgramOutputTest, LargeOutputArrivesWhole) {
    const int id = runToEnd(script("chatty.sh", "i=0\nwhile [ $i -lt 2000 ]; do\n"
                                                "  echo \"line $i of a long render log\"\n"
                                                "  i=$((i + 1))\ndone\n"
                                                "head -c 1000000 /dev/zero | tr '\\0' x\n"));
    const std::string& text = m_listener.output[id];
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 2000);
    EXPECT_TRUE(text.starts_with("line 0 of"));
    EXPECT_NE(text.find("line 1999 of"), std::string::npos);
    EXPECT_EQ(text.size() - text.rfind('\n') - 1, 1000000u);
}

bool kernelHasPidFds() {
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, ::getpid(), 0));
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// A window system that waits on outputFds() instead of a timer must learn of
// the end also when the program closed its output long before.
TEST_F(ProgramOutputTest, WaitingOnTheDescriptorsSeesTheEnd) {
    const std::string program = script("quiet.sh", "echo bye\nexec >&- 2>&-\nsleep 0.3\nexit 4\n");
    ASSERT_GT(m_programs.execute(program, {}), 32);
    const int id = m_listener.started.at(0);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int wakeUps = 0;
    while (!finished(id) && Clock::now() < deadline) {
        std::vector<pollfd> fds;
        for (int fd : m_programs.outputFds())
            fds.push_back({fd, POLLIN, 0});
        ASSERT_FALSE(fds.empty()) << "nothing left to wait on before the end";
        if (::poll(fds.data(), fds.size(), 5000) > 0) {
            ++wakeUps;
            m_programs.poll();
        }
    }
    EXPECT_EQ(m_listener.statuses[id], 4);
    EXPECT_EQ(m_listener.output[id], "bye\n");
    // Without end descriptors the closed output stays readable until the end.
    if (kernelHasPidFds()) {
        EXPECT_LT(wakeUps, 20) << "the descriptors stayed readable with nothing to do";
    }
    EXPECT_TRUE(m_programs.outputFds().empty());
}

// Two at once keep their output apart; rendering starts POV-Ray once L3P
// has finished, possibly from the report.
TEST_F(ProgramOutputTest, ProgramsKeepTheirOutputApartAndMayStartFromAReport) {
    const std::string a = script("a.sh", "for i in 1 2 3; do echo a$i; sleep 0.02; done\nexit 1\n");
    const std::string b = script("b.sh", "for i in 1 2 3; do echo b$i; sleep 0.02; done\nexit 2\n");
    const std::string next = script("next.sh", "echo next\n");
    m_listener.onFinished = [&](int) {
        if (m_listener.started.size() == 2)
            m_programs.execute(next, {});
    };
    ASSERT_GT(m_programs.execute(a, {}), 32);
    ASSERT_GT(m_programs.execute(b, {}), 32);
    ASSERT_TRUE(pollUntil([&] { return m_listener.statuses.size() == 3; }));
    const std::vector<int>& ids = m_listener.started;
    EXPECT_EQ(m_listener.output[ids[0]], "a1\na2\na3\n");
    EXPECT_EQ(m_listener.output[ids[1]], "b1\nb2\nb3\n");
    EXPECT_EQ(m_listener.statuses[ids[0]], 1);
    EXPECT_EQ(m_listener.statuses[ids[1]], 2);
    EXPECT_EQ(m_listener.titles[ids[2]], next);
    EXPECT_EQ(m_listener.output[ids[2]], "next\n");
    EXPECT_TRUE(m_listener.inOrder);
}

// Documents are not captured, nor programs started without a listener; a
// listener that goes away must not leave a chatty program stuck on a full pipe.
TEST_F(ProgramOutputTest, UncapturedProgramsEnd) {
    fs::create_directory(m_dir.path() + "bin/");
    writeScript(m_dir.path() + "bin/xdg-open", "#!/bin/sh\nexit 0\n");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (m_dir.path() + "bin/").c_str(), 1);
    const std::string document = m_dir.path() + "readme.txt";
    writeScript(document, "text\n", 0644);
    const int opened = m_programs.execute(document, {});
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_GT(opened, 32);
    const std::string flood = script("flood.sh", "head -c 1000000 /dev/zero\n");
    ASSERT_GT(m_programs.execute(flood, {}), 32);
    m_programs.setOutputListener(nullptr);
    const std::string program = script("plain.sh", "exit 0\n");
    ASSERT_GT(m_programs.execute(program, {}), 32);
    EXPECT_TRUE(waitForEnd(flood));
    EXPECT_TRUE(waitForEnd(program));
    EXPECT_TRUE(waitForEnd(document));
    m_programs.poll();
    EXPECT_TRUE(m_programs.outputFds().empty());
    EXPECT_EQ(m_listener.reports(), 1u) << "only the start of the flood";
}

} // namespace
