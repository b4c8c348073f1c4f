#include "converter/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace bp::conv {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The length of the UTF-8 sequence starting at `s[i]`, or 0 when it is broken.
std::size_t utf8Length(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

bool LineReader::next(std::string_view& line) {
    if (m_pos >= m_text.size())
        return false;
    std::size_t end = m_text.find_first_of("\r\n", m_pos);
    if (end == std::string_view::npos)
        end = m_text.size();
    line = m_text.substr(m_pos, end - m_pos);
    m_pos = end + 1;
    if (end < m_text.size() && m_text[end] == '\r' && m_pos < m_text.size() &&
        m_text[m_pos] == '\n')
        ++m_pos;
    if (line.starts_with(kByteOrderMark))
        line.remove_prefix(kByteOrderMark.size());
    ++m_number;
    return true;
}

std::string numberProblem(std::string_view word, NumberRead why) {
    const std::string shown = "\"" + messageText(word, 40) + "\"";
    switch (why) {
    case NumberRead::NotFinite:
        return shown + " is not a finite number";
    case NumberRead::OutOfRange:
        return shown + " is out of range (at most 1000000 either way)";
    default:
        return shown + " is not a number";
    }
}

std::string sceneText(std::string_view text, std::size_t limit) {
    std::string out;
    out.reserve(std::min(text.size(), limit));
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = 1;
        std::string_view piece;
        if (c < 0x20 || c == 0x7F)
            piece = " ";
        else if (c == '"')
            piece = "'";
        else if (c == '\\')
            piece = "/";
        else if (c < 0x80)
            piece = text.substr(i, 1);
        else if ((n = utf8Length(text, i)) > 0)
            piece = text.substr(i, n);
        else {
            piece = "?";
            n = 1;
        }
        if (out.size() + piece.size() > limit) {
            while (out.size() + 3 > limit && !out.empty()) {
                // Drop whole characters until "..." fits.
                std::size_t cut = out.size() - 1;
                while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
                    --cut;
                out.resize(cut);
            }
            out += "...";
            return out;
        }
        out += piece;
        i += n;
    }
    return out;
}

} // namespace bp::conv

namespace bp::conv {

namespace {
bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}
} // namespace

std::string messageText(std::string_view text, std::size_t limit) {
    std::string out(text.substr(0, limit));
    for (char& c : out)
        if (isControl(c))
            c = '?';
    if (text.size() > limit)
        out += "...";
    return out;
}

PrintableOutput::int_type PrintableOutput::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    return m_to->sputc(isControl(ch) && ch != '\n' && ch != '\t' ? '?' : ch);
}

std::streamsize PrintableOutput::xsputn(const char* s, std::streamsize n) {
    std::string text(s, static_cast<std::size_t>(n));
    for (char& c : text)
        if (isControl(c) && c != '\n' && c != '\t')
            c = '?';
    return m_to->sputn(text.data(), n);
}

} // namespace bp::conv

namespace bp::conv {

std::string fileAccessIn(std::string_view code) {
    constexpr std::string_view kDirectives[] = {"fopen", "fclose", "read", "write", "include"};
    constexpr std::string_view kWords[] = {"save_file", "load_file", "Parse_String"};
    const auto isWordChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    };
    std::size_t i = 0;
    while (i < code.size()) {
        const char c = code[i];
        if (code.substr(i, 2) == "//") {
            i = code.find('\n', i);
        } else if (code.substr(i, 2) == "/*") {
            i = code.find("*/", i + 2);
            i = i == std::string_view::npos ? i : i + 2;
        } else if (c == '"') {
            for (++i; i < code.size() && code[i] != '"'; ++i)
                if (code[i] == '\\')
                    ++i;
            ++i;
        } else if (c == '#') {
            std::size_t w = i + 1;
            while (w < code.size() && (code[w] == ' ' || code[w] == '\t'))
                ++w;
            std::size_t end = w;
            while (end < code.size() && isWordChar(code[end]))
                ++end;
            for (const std::string_view d : kDirectives)
                if (code.substr(w, end - w) == d)
                    return "#" + std::string(d);
            i = end;
        } else if (isWordChar(c)) {
            std::size_t end = i;
            while (end < code.size() && isWordChar(code[end]))
                ++end;
            for (const std::string_view k : kWords)
                if (code.substr(i, end - i) == k)
                    return std::string(k);
            i = end;
        } else {
            ++i;
        }
    }
    return {};
}

} // namespace bp::conv
