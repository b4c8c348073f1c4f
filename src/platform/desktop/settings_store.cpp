#include "platform/desktop/desktop_platform.h"

#include "core/common/file_routines.h"
#include "platform/desktop/posix_io.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
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
// Names compare exactly, case included. Lines end in LF, CR LF or a lone CR,
// and a byte-order mark before the first line is skipped. A reader ignores
// what it cannot use: comments, blank lines, lines without "=", entries before
// the first good header, and a repeated key after its first appearance.
// Repeated headers add to the same section.
//
// The store is read once and kept in memory; it is read again only when the
// file has changed since. Every change is written through at once, under an
// advisory lock on a lock file beside the store, onto what the file holds at
// that moment: another instance's changes are kept, and the key changed here
// wins. A file that could not be read whole is never written over.

namespace bp::desktop {

namespace {

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

} // namespace

struct FileSettingsStore::Entry {
    std::string key;
    std::string value;
};

struct FileSettingsStore::Section {
    std::string app;
    std::string name;
    std::vector<Entry> entries;
    std::unordered_map<std::string, std::size_t> index; // key -> entry

    const Entry* find(const std::string& key) const {
        const auto it = index.find(key);
        return it == index.end() ? nullptr : &entries[it->second];
    }
    // False when the key was there already and keep is set.
    bool set(std::string key, std::string value, bool keep = false) {
        const auto [it, added] = index.try_emplace(key, entries.size());
        if (added)
            entries.push_back({std::move(key), std::move(value)});
        else if (!keep)
            entries[it->second].value = std::move(value);
        return added || !keep;
    }
    void erase(const std::string& key) {
        const auto it = index.find(key);
        if (it == index.end())
            return;
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(it->second));
        index.clear();
        for (std::size_t i = 0; i < entries.size(); ++i)
            index.emplace(entries[i].key, i);
    }
};

struct FileSettingsStore::Store {
    std::vector<Section> sections;
    std::map<std::pair<std::string, std::string>, std::size_t> index; // app, name -> section

    Section* find(const std::string& app, const std::string& name) {
        const auto it = index.find({app, name});
        return it == index.end() ? nullptr : &sections[it->second];
    }
    Section& add(const std::string& app, const std::string& name) {
        const auto [it, added] = index.try_emplace({app, name}, sections.size());
        if (added)
            sections.push_back({app, name, {}, {}});
        return sections[it->second];
    }
    void apply(const Address& at, const std::optional<std::string>& value) {
        if (value)
            add(at.app, at.section).set(at.key, *value);
        else if (Section* s = find(at.app, at.section))
            s->erase(at.key);
    }
};

namespace {

using Store = FileSettingsStore::Store;

Store parse(std::string_view content) {
    Store store;
    if (content.starts_with("\xEF\xBB\xBF"))
        content.remove_prefix(3);
    FileSettingsStore::Section* current = nullptr;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = content.size();
        const std::string_view raw = content.substr(start, end - start);
        start = end + (content.substr(end, 2) == "\r\n" ? 2 : 1);
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
            current = &store.add(unescape(trim(inner.substr(0, slash))),
                                 unescape(trim(inner.substr(slash + 1))));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos)
            continue;
        current->set(unescape(trim(line.substr(0, equals))),
                     unescape(trim(line.substr(equals + 1))), true);
    }
    return store;
}

std::string format(const Store& store) {
    std::string out = "# Brickpov settings\n";
    for (const auto& s : store.sections) {
        if (s.entries.empty())
            continue;
        out += "\n[" + escape(s.app, Part::Header) + "/" + escape(s.name, Part::Header) + "]\n";
        for (const auto& e : s.entries) {
            out += escape(e.key, Part::Key);
            out += '=';
            out += escape(e.value, Part::Value);
            out += '\n';
        }
    }
    return out;
}

FileSettingsStore::Stamp stampOf(const struct stat& st) {
    return {true,
            static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

// The file's stamp; a missing file has the empty one. False when even that
// cannot be told.
bool currentStamp(const std::string& path, FileSettingsStore::Stamp& stamp) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        stamp = stampOf(st);
        return true;
    }
    stamp = {};
    return errno == ENOENT || errno == ENOTDIR;
}

enum class Read { Ok, Missing, Failed };

// The whole file and the stamp of what was read; why names a failure.
Read readWhole(const std::string& path, std::string& content, FileSettingsStore::Stamp& stamp,
               std::string& why) {
    // Non-blocking, so that a FIFO in the file's place cannot stall us.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return Read::Missing;
        why = std::strerror(errno);
        return Read::Failed;
    }
    const std::unique_ptr<int, void (*)(int*)> closer(new int(fd), [](int* f) {
        ::close(*f);
        delete f;
    });
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        why = std::strerror(errno);
        return Read::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? "a folder has its name" : "it is not an ordinary file";
        return Read::Failed;
    }
    content.clear();
    content.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            why = std::strerror(errno);
            return Read::Failed;
        }
        if (n == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    stamp = stampOf(st);
    return Read::Ok;
}

// An exclusive advisory lock on a file beside the store, held while it lives.
// Only instances of this program take it; a writer that dies releases it.
class LockFile {
  public:
    LockFile(const std::string& path, std::string& why) {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            why = std::strerror(errno);
            return;
        }
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                why = std::strerror(errno);
                ::close(m_fd);
                m_fd = -1;
                return;
            }
        }
    }
    ~LockFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    bool held() const { return m_fd >= 0; }

  private:
    int m_fd = -1;
};

} // namespace

FileSettingsStore::FileSettingsStore(std::string path)
    : m_path(std::move(path)), m_store(std::make_unique<Store>()) {}

FileSettingsStore::~FileSettingsStore() = default;

std::string FileSettingsStore::lockPath() const {
    return folderPart(m_path) + "." + fileNamePart(m_path) + ".lock";
}

void FileSettingsStore::refresh() {
    Stamp now;
    if (m_loaded && currentStamp(m_path, now) && now == m_stamp)
        return;
    std::string content;
    std::string why;
    switch (readWhole(m_path, content, now, why)) {
    case Read::Missing:
        *m_store = Store();
        m_stamp = {};
        m_readWhole = true;
        break;
    case Read::Ok:
        *m_store = parse(content);
        m_stamp = now;
        m_readWhole = true;
        break;
    case Read::Failed:
        // What we hold stays; the file is left alone until it reads again.
        if (m_readWhole || !m_loaded)
            m_readProblem =
                m_path + " could not be read whole (" + why + "), so it is left as it is";
        m_readWhole = false;
        currentStamp(m_path, m_stamp);
        break;
    }
    m_loaded = true;
    for (const auto& [at, value] : m_pending)
        m_store->apply(at, value);
}

void FileSettingsStore::noteProblem(const std::string& text) {
    if (!m_told && m_problem.empty())
        m_problem = text;
}

std::string FileSettingsStore::takeProblem() {
    if (m_told || m_problem.empty())
        return {};
    m_told = true;
    return m_problem;
}

void FileSettingsStore::change(Address at, std::optional<std::string> value) {
    m_store->apply(at, value);
    m_pending[std::move(at)] = std::move(value);
    if (!m_readWhole) {
        noteProblem(m_readProblem);
        return;
    }
    const std::string folder = folderPart(m_path);
    if (!folder.empty() && !makeFolders(folder)) {
        noteProblem(m_path + " could not be written (" + std::strerror(errno) + ")");
        return;
    }
    std::string why;
    const LockFile lock(lockPath(), why);
    if (!lock.held()) {
        noteProblem(m_path + " could not be written (" + why + ")");
        return;
    }
    // What another instance wrote since we last looked, with our changes on top.
    refresh();
    if (!m_readWhole) {
        noteProblem(m_readProblem);
        return;
    }
    if (!writeFileAtomically(m_path, format(*m_store), &why)) {
        noteProblem(m_path + " could not be written (" + why + ")");
        return;
    }
    m_pending.clear();
    currentStamp(m_path, m_stamp);
}

std::string FileSettingsStore::get(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& fallback) {
    try {
        refresh();
        const Section* s = m_store->find(app, section);
        const Entry* e = s ? s->find(key) : nullptr;
        return e ? e->value : fallback;
    } catch (...) {
        return fallback;
    }
}

void FileSettingsStore::save(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) {
    try {
        refresh();
        const Section* s = m_store->find(app, section);
        const Entry* e = s ? s->find(key) : nullptr;
        if (e && e->value == value)
            return;
        change({app, section, key}, value);
    } catch (...) {
        noteProblem(m_path + " could not be written (out of memory)");
    }
}

void FileSettingsStore::remove(const std::string& app, const std::string& section,
                               const std::string& key) {
    try {
        refresh();
        const Section* s = m_store->find(app, section);
        if (s && s->find(key))
            change({app, section, key}, std::nullopt);
    } catch (...) {
        noteProblem(m_path + " could not be written (out of memory)");
    }
}

} // namespace bp::desktop
