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

struct Event {
    enum Kind { Started, Output, Finished } kind;
    int id;
    std::string text; // the title or the output
    int status = 0;
};

class RecordingListener : public ProgramOutputListener {
  public:
    void programStarted(int id, const std::string& title) override {
        events.push_back({Event::Started, id, title});
    }
    void programOutput(int id, std::string_view text) override {
        events.push_back({Event::Output, id, std::string(text)});
        output[id] += text;
    }
    void programFinished(int id, int exitStatus) override {
        events.push_back({Event::Finished, id, {}, exitStatus});
        if (onFinished)
            onFinished(id);
    }

    std::optional<std::string> titleOf(int id) const {
        for (const Event& e : events)
            if (e.kind == Event::Started && e.id == id)
                return e.text;
        return std::nullopt;
    }
    std::optional<int> statusOf(int id) const {
        for (const Event& e : events)
            if (e.kind == Event::Finished && e.id == id)
                return e.status;
        return std::nullopt;
    }
    // The ids in the order they started.
    std::vector<int> started() const {
        std::vector<int> ids;
        for (const Event& e : events)
            if (e.kind == Event::Started)
                ids.push_back(e.id);
        return ids;
    }
    // Every id's events come as started, output..., finished.
    bool inOrder() const {
        std::map<int, int> stage; // 1 started, 2 finished
        for (const Event& e : events) {
            int& s = stage[e.id];
            if ((e.kind == Event::Started) != (s == 0) || s == 2)
                return false;
            s = e.kind == Event::Finished ? 2 : 1;
        }
        return true;
    }

    std::vector<Event> events;
    std::map<int, std::string> output;
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

    // Polls every 10 ms until the condition holds; false after the deadline.
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

    bool finished(int id) const { return m_listener.statusOf(id).has_value(); }

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
    const std::string program = script("l3p run.sh", "echo 'out 1'\n"
                                                     "echo 'err 1' >&2\n"
                                                     "echo 'out 2'\n"
                                                     "if read line; then echo \"in $line\"; "
                                                     "else echo 'no input'; fi\n"
                                                     "exit 3\n");
    ASSERT_GT(m_programs.execute(program, {"-x"}), 32);
    ASSERT_EQ(m_listener.started().size(), 1u);
    const int id = m_listener.started()[0];
    EXPECT_EQ(m_listener.titleOf(id), program);

    ASSERT_TRUE(pollUntil([&] { return finished(id); }));
    EXPECT_EQ(m_listener.statusOf(id), 3);
    EXPECT_EQ(m_listener.output[id], "out 1\nerr 1\nout 2\nno input\n");
    EXPECT_TRUE(m_listener.inOrder());
    EXPECT_FALSE(m_programs.isRunning(program));
    EXPECT_TRUE(m_programs.outputFds().empty());
}

TEST_F(ProgramOutputTest, RelativeProgramIsTitledWithItsFullPath) {
    const std::string program = script("tool.sh", "exit 0\n");
    const std::string work = m_dir.path() + "work/";
    fs::create_directory(work);
    const fs::path before = fs::current_path();
    fs::current_path(m_dir.path());
    const int result = m_programs.executeIn("tool.sh", {}, work);
    fs::current_path(before);
    ASSERT_GT(result, 32);
    ASSERT_EQ(m_listener.started().size(), 1u);
    EXPECT_EQ(m_listener.titleOf(m_listener.started()[0]), program);
}

TEST_F(ProgramOutputTest, SignalGivesOneHundredTwentyEightPlusItsNumber) {
    const std::string program = script("crash.sh", "echo before\nkill -9 $$\necho after\n");
    ASSERT_GT(m_programs.execute(program, {}), 32);
    const int id = m_listener.started().at(0);
    ASSERT_TRUE(pollUntil([&] { return finished(id); }));
    EXPECT_EQ(m_listener.statusOf(id), 128 + 9);
    EXPECT_EQ(m_listener.output[id], "before\n");
    EXPECT_FALSE(m_programs.isRunning(program));
}

// The core waits on isRunning() alone; the output may be reported later.
TEST_F(ProgramOutputTest, EndedProgramIsNotRunningBeforeItsOutputIsReported) {
    const std::string program = script("quick.sh", "echo done\nexit 5\n");
    ASSERT_GT(m_programs.execute(program, {}), 32);
    const int id = m_listener.started().at(0);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (m_programs.isRunning(program) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(m_programs.isRunning(program));
    EXPECT_EQ(m_listener.events.size(), 1u) << "reports come from poll() only";

    m_programs.poll();
    EXPECT_EQ(m_listener.output[id], "done\n");
    EXPECT_EQ(m_listener.statusOf(id), 5);
}

// More than a pipe holds: the program must not stall, and nothing is lost
// when it ends with its last output still unread.
TEST_F(ProgramOutputTest, LargeOutputArrivesWhole) {
    const std::string program =
        script("chatty.sh", "i=0\nwhile [ $i -lt 2000 ]; do\n"
                            "  echo \"line $i of a long render log, padded to make it longer\"\n"
                            "  i=$((i + 1))\ndone\nhead -c 1000000 /dev/zero | tr '\\0' x\n");
    ASSERT_GT(m_programs.execute(program, {}), 32);
    const int id = m_listener.started().at(0);
    ASSERT_TRUE(pollUntil([&] { return finished(id); }));
    const std::string& text = m_listener.output[id];
    EXPECT_EQ(m_listener.statusOf(id), 0);
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
    const int id = m_listener.started().at(0);
    ASSERT_FALSE(m_programs.outputFds().empty());
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
    EXPECT_EQ(m_listener.statusOf(id), 4);
    EXPECT_EQ(m_listener.output[id], "bye\n");
    // Without end descriptors the closed output stays readable until the end.
    if (kernelHasPidFds()) {
        EXPECT_LT(wakeUps, 20) << "the descriptors stayed readable with nothing to do";
    }
    EXPECT_TRUE(m_programs.outputFds().empty());
}

TEST_F(ProgramOutputTest, ProgramsKeepTheirOutputApart) {
    const std::string a = script("a.sh", "for i in 1 2 3; do echo a$i; sleep 0.02; done\nexit 1\n");
    const std::string b = script("b.sh", "for i in 1 2 3; do echo b$i; sleep 0.02; done\nexit 2\n");
    ASSERT_GT(m_programs.execute(a, {}), 32);
    ASSERT_GT(m_programs.execute(b, {}), 32);
    const std::vector<int> ids = m_listener.started();
    ASSERT_EQ(ids.size(), 2u);
    ASSERT_NE(ids[0], ids[1]);
    ASSERT_TRUE(pollUntil([&] { return finished(ids[0]) && finished(ids[1]); }));
    EXPECT_EQ(m_listener.output[ids[0]], "a1\na2\na3\n");
    EXPECT_EQ(m_listener.output[ids[1]], "b1\nb2\nb3\n");
    EXPECT_EQ(m_listener.statusOf(ids[0]), 1);
    EXPECT_EQ(m_listener.statusOf(ids[1]), 2);
    EXPECT_TRUE(m_listener.inOrder());
}

// Rendering starts POV-Ray once L3P has finished, possibly from the report.
TEST_F(ProgramOutputTest, ListenerMayStartTheNextProgramFromAReport) {
    const std::string first = script("first.sh", "echo one\n");
    const std::string second = script("second.sh", "echo two\n");
    m_listener.onFinished = [&](int) {
        if (m_listener.started().size() == 1)
            m_programs.execute(second, {});
    };
    ASSERT_GT(m_programs.execute(first, {}), 32);
    ASSERT_TRUE(pollUntil([&] {
        const auto ids = m_listener.started();
        return ids.size() == 2 && finished(ids[1]);
    }));
    const auto ids = m_listener.started();
    EXPECT_EQ(m_listener.titleOf(ids[1]), second);
    EXPECT_EQ(m_listener.output[ids[0]], "one\n");
    EXPECT_EQ(m_listener.output[ids[1]], "two\n");
    EXPECT_TRUE(m_listener.inOrder());
}

TEST_F(ProgramOutputTest, WineProgramIsTitledByTheProgramFile) {
    const std::string bin = m_dir.path() + "bin/";
    fs::create_directory(bin);
    writeScript(bin + "wine", "#!/bin/sh\necho \"wine runs $1\"\n");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", bin.c_str(), 1);
    const std::string program = m_dir.path() + "L3P.EXE";
    writeScript(program, "MZ\x90", 0644);
    const int result = m_programs.execute(program, {});
    ::setenv("PATH", oldPath.c_str(), 1);
    ASSERT_GT(result, 32);
    const int id = m_listener.started().at(0);
    EXPECT_EQ(m_listener.titleOf(id), program);
    ASSERT_TRUE(pollUntil([&] { return finished(id); }));
    EXPECT_EQ(m_listener.output[id], "wine runs " + program + "\n");
}

TEST_F(ProgramOutputTest, DocumentsAndStartsWithoutListenerAreNotCaptured) {
    const std::string bin = m_dir.path() + "bin/";
    fs::create_directory(bin);
    writeScript(bin + "xdg-open", "#!/bin/sh\nexit 0\n");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", bin.c_str(), 1);
    const std::string document = m_dir.path() + "readme.txt";
    writeScript(document, "text\n", 0644);
    const int opened = m_programs.execute(document, {});
    ::setenv("PATH", oldPath.c_str(), 1);
    ASSERT_GT(opened, 32);

    m_programs.setOutputListener(nullptr);
    const std::string program = script("plain.sh", "exit 0\n");
    ASSERT_GT(m_programs.execute(program, {}), 32);
    EXPECT_TRUE(m_programs.outputFds().empty());
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while ((m_programs.isRunning(program) || m_programs.isRunning(document)) &&
           Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(m_programs.isRunning(program));
    EXPECT_FALSE(m_programs.isRunning(document));
    m_programs.poll();
    EXPECT_TRUE(m_listener.events.empty());
}

// A listener that goes away must not leave a chatty program stuck on a full
// pipe.
TEST_F(ProgramOutputTest, DroppedListenerLetsTheProgramEnd) {
    const std::string program = script("flood.sh", "head -c 1000000 /dev/zero\n");
    ASSERT_GT(m_programs.execute(program, {}), 32);
    m_programs.setOutputListener(nullptr);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (m_programs.isRunning(program) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(m_programs.isRunning(program));
    m_programs.poll();
    EXPECT_TRUE(m_programs.outputFds().empty());
    EXPECT_EQ(m_listener.events.size(), 1u);
}

} // namespace
