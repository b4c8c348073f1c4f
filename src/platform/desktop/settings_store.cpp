#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"
#include "platform/desktop/posix_io.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// The settings file is a text file of our own, one entry a line:
//
//   # a comment
//   [Brickpov/Cameras]
//   UserCamera 0=Front,0,0,-300,0,0,0,0,0,0
//
// A header names the application and the section, split at the first "/".
// An entry's key ends at the first "=" and its value is the rest of the line.
// Blanks around a line, a header's names, a key or a value are not part of
// them, so that hand edits are forgiving.
//
// Escapes make every name and value representable: "\\" is a backslash and
// "\xHH" a byte given in hex. The writer uses "\xHH" for control characters
// anywhere, for a blank at either end of a name or value, for "=" in keys,
// for "/", "[" and "]" in headers, and for a key's first character when it
// would start a comment or a header ("#", ";", "["). Everything else, "=",
// "," and quotes in values included, is written as it is.
//
// Names compare exactly, case included. A reader ignores what it cannot use:
// comments, blank lines, lines without "=", entries before the first good
// header, lines longer than a megabyte, and a repeated key after its first
// appearance. Repeated headers add to the same section.

namespace bp::desktop {

namespace {

constexpr std::size_t kFileLimit = 16u << 20;
constexpr std::size_t kLineLimit = 1u << 20;

struct Entry {
    std::string key;
    std::string value;
};

struct Section {
    std::string app;
    std::string name;
    std::vector<Entry> entries;
};

using Store = std::vector<Section>;

enum class Part { Header, Key, Value };

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The characters that need an escape somewhere; the rest never do.
constexpr auto kMayNeedEscape = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c <= ' '; ++c)
        table[c] = true;
    for (unsigned char c : std::string_view("\x7F\\/[]=#;"))
        table[c] = true;
    return table;
}();

std::string escape(std::string_view text, Part part) {
    static const char* hex = "0123456789ABCDEF";
    if (text.empty())
        return {};
    std::string out;
    out.reserve(text.size());
    const char* const begin = text.data();
    const char* const last = begin + text.size() - 1;
    const char* plain = begin; // the characters not yet copied start here
    const bool* const mayNeedEscape = kMayNeedEscape.data();
    for (const char* p = begin; p <= last; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        // Values can be long and nearly all their characters need no escape.
        if (!mayNeedEscape[c])
            continue;
        const bool edge = p == begin || p == last;
        bool special = c < 0x20 || c == 0x7F || c == '\\' || (edge && c == ' ');
        if (part == Part::Header)
            special = special || c == '/' || c == '[' || c == ']';
        if (part == Part::Key)
            special = special || c == '=' || (p == begin && (c == '#' || c == ';' || c == '['));
        if (!special)
            continue;
        out.append(plain, p);
        plain = p + 1;
        if (c == '\\') {
            out += "\\\\";
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    out.append(plain, begin + text.size());
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A backslash that starts no known escape stands for itself. The text
// between escapes is copied in one piece: the store may hold long values.
std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t next = std::min(text.find('\\', i), text.size());
        out.append(text.substr(i, next - i));
        i = next;
        if (i == text.size())
            break;
        if (i + 1 < text.size()) {
            if (text[i + 1] == '\\') {
                out += '\\';
                ++i;
                continue;
            }
            if (text[i + 1] == 'x' && i + 3 < text.size() && hexDigit(text[i + 2]) >= 0 &&
                hexDigit(text[i + 3]) >= 0) {
                out += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

Section* findSection(Store& store, const std::string& app, const std::string& name) {
    for (Section& s : store)
        if (s.app == app && s.name == name)
            return &s;
    return nullptr;
}

Entry* findEntry(Section& section, const std::string& key) {
    for (Entry& e : section.entries)
        if (e.key == key)
            return &e;
    return nullptr;
}

Store parse(const std::string& content) {
    Store store;
    Section* current = nullptr;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        const std::string_view raw(content.data() + start, end - start);
        start = end + 1;
        if (raw.size() > kLineLimit)
            continue;
        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']')
                continue;
            const std::string_view inner = line.substr(1, line.size() - 2);
            const std::size_t slash = inner.find('/');
            if (slash == std::string_view::npos)
                continue;
            const std::string app = unescape(trim(inner.substr(0, slash)));
            const std::string name = unescape(trim(inner.substr(slash + 1)));
            current = findSection(store, app, name);
            if (!current) {
                store.push_back({app, name, {}});
                current = &store.back();
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos)
            continue;
        std::string key = unescape(trim(line.substr(0, equals)));
        if (!findEntry(*current, key))
            current->entries.push_back({std::move(key), unescape(trim(line.substr(equals + 1)))});
    }
    return store;
}

std::string format(const Store& store) {
    std::string out = "# Brickpov settings\n";
    for (const Section& s : store) {
        if (s.entries.empty())
            continue;
        out += "\n[" + escape(s.app, Part::Header) + "/" + escape(s.name, Part::Header) + "]\n";
        for (const Entry& e : s.entries)
            out += escape(e.key, Part::Key) + "=" + escape(e.value, Part::Value) + "\n";
    }
    return out;
}

// The store as the file holds it now; false when the file exists but cannot be
// read, so that a write does not replace what we could not see.
bool load(const std::string& path, Store& store) {
    std::string content;
    bool truncated = false;
    const ReadResult result = readFile(path, content, kFileLimit, &truncated);
    if (result == ReadResult::Failed)
        return false;
    if (truncated) {
        // The cut line may be incomplete.
        const std::size_t lastBreak = content.rfind('\n');
        content.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
    }
    store = parse(content);
    return true;
}

bool writeStore(const std::string& path, const Store& store) {
    const std::string folder = folderPart(path);
    if (!folder.empty() && !makeFolders(folder))
        return false;
    return writeFileAtomically(path, format(store));
}

} // namespace

FileSettingsStore::FileSettingsStore(std::string path) : m_path(std::move(path)) {}

// Read afresh on every call: the file is small and may be edited while we run.
std::string FileSettingsStore::get(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& fallback) {
    try {
        Store current;
        if (!load(m_path, current))
            return fallback;
        Section* s = findSection(current, app, section);
        if (!s)
            return fallback;
        const Entry* e = findEntry(*s, key);
        return e ? e->value : fallback;
    } catch (...) {
        return fallback;
    }
}

void FileSettingsStore::save(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) {
    try {
        Store current;
        if (!load(m_path, current))
            return;
        Section* s = findSection(current, app, section);
        if (!s) {
            current.push_back({app, section, {}});
            s = &current.back();
        }
        if (Entry* e = findEntry(*s, key)) {
            if (e->value == value)
                return;
            e->value = value;
        } else {
            s->entries.push_back({key, value});
        }
        writeStore(m_path, current);
    } catch (...) {
        // A failed write leaves the old value, as the callers expect.
    }
}

void FileSettingsStore::remove(const std::string& app, const std::string& section,
                               const std::string& key) {
    try {
        Store current;
        if (!load(m_path, current))
            return;
        Section* s = findSection(current, app, section);
        if (!s)
            return;
        const auto before = s->entries.size();
        std::erase_if(s->entries, [&](const Entry& e) { return e.key == key; });
        if (s->entries.size() != before)
            writeStore(m_path, current);
    } catch (...) {
    }
}

} // namespace bp::desktop
