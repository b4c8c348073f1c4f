// Files for a test to prepare and inspect: folders, text files, stand-in
// programs.

#include "core/l3p/run_window.h"
#include "core/window/app.h"
#include "driver/driver_window_system.h"
#include "driver/image_header.h"
#include "driver/interpreter.h"
#include "driver/output.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace bp::driver {

namespace fs = std::filesystem;

void Interpreter::mkdir(Cursor& c, int) {
    const std::string path = c.rest("folder");
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path))
        throw ScriptError("cannot make the folder " + path + ": " + ec.message());
}

void Interpreter::mkfifo(Cursor& c, int) {
    const std::string path = c.rest("pipe");
    if (::mkfifo(path.c_str(), 0644) != 0)
        throw ScriptError("cannot make the pipe " + path + ": " + std::strerror(errno));
}

void Interpreter::write(Cursor& c, int) {
    const std::string path = c.word("file");
    const std::string text = unescape(c.rest("text"));
    std::error_code ec; // a folder that cannot be made fails the write below
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        throw ScriptError("cannot write " + path);
}

void Interpreter::cat(Cursor& c, int) {
    const std::string path = c.rest("file");
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path))
        throw ScriptError("cannot read " + path);
    std::stringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line;
        for (char ch : text.substr(pos, end - pos)) {
            if (ch == '\r')
                line += "\\r";
            else
                line += ch;
        }
        m_ctx.out.line(line.empty() ? "|" : "| " + line);
        pos = end + 1;
    }
}

void Interpreter::exists(Cursor& c, int) {
    const std::string path = c.rest("path");
    std::error_code ec;
    m_ctx.out.line("exists " + path + "=" + boolText(fs::exists(path, ec)));
}

void Interpreter::chmod(Cursor& c, int) {
    const std::string mode = c.word("mode");
    const std::string path = c.rest("path");
    unsigned bits = 0;
    for (char ch : mode) {
        if (ch < '0' || ch > '7')
            throw ScriptError("the mode is octal, as 755: " + mode);
        bits = bits * 8 + static_cast<unsigned>(ch - '0');
    }
    if (mode.empty() || bits > 07777)
        throw ScriptError("the mode is octal, as 755: " + mode);
    std::error_code ec;
    fs::permissions(path, static_cast<fs::perms>(bits), fs::perm_options::replace, ec);
    if (ec)
        throw ScriptError("cannot change the mode of " + path + ": " + ec.message());
}

// A started program works at its own pace: wait, processing events, until
// it has left its file, but never for ever. Real time, not scaled.
void Interpreter::waitfor(Cursor& c, int) {
    const std::string path = c.rest("path");
    constexpr auto kLimit = std::chrono::seconds(20);
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    std::error_code ec;
    bool found = fs::exists(path, ec);
    while (!found && std::chrono::steady_clock::now() < deadline) {
        m_ctx.windows.pump();
        found = fs::exists(path, ec);
    }
    m_ctx.out.line("waitfor " + path + "=" + boolText(found));
}

// The run window's programs work at their own pace too: wait, processing
// events, until its run is over. Real time, not scaled.
void Interpreter::waitrun(Cursor& c, int) {
    c.end();
    constexpr auto kLimit = std::chrono::seconds(20);
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    const auto running = [this] {
        const auto* run = dynamic_cast<const BrickpovRun*>(m_ctx.app->findForm("BrickpovRun"));
        return run && run->loaded() && run->active();
    };
    while (running() && std::chrono::steady_clock::now() < deadline)
        m_ctx.windows.pump();
    m_ctx.out.line(std::string("waitrun=") + boolText(!running()));
}

// A process a started program left behind: wait until it has ended. Real
// time, not scaled.
void Interpreter::waitgone(Cursor& c, int) {
    const std::string path = c.rest("file");
    std::ifstream in(path);
    long pid = 0;
    if (!(in >> pid) || pid <= 0)
        throw ScriptError("no process id in " + path);
    constexpr auto kLimit = std::chrono::seconds(20);
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    bool gone = ::kill(static_cast<pid_t>(pid), 0) != 0;
    while (!gone && std::chrono::steady_clock::now() < deadline) {
        m_ctx.windows.pump();
        gone = ::kill(static_cast<pid_t>(pid), 0) != 0;
    }
    m_ctx.out.line("waitgone " + path + "=" + boolText(gone));
}

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS", in UTC.
void Interpreter::touch(Cursor& c, int) {
    const std::string path = c.word("file");
    const std::string date = c.rest("date");
    std::tm t{};
    int n = 0;
    const int fields = std::sscanf(date.c_str(), "%4d-%2d-%2d%n %2d:%2d:%2d%n", &t.tm_year,
                                   &t.tm_mon, &t.tm_mday, &n, &t.tm_hour, &t.tm_min, &t.tm_sec, &n);
    if ((fields != 3 && fields != 6) || n != static_cast<int>(date.size()))
        throw ScriptError("a date is YYYY-MM-DD or YYYY-MM-DD HH:MM:SS: " + date);
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    const std::time_t when = ::timegm(&t);
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw ScriptError("cannot change the date of " + path);
}

// The size of a picture, from its header.
void Interpreter::imagesize(Cursor& c, int) {
    const std::string path = c.rest("file");
    const auto header = readImageHeader(path);
    if (!header)
        throw ScriptError("not a PNG, BMP, TGA or PPM image: " + path);
    m_ctx.out.line("imagesize " + path + "=" + header->format + " " +
                   std::to_string(header->width) + "x" + std::to_string(header->height));
}

} // namespace bp::driver
