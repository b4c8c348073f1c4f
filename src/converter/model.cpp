#include "converter/model.h"

#include "converter/convert.h"
#include "converter/options.h"
#include "converter/text.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace bp::conv {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1a';
}

// Words of a line, read one at a time. A number that cannot be read leaves
// its word and why in `problem`.
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
        const NumberRead read = readNumber(w, out);
        if (read != NumberRead::Ok && problem.empty())
            problem = w.empty() ? std::string("a number is missing") : numberProblem(w, read);
        return read == NumberRead::Ok;
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
    std::string problem;

  private:
    std::string_view m_line;
    std::size_t m_pos = 0;
};

// Whether POV-Ray can invert the placement once a missing axis is put back.
bool placeable(const Placement& p) {
    const Placement fixed = repairedSingular(p);
    const double size =
        fixed.column(0).length() * fixed.column(1).length() * fixed.column(2).length();
    return std::fabs(fixed.determinant()) > 1e-9 * size;
}

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

// Where the reader is in "!TEXMAP" blocks.
struct TexmapState {
    int block = -1; // the texmap of an open START block
    bool fallback = false;
    int next = -1; // a NEXT texmap waiting for its line
};

struct ParseState {
    int step = 0;
    PovState pov = PovState::None;
    bool first = true;
    bool kindFromHeader = false;
    int line = 0;
    TexmapState tex;
};

// Calls `data` with the text after "0 !:" on each line of an embedded image.
void forEachDataLine(std::string_view text, const std::function<void(std::string_view)>& data) {
    LineReader lines(text);
    std::string_view line;
    while (lines.next(line)) {
        Words w(line);
        if (w.next() == "0" && w.next() == "!:")
            data(w.rest());
    }
}

// "START|NEXT <method> <points> [<angles>] <image> [GLOSSMAP <image>]"; the
// words after "!TEXMAP". False when the line is malformed.
bool readTexmap(Words& w, TexMap& t) {
    const std::string_view method = w.next();
    int angles = 0;
    if (method == "PLANAR") {
        t.projection = Projection::Planar;
    } else if (method == "CYLINDRICAL") {
        t.projection = Projection::Cylindrical;
        angles = 1;
    } else if (method == "SPHERICAL") {
        t.projection = Projection::Spherical;
        angles = 2;
    } else {
        return false;
    }
    for (Vec3& p : t.points)
        if (!w.vec(p))
            return false;
    if ((angles > 0 && !w.number(t.angleA)) || (angles > 1 && !w.number(t.angleB)))
        return false;
    std::string_view image = w.next();
    if (image.size() >= 2 && image.front() == '"' && image.back() == '"')
        image = image.substr(1, image.size() - 2);
    t.image = lowerName(std::string(image));
    return !t.image.empty();
}

// A "0 !TEXMAP" line; the words after "!TEXMAP".
void texmapLine(Words& w, int lineNumber, LDrawFile& file, TexmapState& s) {
    const std::string_view what = w.next();
    if (what == "START" || what == "NEXT") {
        TexMap t;
        t.line = lineNumber;
        if (!readTexmap(w, t))
            return;
        file.texmaps.push_back(std::move(t));
        const int index = static_cast<int>(file.texmaps.size()) - 1;
        if (what == "NEXT") {
            s.next = index;
        } else {
            s.block = index;
            s.fallback = false;
        }
    } else if (what == "FALLBACK") {
        s.fallback = s.block >= 0;
    } else if (what == "END") {
        s = TexmapState{};
    }
}

// Handles a line starting with "0"; the words after it.
void metaLine(Words& w, std::string_view line, int lineNumber, LDrawFile& file,
              ColourTable& colours, ParseState& s) {
    const std::string_view word = w.next();
    if (s.first) {
        file.title = std::string(Words(line.substr(1)).rest());
    }
    if (word == "STEP") {
        ++s.step;
        s.tex = TexmapState{};
    } else if (word == "!COLOUR") {
        colours.define(line.substr(line.find('!')));
    } else if (word == "!TEXMAP") {
        texmapLine(w, lineNumber, file, s.tex);
    } else if (word == "!LDRAW_ORG") {
        if (const auto kind = kindFromHeader(w.next())) {
            file.kind = *kind;
            s.kindFromHeader = true;
        }
    } else if (word == "L3P") {
        const std::string_view what = w.next();
        if (what == "IFPOV") {
            s.pov = PovState::Pov;
            file.povCode.push_back({std::string(), s.step, s.line});
        } else if (what == "IFNOTPOV" || what == "ELSEPOV") {
            s.pov = PovState::NonPov;
        } else if (what == "ENDPOV") {
            s.pov = PovState::None;
        }
    }
}

// Whether a "0" line is "0 !:" inside a texmap block: geometry drawn only by
// readers that draw the texture. Then `w` is moved past the "!:".
bool hiddenGeometry(Words& w, const TexmapState& s) {
    if (s.block < 0 || s.fallback)
        return false;
    Words ahead = w;
    if (ahead.next() != "!:")
        return false;
    w = ahead;
    return true;
}

// The texmap a geometry line belongs to; a NEXT texmap is used up by it.
void textureOf(TexmapState& s, TexRole role, Face& proto) {
    if (s.next >= 0) {
        proto.texmap = s.next;
        s.next = -1;
    } else if (s.block >= 0) {
        proto.texmap = s.block;
        proto.texRole = s.fallback ? TexRole::Fallback : role;
    }
}

} // namespace

bool drawn(const LDrawFile& file, int texmap, TexRole role) {
    if (texmap < 0 || role == TexRole::Textured)
        return true;
    const bool found = !file.texmaps[static_cast<std::size_t>(texmap)].imagePath.empty();
    return found == (role == TexRole::Only);
}

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

namespace {

constexpr std::size_t kProblemsKept = 10;

void leaveOut(LDrawFile& file, int line, const std::string& why,
              const char* what = "; the line is left out") {
    if (file.problems.size() < kProblemsKept)
        file.problems.push_back({line, why + what});
    ++file.malformedLines;
}

bool isGeometryType(std::string_view type) {
    return type.size() == 1 && type[0] >= '1' && type[0] <= '5';
}

} // namespace

void parseLDraw(std::string_view text, LDrawFile& file, ColourTable& colours) {
    ParseState s;
    LineReader lines(text, file.firstLine);
    std::string_view line;
    int povBlockLine = 0;
    while (lines.next(line)) {
        const int lineNumber = lines.number();
        Words w(line);
        const std::string_view first = w.next();
        if (first.empty())
            continue;
        if (line.size() > kLongestLine) {
            leaveOut(file, lineNumber,
                     "longer than " + std::to_string(kLongestLine) + " characters");
            s.first = false;
            continue;
        }
        const TexRole role =
            first == "0" && hiddenGeometry(w, s.tex) ? TexRole::Only : TexRole::Textured;
        const std::string_view type = role == TexRole::Only ? w.next() : first;
        if (s.pov == PovState::Pov && !isL3PMeta(line)) {
            auto& code = file.povCode.back().text;
            code.append(line);
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
        const auto colour = type[0] == '0' ? std::nullopt : parseColourCode(w.next());
        if (type[0] != '0')
            textureOf(s.tex, role, proto);
        if (isGeometryType(type) && !colour)
            w.problem = "the colour is not a colour number";
        switch (type[0]) {
        case '0':
            s.line = lineNumber;
            metaLine(w, line, lineNumber, file, colours, s);
            if (s.pov == PovState::Pov && povBlockLine == 0)
                povBlockLine = lineNumber;
            else if (s.pov != PovState::Pov)
                povBlockLine = 0;
            break;
        case '1': {
            SubfileRef r;
            Vec3 t;
            bool ok = colour.has_value() && w.vec(t);
            for (double& m : r.place.m)
                ok = ok && w.number(m);
            if (ok) {
                r.name = lowerName(std::string(w.rest()));
                if (r.name.empty())
                    w.problem = "no file name";
                else if (!placeable(r.place))
                    w.problem = "its matrix flattens the part to a line or a point";
            }
            if (!ok || r.name.empty())
                break;
            r.colour = *colour;
            r.place.t = t;
            r.line = lineNumber;
            r.step = s.step;
            r.nonPov = proto.nonPov;
            r.isLight = r.name == "light.dat";
            r.texmap = proto.texmap;
            r.texRole = proto.texRole;
            file.refs.push_back(std::move(r));
            break;
        }
        case '3':
        case '4': {
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
            // An optional line's two control points are read only to check them.
            Vec3 control;
            const bool ok = colour.has_value() && w.vec(l.v[0]) && w.vec(l.v[1]) &&
                            (!l.optional || (w.vec(control) && w.vec(control)));
            if (ok)
                file.lines.push_back(l);
            break;
        }
        default:
            break;
        }
        if (isGeometryType(type) && !w.problem.empty())
            leaveOut(file, lineNumber, w.problem);
        s.first = false;
    }
    if (s.pov == PovState::Pov)
        file.unendedPovBlock = povBlockLine;
    for (PovCode& code : file.povCode) {
        if (const std::string word = fileAccessIn(code.text); !word.empty()) {
            leaveOut(file, code.line,
                     "the POV-Ray code of this \"0 L3P IFPOV\" block may read or write files (" +
                         word + ")",
                     "; the block is left out");
            code.text.clear();
        }
    }
}

std::optional<std::string> decodeBase64(std::string_view text) {
    std::string out;
    unsigned bits = 0;
    int count = 0, padding = 0;
    for (const char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else if (c == '=') {
            ++padding;
            continue;
        } else if (isBlank(c))
            continue;
        else
            return std::nullopt;
        if (padding > 0)
            return std::nullopt; // data after the padding
        bits = (bits << 6) | static_cast<unsigned>(v);
        if (++count == 4) {
            out += static_cast<char>((bits >> 16) & 255);
            out += static_cast<char>((bits >> 8) & 255);
            out += static_cast<char>(bits & 255);
            bits = 0;
            count = 0;
        }
    }
    if (count == 1 || padding > 2)
        return std::nullopt;
    if (count == 2)
        out += static_cast<char>((bits >> 4) & 255);
    if (count == 3) {
        out += static_cast<char>((bits >> 10) & 255);
        out += static_cast<char>((bits >> 2) & 255);
    }
    return out;
}

std::vector<std::string> problemMessages(const LDrawFile& file) {
    std::vector<std::string> out;
    const std::string where = messageText(file.path, 1000);
    for (const LineProblem& p : file.problems)
        out.push_back(where + " line " + std::to_string(p.line) + ": " + p.why);
    if (file.malformedLines > file.problems.size())
        out.push_back(where + ": " + std::to_string(file.malformedLines - file.problems.size()) +
                      " more malformed lines left out");
    if (file.unendedPovBlock > 0)
        out.push_back(where + " line " + std::to_string(file.unendedPovBlock) +
                      ": \"0 L3P IFPOV\" has no \"0 L3P ENDPOV\"; the POV-Ray code ends at the "
                      "end of the file");
    return out;
}

std::vector<MpdFile> splitMpd(std::string_view text) {
    std::vector<MpdFile> files;
    LineReader lines(text);
    std::string_view line;
    bool inFile = false;
    while (lines.next(line)) {
        Words w(line);
        if (w.next() == "0") {
            const std::string_view word = w.next();
            if (word == "FILE" || word == "!DATA") {
                files.push_back({lowerName(std::string(w.rest().substr(0, kLongestLine))),
                                 std::string(), lines.number() + 1});
                inFile = true;
                continue;
            }
            if (word == "NOFILE") {
                inFile = false;
                continue;
            }
        }
        if (inFile) {
            files.back().text.append(line);
            files.back().text += '\n';
        }
    }
    if (files.empty())
        files.push_back({std::string(), std::string(text), 1});
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
                                  Origin origin, bool inSubfolder, int firstLine) {
    auto file = std::make_unique<LDrawFile>();
    file->name = name;
    file->path = std::move(path);
    file->firstLine = firstLine;
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
    findImages(*file); // The main model read again as a subfile is told of once.
    if (m_told.insert(file->path + "\n" + std::to_string(firstLine)).second)
        for (std::string& message : problemMessages(*file))
            m_warnings.push_back(std::move(message));
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
        m_embedded.try_emplace(parts[i].name, std::move(parts[i]));
    const std::string mainName = parts[0].name.empty() ? "\x01main" : parts[0].name;
    LDrawFile* main =
        parseInto(mainName, path, parts[0].text, Origin::ModelFolder, false, parts[0].firstLine);
    main->kind = FileKind::Model;
    resolveAll();
    breakCycles(main);
    return main;
}

const LDrawFile* ModelLoader::loadLibraryFile(const std::string& name) {
    if (const auto it = m_files.find(name); it != m_files.end())
        return it->second.get();
    std::string text;
    const auto found = m_library.find(name);
    if (!found || !readWholeFile(found->path, text))
        return nullptr;
    LDrawFile* file = parseInto(name, found->path, text, found->origin, found->inSubfolder, 1);
    resolveAll();
    return file;
}

// Finds each texmap's image, then keeps the lines drawn with it (or, where it
// is missing, without it): afterwards a line with a texmap is textured.
void ModelLoader::findImages(LDrawFile& file) {
    if (file.texmaps.empty())
        return;
    for (TexMap& t : file.texmaps) {
        t.imagePath = embeddedImage(t.image);
        if (t.imagePath.empty())
            if (const auto found = m_library.find("textures/" + t.image))
                t.imagePath = found->path;
        if (t.imagePath.empty())
            m_warnings.push_back("cannot find the image \"" + t.image + "\" (asked for by " +
                                 file.path + " line " + std::to_string(t.line) +
                                 "); the plain geometry is drawn");
    }
    const auto settle = [&file](auto& items) {
        std::erase_if(items, [&file](const auto& i) { return !drawn(file, i.texmap, i.texRole); });
        for (auto& i : items)
            if (i.texmap >= 0 && file.texmaps[static_cast<std::size_t>(i.texmap)].imagePath.empty())
                i.texmap = -1;
    };
    settle(file.faces);
    settle(file.refs);
}

// The path of an image embedded in the model, written out on first use;
// empty when the model has none of that name.
std::string ModelLoader::embeddedImage(const std::string& name) {
    if (const auto it = m_images.find(name); it != m_images.end())
        return it->second;
    auto it = m_embedded.find(name);
    if (it == m_embedded.end())
        it = m_embedded.find("textures/" + name);
    if (it == m_embedded.end() || m_imagePrefix.empty())
        return {};
    std::string base64;
    forEachDataLine(it->second.text, [&](std::string_view data) { base64.append(data); });
    const auto bytes = decodeBase64(base64);
    std::string path, error;
    if (!bytes) {
        m_warnings.push_back("the embedded image \"" + name + "\" is not valid base64");
    } else {
        std::string safe = name;
        for (char& c : safe)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_')
                c = '_';
        path = m_imagePrefix + safe;
        const auto image = [&bytes](std::ostream& out) {
            out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
        };
        if (!writeFileAtomically(path, image, error)) {
            m_warnings.push_back("cannot write the embedded image \"" + name + "\": " + error);
            path.clear();
        }
    }
    m_images[name] = path;
    return path;
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
                r.file = parseInto(r.name, file->path, it->second.text, Origin::ModelFolder, false,
                                   it->second.firstLine);
                continue;
            }
            std::string text;
            const auto found = m_library.find(r.name);
            if (found && readWholeFile(found->path, text)) {
                r.file = parseInto(r.name, found->path, text, found->origin, found->inSubfolder, 1);
                continue;
            }
            ++m_missingRefs;
            if (m_missing.insert(r.name).second)
                m_warnings.push_back("cannot find \"" + messageText(r.name) + "\" (asked for by " +
                                     file->path + " line " + std::to_string(r.line) + ")");
        }
    }
}

namespace {

// A file's name for a message; an unnamed main model by its file name.
std::string shownName(const LDrawFile& file) {
    if (!file.name.starts_with('\x01'))
        return messageText(file.name);
    return messageText(file.path.substr(file.path.rfind('/') + 1));
}

} // namespace

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
            const std::string where = " (" + messageText(f.file->path, 1000) + " line " +
                                      std::to_string(r.line) + "); the reference is left out";
            if (r.file == f.file) {
                m_warnings.push_back("\"" + shownName(*r.file) + "\" refers to itself" + where);
            } else {
                // The files on the stack from the one referred to back to this one.
                std::size_t from = stack.size() - 1;
                while (stack[from].file != r.file)
                    --from;
                std::string circle;
                for (std::size_t i = from; i < stack.size(); ++i)
                    circle += "\"" + shownName(*stack[i].file) + "\" -> ";
                circle += "\"" + shownName(*r.file) + "\"";
                m_warnings.push_back(stack.size() - from == 2
                                         ? "\"" + shownName(*r.file) + "\" and \"" +
                                               shownName(*f.file) + "\" refer to each other" + where
                                         : "circle of references " + circle + where);
            }
            r.file = nullptr;
        } else if (m == Fresh) {
            marks[r.file] = Open;
            stack.push_back({r.file, 0});
        }
    }
}

} // namespace bp::conv
