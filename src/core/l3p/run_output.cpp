#include "core/l3p/run_output.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

namespace bp {

namespace {

bool blank(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Reads "A of B" at the start of text; the rest after B in rest.
bool readCount(std::string_view text, long long& a, long long& b, std::string_view& rest) {
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, a);
    if (r.ec != std::errc())
        return false;
    std::string_view after(r.ptr, static_cast<std::size_t>(end - r.ptr));
    if (!after.starts_with(" of "))
        return false;
    after.remove_prefix(4);
    r = std::from_chars(after.data(), end, b);
    if (r.ec != std::errc() || b <= 0 || a < 0 || a > b)
        return false;
    rest = std::string_view(r.ptr, static_cast<std::size_t>(end - r.ptr));
    return true;
}

} // namespace

std::vector<std::string> ConsoleText::append(std::string_view bytes) {
    std::vector<std::string> pieces;
    std::size_t plain = 0;
    const auto writePlain = [&](std::size_t end) {
        if (end <= plain)
            return;
        const std::string_view text = bytes.substr(plain, end - plain);
        // Overwrites from the column, and goes on past the line's end.
        m_line.replace(m_column, std::min(text.size(), m_line.size() - m_column), text);
        m_column += text.size();
        m_piece.append(text);
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r')
            continue;
        writePlain(i);
        plain = i + 1;
        if (!m_piece.empty())
            pieces.push_back(std::exchange(m_piece, {}));
        if (c == '\n')
            finishLine();
        else
            m_column = 0;
    }
    writePlain(bytes.size());
    return pieces;
}

void ConsoleText::finishLine() {
    m_lines.push_back(std::exchange(m_line, {}));
    m_column = 0;
    if (m_lines.size() > m_keptLines)
        m_lines.erase(m_lines.begin(),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(m_lines.size() - m_keptLines));
}

void ConsoleText::endLine() {
    m_piece.clear();
    if (!m_line.empty())
        finishLine();
}

void ConsoleText::clear() {
    m_lines.clear();
    m_line.clear();
    m_piece.clear();
    m_column = 0;
}

std::string ConsoleText::text() const {
    std::string text;
    for (const std::string& line : m_lines)
        text += line + '\n';
    return text + m_line;
}

std::vector<std::string> ConsoleText::lastLines(std::size_t count) const {
    std::vector<std::string> last;
    if (!blank(m_line) && count > 0)
        last.push_back(m_line);
    for (auto it = m_lines.rbegin(); it != m_lines.rend() && last.size() < count; ++it)
        if (!blank(*it))
            last.push_back(*it);
    std::reverse(last.begin(), last.end());
    return last;
}

int RenderProgress::percent() const {
    if (frames <= 0)
        return 0;
    const double inFrame = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0;
    const double whole = (std::clamp(frame, 1, frames) - 1 + inFrame) / frames;
    return std::clamp(static_cast<int>(whole * 100), 0, 100);
}

bool readRenderProgress(RenderProgress& progress, std::string_view piece) {
    piece = trimmed(piece);
    long long a = 0;
    long long b = 0;
    std::string_view rest;
    if (piece.starts_with("Rendering frame ")) {
        if (!readCount(piece.substr(16), a, b, rest) || a < 1)
            return false;
        if (progress.frame == a && progress.frames == b)
            return false;
        progress.frame = static_cast<int>(a);
        progress.frames = static_cast<int>(b);
        progress.done = 0;
        progress.total = 0;
        return true;
    }
    if (piece.starts_with("Rendered ")) {
        if (!readCount(piece.substr(9), a, b, rest) || !trimmed(rest).starts_with("pixels"))
            return false;
        if (progress.done == a && progress.total == b)
            return false;
        progress.done = a;
        progress.total = b;
        return true;
    }
    return false;
}

std::optional<std::string> renderedPictureName(std::string_view line) {
    line = trimmed(line);
    if (!line.starts_with("Output file"))
        return std::nullopt;
    line.remove_prefix(11);
    const auto start = line.find_first_not_of('.');
    if (start == 0 || start == std::string_view::npos)
        return std::nullopt;
    line.remove_prefix(start);
    // The name ends before the description of the format.
    const auto comma = line.rfind(", ");
    const std::string_view name = trimmed(line.substr(0, comma));
    if (name.empty())
        return std::nullopt;
    return std::string(name);
}

std::vector<std::string> framePictureNames(const std::string& first, int frames) {
    const auto slash = first.find_last_of('/');
    const auto dot = first.rfind('.');
    const std::size_t stemEnd =
        dot == std::string::npos || (slash != std::string::npos && dot < slash) ? first.size()
                                                                                : dot;
    std::size_t digits = stemEnd;
    while (digits > 0 && first[digits - 1] >= '0' && first[digits - 1] <= '9' &&
           (slash == std::string::npos || digits - 1 > slash))
        --digits;
    const std::size_t width = stemEnd - digits;
    if (frames <= 1 || width == 0)
        return {first};
    long long number = 0;
    std::from_chars(first.data() + digits, first.data() + stemEnd, number);
    std::vector<std::string> names;
    for (int i = 0; i < frames; ++i) {
        std::string n = std::to_string(number + i);
        if (n.size() < width)
            n.insert(0, width - n.size(), '0');
        names.push_back(first.substr(0, digits) + n + first.substr(stemEnd));
    }
    return names;
}

std::string elapsedText(long long seconds) {
    seconds = std::max(0LL, seconds);
    char buffer[32];
    if (seconds >= 3600)
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", seconds / 60, seconds % 60);
    return buffer;
}

std::string warningOf(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.remove_suffix(1);
    constexpr std::string_view prefix = "Warning: ";
    if (!line.starts_with(prefix))
        return {};
    return std::string(line.substr(prefix.size()));
}

bool isMissingFile(std::string_view warning) {
    return warning.starts_with("cannot find ") || warning.find("missing files") != warning.npos;
}

} // namespace bp
