#include "driver/script.h"

#include "driver/output.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

namespace bp::driver {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string unquote(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return std::string(text.substr(1, text.size() - 2));
    return std::string(text);
}

} // namespace

std::optional<Script> Script::load(const std::string& path, std::string& error) {
    std::stringstream content;
    if (path == "-") {
        content << std::cin.rdbuf();
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "cannot read the script " + path;
            return std::nullopt;
        }
        content << in.rdbuf();
    }
    Script script;
    std::string line;
    while (std::getline(content, line))
        script.m_lines.push_back(line);
    return script;
}

std::optional<ScriptLine> Script::next() {
    while (m_next < m_lines.size()) {
        const int number = static_cast<int>(m_next) + 1;
        const std::string_view text = trim(m_lines[m_next++]);
        if (text.empty() || text.front() == '#')
            continue;
        return ScriptLine{number, std::string(text)};
    }
    return std::nullopt;
}

std::string substituteEnvironment(std::string_view text) {
    std::string result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find("${", pos);
        if (open == std::string_view::npos) {
            result += text.substr(pos);
            break;
        }
        result += text.substr(pos, open - pos);
        const std::size_t close = text.find('}', open + 2);
        if (close == std::string_view::npos)
            throw ScriptError("unclosed ${");
        const std::string name(text.substr(open + 2, close - open - 2));
        const char* value = std::getenv(name.c_str());
        if (name.empty() || !value)
            throw ScriptError("environment variable " + name + " is not set");
        result += value;
        pos = close + 1;
    }
    return result;
}

std::string unescape(std::string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        if (++i == text.size())
            throw ScriptError("a lone \\ at the end of the text");
        switch (text[i]) {
        case 'n':
            result += '\n';
            break;
        case 'r':
            result += '\r';
            break;
        case 't':
            result += '\t';
            break;
        case '\\':
            result += '\\';
            break;
        case '"':
            result += '"';
            break;
        default:
            throw ScriptError(std::string("unknown escape \\") + text[i]);
        }
    }
    return result;
}

void Cursor::skipBlanks() {
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
}

bool Cursor::atEnd() {
    skipBlanks();
    return m_pos >= m_text.size();
}

bool Cursor::quotedNext() {
    return !atEnd() && m_text[m_pos] == '"';
}

std::optional<std::string> Cursor::optionalWord() {
    if (atEnd())
        return std::nullopt;
    if (m_text[m_pos] == '"') {
        const std::size_t close = m_text.find('"', m_pos + 1);
        if (close == std::string_view::npos)
            throw ScriptError("unclosed double quote");
        if (close + 1 < m_text.size() && !isBlank(m_text[close + 1]))
            throw ScriptError("text right after a closing double quote");
        std::string word(m_text.substr(m_pos + 1, close - m_pos - 1));
        m_pos = close + 1;
        return word;
    }
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !isBlank(m_text[m_pos]))
        ++m_pos;
    return std::string(m_text.substr(start, m_pos - start));
}

std::string Cursor::word(const char* what) {
    auto w = optionalWord();
    if (!w)
        throw ScriptError(std::string("missing ") + what);
    return *w;
}

std::optional<std::string> Cursor::optionalRest() {
    if (atEnd())
        return std::nullopt;
    const std::string_view rest = trim(m_text.substr(m_pos));
    m_pos = m_text.size();
    return unquote(rest);
}

std::string Cursor::rest(const char* what) {
    auto r = optionalRest();
    if (!r)
        throw ScriptError(std::string("missing ") + what + " (\"\" is the empty text)");
    return *r;
}

int Cursor::integer(const char* what) {
    return parseInteger(word(what), what);
}

void Cursor::end() {
    if (!atEnd())
        throw ScriptError("unexpected text: " + std::string(m_text.substr(m_pos)));
}

int parseInteger(std::string_view text, const char* what) {
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        throw ScriptError(std::string(what) + " is not a whole number: " + std::string(text));
    return value;
}

// from_chars reads "." whatever the locale, as the scripts are written.
float parseFloat(std::string_view text, const char* what) {
    float value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        throw ScriptError(std::string(what) + " is not a number: " + std::string(text));
    return value;
}

double parseDouble(std::string_view text, const char* what) {
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        throw ScriptError(std::string(what) + " is not a number: " + std::string(text));
    return value;
}

} // namespace bp::driver
