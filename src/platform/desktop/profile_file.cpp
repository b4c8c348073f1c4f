#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "platform/desktop/posix_io.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

// Profile files are the LDraw tools' shared INI files, so they are read and
// written the way those tools expect: "[Section]" headers and "Key=Value"
// lines, both names without regard to case, the first of repeated names
// winning, values trimmed of blanks and of one pair of enclosing quotes.
// A write touches one line, or adds one, and leaves the rest of the file,
// comments and line ends included, byte for byte.

namespace bp::desktop {

namespace {

constexpr std::size_t kFileLimit = 16u << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

struct Line {
    std::string text; // without its line end
    std::string end;  // "\n", "\r\n" or "" for an unterminated last line
};

struct Document {
    std::string bom;
    std::vector<Line> lines;
    std::string newline = "\n";
};

Document split(const std::string& content) {
    Document doc;
    std::string_view rest(content);
    if (rest.starts_with(kByteOrderMark)) {
        doc.bom = kByteOrderMark;
        rest.remove_prefix(kByteOrderMark.size());
    }
    bool styleKnown = false;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        Line line;
        if (lf == std::string_view::npos) {
            line.text = rest;
            rest = {};
        } else {
            const bool crlf = lf > 0 && rest[lf - 1] == '\r';
            line.text = rest.substr(0, crlf ? lf - 1 : lf);
            line.end = crlf ? "\r\n" : "\n";
            rest.remove_prefix(lf + 1);
            if (!styleKnown) {
                doc.newline = line.end;
                styleKnown = true;
            }
        }
        doc.lines.push_back(std::move(line));
    }
    return doc;
}

std::string join(const Document& doc) {
    std::string out = doc.bom;
    for (const Line& line : doc.lines)
        out += line.text + line.end;
    return out;
}

// The name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view text) {
    text = trim(text);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(text.substr(1, close - 1));
}

// The key of a "key=value" line; comments and lines without "=" have none.
std::optional<std::string_view> keyName(std::string_view text) {
    const std::string_view t = trim(text);
    if (t.empty() || t.front() == ';')
        return std::nullopt;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return trim(text.substr(0, equals));
}

struct Found {
    std::size_t sectionLine = 0; // the header
    std::size_t sectionEnd = 0;  // one past its last line
    std::optional<std::size_t> keyLine;
};

std::optional<Found> find(const Document& doc, const std::string& section, const std::string& key) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const auto name = sectionName(doc.lines[i].text);
        if (!name || !equalsNoCase(*name, section))
            continue;
        Found found;
        found.sectionLine = i;
        std::size_t j = i + 1;
        for (; j < doc.lines.size() && !sectionName(doc.lines[j].text); ++j) {
            const auto k = keyName(doc.lines[j].text);
            if (!found.keyLine && k && equalsNoCase(*k, key))
                found.keyLine = j;
        }
        found.sectionEnd = j;
        return found;
    }
    return std::nullopt;
}

std::string valueOf(std::string_view text) {
    std::string_view value = trim(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// A new file takes the name as given with its extension in lower case, so
// that "LDraw.INI" and "LDraw.ini" create the same file.
std::string nameForNewFile(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return name;
    return name.substr(0, dot) + toLowerAscii(name.substr(dot));
}

// The file in the folder whose name matches without regard to case. Reads
// and writes name it with different cases, so the choice must not depend on
// the case asked for: the name a new file would get wins, else the first
// match in byte order.
std::optional<std::string> existingPath(const std::string& folder, const std::string& file) {
    const std::string full = folder + file;
    const std::string name = fileNamePart(full);
    if (name.empty())
        return std::nullopt;
    const std::string dir = folderPart(full);
    const std::string preferred = nameForNewFile(name);
    if (isRegularFile(dir + preferred))
        return dir + preferred;
    std::optional<std::string> best;
    for (const std::string& candidate : listNames(dir)) {
        if (equalsNoCase(candidate, name) && (!best || candidate < *best) &&
            isRegularFile(dir + candidate))
            best = candidate;
    }
    if (!best)
        return std::nullopt;
    return dir + *best;
}

} // namespace

IniProfileFile::IniProfileFile(std::string folder) : m_folder(AddBackslash(folder)) {}

std::string IniProfileFile::getString(const std::string& section, const std::string& key,
                                      const std::string& fallback, const std::string& file) {
    try {
        const auto path = existingPath(m_folder, file);
        if (!path)
            return fallback;
        std::string content;
        if (readFile(*path, content, kFileLimit) != ReadResult::Ok)
            return fallback;
        const Document doc = split(content);
        const auto found = find(doc, section, key);
        if (!found || !found->keyLine)
            return fallback;
        return valueOf(doc.lines[*found->keyLine].text);
    } catch (...) {
        return fallback;
    }
}

bool IniProfileFile::writeString(const std::string& section, const std::string& key,
                                 const std::string& value, const std::string& file,
                                 std::string* why) {
    auto fail = [why](std::string text) {
        if (why)
            *why = std::move(text);
        return false;
    };
    try {
        // Texts that would break the line structure cannot be written faithfully.
        auto breaks = [](const std::string& s) {
            return s.find_first_of("\r\n") != std::string::npos;
        };
        if (breaks(section) || breaks(key) || breaks(value) || trim(key).empty() ||
            key.find('=') != std::string::npos || section.find(']') != std::string::npos)
            return fail(m_folder + file + ": the text does not fit on one line");

        std::string path;
        std::string content;
        if (const auto existing = existingPath(m_folder, file)) {
            path = *existing;
            bool truncated = false;
            if (readFile(path, content, kFileLimit, &truncated) != ReadResult::Ok || truncated)
                return fail(path + ": it could not be read whole, so it is left as it is");
        } else {
            const std::string full = m_folder + file;
            const std::string name = fileNamePart(full);
            if (name.empty() || !makeFolders(folderPart(full)))
                return fail(full + ": " + std::strerror(errno));
            path = folderPart(full) + nameForNewFile(name);
        }

        Document doc = split(content);
        const std::string entry = key + "=" + value;
        const auto found = find(doc, section, key);
        if (found && found->keyLine) {
            Line& line = doc.lines[*found->keyLine];
            // Keep the key as spelt in the file and the blanks around "=".
            std::size_t valueStart = line.text.find('=') + 1;
            while (valueStart < line.text.size() && isBlank(line.text[valueStart]))
                ++valueStart;
            const std::string head = line.text.substr(0, valueStart);
            if (line.text.substr(valueStart) == value)
                return true;
            line.text = head + value;
        } else if (found) {
            // After the section's last non-blank line, before the blank lines
            // that set it apart from the next one.
            std::size_t at = found->sectionEnd;
            while (at > found->sectionLine + 1 && trim(doc.lines[at - 1].text).empty())
                --at;
            if (doc.lines[at - 1].end.empty())
                doc.lines[at - 1].end = doc.newline;
            doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(at),
                             Line{entry, doc.newline});
        } else {
            if (!doc.lines.empty()) {
                if (doc.lines.back().end.empty())
                    doc.lines.back().end = doc.newline;
                if (!trim(doc.lines.back().text).empty())
                    doc.lines.push_back(Line{"", doc.newline});
            }
            doc.lines.push_back(Line{"[" + section + "]", doc.newline});
            doc.lines.push_back(Line{entry, doc.newline});
        }
        std::string reason;
        if (!writeFileAtomically(path, join(doc), &reason))
            return fail(path + ": " + reason);
        return true;
    } catch (...) {
        return fail(m_folder + file + ": out of memory");
    }
}

} // namespace bp::desktop
