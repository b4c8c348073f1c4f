#include "converter/model.h"

#include "converter/options.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

namespace bp::conv {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1a';
}

// Words of a line, read one at a time.
class Words {
  public:
    explicit Words(std::string_view line) : m_line(line) {}
    std::string_view next() {
        while (m_pos < m_line.size() && isBlank(m_line[m_pos]))
            ++m_pos;
        const std::size_t start = m_pos;
        while (m_pos < m_line.size() && !isBlank(m_line[m_pos]))
            ++m_pos;
        return m_line.substr(start, m_pos - start);
    }
    bool number(double& out) {
        const std::string_view w = next();
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), out);
        return ec == std::errc() && end == w.data() + w.size() && !w.empty();
    }
    bool vec(Vec3& v) { return number(v.x) && number(v.y) && number(v.z); }
    std::string_view rest() {
        std::string_view r = m_line.substr(std::min(m_pos, m_line.size()));
        while (!r.empty() && isBlank(r.front()))
            r.remove_prefix(1);
        while (!r.empty() && isBlank(r.back()))
            r.remove_suffix(1);
        return r;
    }

  private:
    std::string_view m_line;
    std::size_t m_pos = 0;
};

bool degenerate(const Vec3& a, const Vec3& b, const Vec3& c) {
    return (b - a).cross(c - a).length() < 1e-9;
}

void addTriangle(std::vector<Face>& faces, const Face& proto, const Vec3& a, const Vec3& b,
                 const Vec3& c) {
    if (degenerate(a, b, c))
        return;
    Face f = proto;
    f.v = {a, b, c};
    faces.push_back(f);
}

std::optional<FileKind> kindFromHeader(std::string_view type) {
    if (type.starts_with("Unofficial_"))
        type.remove_prefix(11);
    if (type == "Part" || type == "Shortcut" || type == "Part_Alias" || type == "Shortcut_Alias")
        return FileKind::Part;
    if (type == "Subpart")
        return FileKind::Subpart;
    if (type == "Primitive" || type == "8_Primitive" || type == "48_Primitive")
        return FileKind::Primitive;
    if (type == "Model" || type == "Submodel")
        return FileKind::Model;
    return std::nullopt;
}

bool isL3PMeta(std::string_view line) {
    Words w(line);
    return w.next() == "0" && w.next() == "L3P";
}

enum class PovState { None, Pov, NonPov };

struct ParseState {
    int step = 0;
    PovState pov = PovState::None;
    bool first = true;
    bool kindFromHeader = false;
};

// Handles a line starting with "0"; the words after it.
void metaLine(Words& w, std::string_view line, LDrawFile& file, ColourTable& colours,
              ParseState& s) {
    const std::string_view word = w.next();
    if (s.first) {
        file.title = std::string(Words(line.substr(1)).rest());
    }
    if (word == "STEP") {
        ++s.step;
    } else if (word == "!COLOUR") {
        colours.define(line.substr(line.find('!')));
    } else if (word == "!LDRAW_ORG") {
        if (const auto kind = kindFromHeader(w.next())) {
            file.kind = *kind;
            s.kindFromHeader = true;
        }
    } else if (word == "L3P") {
        const std::string_view what = w.next();
        if (what == "IFPOV") {
            s.pov = PovState::Pov;
            file.povCode.push_back({std::string(), s.step});
        } else if (what == "IFNOTPOV" || what == "ELSEPOV") {
            s.pov = PovState::NonPov;
        } else if (what == "ENDPOV") {
            s.pov = PovState::None;
        }
    }
}

} // namespace

void addQuad(std::vector<Face>& faces, const Face& proto, const std::array<Vec3, 4>& q) {
    const auto agrees = [](const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d) {
        return (b - a).cross(c - a).dot((c - a).cross(d - a)) >= 0;
    };
    std::array<int, 4> order{0, 1, 2, 3};
    if (!agrees(q[0], q[1], q[2], q[3])) {
        if (agrees(q[0], q[1], q[3], q[2]))
            order = {0, 1, 3, 2};
        else if (agrees(q[0], q[2], q[1], q[3]))
            order = {0, 2, 1, 3};
    }
    addTriangle(faces, proto, q[order[0]], q[order[1]], q[order[2]]);
    addTriangle(faces, proto, q[order[0]], q[order[2]], q[order[3]]);
}

void parseLDraw(std::string_view text, LDrawFile& file, ColourTable& colours) {
    ParseState s;
    std::size_t pos = 0;
    int lineNumber = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;

        Words w(line);
        const std::string_view type = w.next();
        if (type.empty())
            continue;
        if (s.pov == PovState::Pov && !isL3PMeta(line)) {
            auto& code = file.povCode.back().text;
            code.append(line.data(), line.size() - (line.ends_with('\r') ? 1 : 0));
            code += '\n';
            continue;
        }
        if (type.size() != 1) {
            s.first = false;
            continue;
        }
        Face proto;
        proto.step = s.step;
        proto.nonPov = s.pov == PovState::NonPov;
        switch (type[0]) {
        case '0':
            metaLine(w, line, file, colours, s);
            break;
        case '1': {
            SubfileRef r;
            const auto colour = parseColourCode(w.next());
            Vec3 t;
            bool ok = colour.has_value() && w.vec(t);
            for (double& m : r.place.m)
                ok = ok && w.number(m);
            r.name = lowerName(std::string(w.rest()));
            if (!ok || r.name.empty())
                break;
            r.colour = *colour;
            r.place.t = t;
            r.line = lineNumber;
            r.step = s.step;
            r.nonPov = proto.nonPov;
            r.isLight = r.name == "light.dat";
            file.refs.push_back(std::move(r));
            break;
        }
        case '3':
        case '4': {
            const auto colour = parseColourCode(w.next());
            std::array<Vec3, 4> q;
            const int n = type[0] == '3' ? 3 : 4;
            bool ok = colour.has_value();
            for (int i = 0; i < n; ++i)
                ok = ok && w.vec(q[i]);
            if (!ok)
                break;
            proto.colour = *colour;
            if (n == 3)
                addTriangle(file.faces, proto, q[0], q[1], q[2]);
            else
                addQuad(file.faces, proto, q);
            break;
        }
        case '2':
        case '5': {
            EdgeLine l;
            l.optional = type[0] == '5';
            l.nonPov = proto.nonPov;
            if (parseColourCode(w.next()) && w.vec(l.v[0]) && w.vec(l.v[1]))
                file.lines.push_back(l);
            break;
        }
        default:
            break;
        }
        s.first = false;
    }
}

std::vector<std::pair<std::string, std::string>> splitMpd(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> files;
    std::size_t pos = 0;
    bool inFile = false;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos + (end < text.size() ? 1 : 0));
        pos = end + 1;
        Words w(line);
        if (w.next() == "0") {
            const std::string_view word = w.next();
            if (word == "FILE") {
                files.emplace_back(lowerName(std::string(w.rest())), std::string());
                inFile = true;
                continue;
            }
            if (word == "NOFILE") {
                inFile = false;
                continue;
            }
        }
        if (inFile)
            files.back().second.append(line);
    }
    if (files.empty())
        files.emplace_back(std::string(), std::string(text));
    return files;
}

bool readWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad())
        return false;
    text = std::move(s).str();
    return true;
}

ModelLoader::ModelLoader(Library& library, ColourTable& colours, std::vector<std::string>& warnings)
    : m_library(library), m_colours(colours), m_warnings(warnings) {}

LDrawFile* ModelLoader::parseInto(std::string name, std::string path, std::string_view text,
                                  Origin origin, bool inSubfolder) {
    auto file = std::make_unique<LDrawFile>();
    file->name = name;
    file->path = std::move(path);
    switch (origin) {
    case Origin::Parts:
        file->kind = inSubfolder ? FileKind::Subpart : FileKind::Part;
        break;
    case Origin::Primitives:
        file->kind = FileKind::Primitive;
        break;
    default:
        file->kind = FileKind::Model;
        break;
    }
    parseLDraw(text, *file, m_colours);
    LDrawFile* raw = file.get();
    m_files[name] = std::move(file);
    m_pending.push_back(raw);
    return raw;
}

const LDrawFile* ModelLoader::load(const std::string& path, std::string& error) {
    std::string text;
    if (!readWholeFile(path, text)) {
        error = "cannot read the model \"" + path + "\": " + std::strerror(errno);
        return nullptr;
    }
    auto parts = splitMpd(text);
    // Embedded files win over the library's; the first is the model itself.
    for (std::size_t i = 1; i < parts.size(); ++i)
        m_embedded.try_emplace(parts[i].first, std::move(parts[i].second));
    const std::string mainName = parts[0].first.empty() ? "\x01main" : parts[0].first;
    LDrawFile* main = parseInto(mainName, path, parts[0].second, Origin::ModelFolder, false);
    main->kind = FileKind::Model;
    resolveAll();
    breakCycles(main);
    return main;
}

void ModelLoader::resolveAll() {
    while (!m_pending.empty()) {
        LDrawFile* file = m_pending.back();
        m_pending.pop_back();
        for (SubfileRef& r : file->refs) {
            if (r.isLight)
                continue;
            if (const auto it = m_files.find(r.name); it != m_files.end()) {
                r.file = it->second.get();
                continue;
            }
            if (const auto it = m_embedded.find(r.name); it != m_embedded.end()) {
                r.file = parseInto(r.name, file->path, it->second, Origin::ModelFolder, false);
                continue;
            }
            std::string text;
            const auto found = m_library.find(r.name);
            if (found && readWholeFile(found->path, text)) {
                r.file = parseInto(r.name, found->path, text, found->origin, found->inSubfolder);
                continue;
            }
            ++m_missingRefs;
            if (m_missing.insert(r.name).second)
                m_warnings.push_back("cannot find \"" + r.name + "\" (asked for by " + file->path +
                                     " line " + std::to_string(r.line) + ")");
        }
    }
}

void ModelLoader::breakCycles(const LDrawFile* main) {
    // Depth-first with an explicit stack; a reference back to a file still
    // being visited would make the scene refer to itself.
    enum Mark { Fresh, Open, Done };
    std::unordered_map<const LDrawFile*, Mark> marks;
    struct Frame {
        const LDrawFile* file;
        std::size_t next;
    };
    std::vector<Frame> stack{{main, 0}};
    marks[main] = Open;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.file->refs.size()) {
            marks[f.file] = Done;
            stack.pop_back();
            continue;
        }
        auto& r = const_cast<SubfileRef&>(f.file->refs[f.next++]);
        if (!r.file)
            continue;
        const Mark m = marks[r.file];
        if (m == Open) {
            m_warnings.push_back("\"" + r.name + "\" refers to itself (" + f.file->path + " line " +
                                 std::to_string(r.line) + "); the reference is left out");
            r.file = nullptr;
        } else if (m == Fresh) {
            marks[r.file] = Open;
            stack.push_back({r.file, 0});
        }
    }
}

} // namespace bp::conv
