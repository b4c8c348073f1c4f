// Files for a test to prepare and inspect: folders, text files, stand-in
// programs.

#include "driver/driver_window_system.h"
#include "driver/interpreter.h"
#include "driver/output.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace bp::driver {

namespace fs = std::filesystem;

void Interpreter::mkdir(Cursor& c, int) {
    const std::string path = c.rest("folder");
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path))
        throw ScriptError("cannot make the folder " + path + ": " + ec.message());
}

void Interpreter::write(Cursor& c, int) {
    const std::string path = c.word("file");
    const std::string text = unescape(c.rest("text"));
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
        m_ctx.windows.processEvents();
        found = fs::exists(path, ec);
    }
    m_ctx.out.line("waitfor " + path + "=" + boolText(found));
}

} // namespace bp::driver
