#include "core/options/scene_format.h"

#include "core/common/numbers.h"
#include "core/options/scene_layout.h"

#include <algorithm>
#include <cstdio>
#include <istream>
#include <optional>

namespace bp {

namespace {

using switches::Id;

// A quote inside a quoted field is doubled, so that texts such as additional
// POV-Ray switches with quoted paths come back whole.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        out.push_back(c);
        if (c == '"')
            out.push_back('"');
    }
    return out + "\"";
}

// Numbers and typed texts are written without quotes, so a "," inside one
// would split the field: every number is written with ".". A text that the
// reader would take for a quoted field, or that would break the line, is
// quoted instead.
std::string dotText(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == ',')
            c = '.';
    const auto first = out.find_first_not_of(" \t");
    if ((first != std::string::npos && out[first] == '"') ||
        out.find_first_of("\r\n") != std::string::npos)
        return quoted(out);
    return out;
}

std::string fieldText(const SceneField& f, const Options& o) {
    if (f.kind == FieldKind::CheckState)
        return std::to_string(valueOf(f.check(o)));
    if (f.kind == FieldKind::FileType)
        return std::to_string(o.renderSettings.fileType);
    if (f.kind == FieldKind::QuotedText)
        return quoted(f.text(o));
    if (f.kind != FieldKind::LightNumbers)
        return dotText(f.text(o));
    std::string numbers;
    for (const Light& light : o.lights.lights)
        for (int v = 1; v <= kLightValues; ++v)
            numbers += (numbers.empty() ? "" : ",") + numberText(light.value(v));
    return numbers;
}

class FieldReader {
  public:
    explicit FieldReader(std::string_view text) : m_text(text) {}

    // Whether only blanks and line ends remain.
    bool atEnd() {
        while (true) {
            const int c = peek();
            if (c == EOF)
                return true;
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                return false;
            if (c == '\r' || c == '\n') {
                // Blank lines count as the end only if nothing follows them.
                const std::size_t here = m_pos;
                skipBlankRun();
                const bool end = peek() == EOF;
                m_pos = here;
                return end;
            }
            get();
        }
    }

    // The next field; nullopt when the text ends before it or it is too long.
    std::optional<std::string> next() {
        while (peek() == ' ' || peek() == '\t')
            get();
        if (peek() == EOF)
            return std::nullopt;
        std::string text;
        if (peek() == '"') {
            get();
            while (true) {
                const int c = get();
                if (c == EOF)
                    return std::nullopt;
                if (c == '"') {
                    if (peek() == '"') {
                        get();
                        text.push_back('"');
                        continue;
                    }
                    break;
                }
                text.push_back(static_cast<char>(c));
                if (text.size() > kMaxField)
                    return std::nullopt;
            }
            // Anything between the closing quote and the separator is dropped.
            while (!atSeparator())
                get();
        } else {
            while (!atSeparator()) {
                text.push_back(static_cast<char>(get()));
                if (text.size() > kMaxField)
                    return std::nullopt;
            }
            while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
                text.pop_back();
        }
        if (get() == '\r' && peek() == '\n')
            get();
        return text;
    }

  private:
    // No field of a scene is anywhere near this long; a longer one is junk.
    static constexpr std::size_t kMaxField = 64 * 1024;

    int peek() const {
        return m_pos < m_text.size() ? static_cast<unsigned char>(m_text[m_pos]) : EOF;
    }
    int get() {
        const int c = peek();
        if (c != EOF)
            ++m_pos;
        return c;
    }
    bool atSeparator() const {
        const int c = peek();
        return c == EOF || c == ',' || c == '\r' || c == '\n';
    }
    void skipBlankRun() {
        for (int c = peek(); c == ' ' || c == '\t' || c == '\r' || c == '\n'; c = peek())
            get();
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

struct Ended {};
struct Refused {};

class SceneReader {
  public:
    explicit SceneReader(std::string_view text) : m_in(text) {}

    Scene read() {
        try {
            readFields();
        } catch (const Ended&) {
            m_scene.end = SceneEnd::Ended;
        } catch (const Refused&) {
            m_scene.end = SceneEnd::Refused;
        }
        return m_scene;
    }

  private:
    void readFields() {
        Options& o = m_scene.options;
        SceneSection section = SceneSection::Required;
        bool leftOut = false;
        for (const SceneField& f : kSceneLayout) {
            if (f.section != section && (leftOut = m_in.atEnd()))
                setDefault(f.section, o);
            section = f.section;
            if (!leftOut)
                read(f, o);
        }
    }

    // The defaults of a section the file stops short of.
    void setDefault(SceneSection section, Options& o) {
        if (section == SceneSection::Colour || section == SceneSection::Switches) {
            bool& defaulted =
                section == SceneSection::Colour ? m_scene.colourDefault : m_scene.switchesDefault;
            defaulted = true;
            for (const SceneField& f : kSceneLayout) {
                if (f.section != section || !f.leftOut)
                    continue;
                if (f.kind == FieldKind::CheckState)
                    f.check(o) = checkOf(f.leftOut[0] - '0');
                else
                    f.text(o) = f.leftOut;
            }
        } else if (section == SceneSection::Render) {
            m_scene.renderDefault = true;
            o.renderSettings = RenderSettings{};
            o.renderSettings.antiAlias = Check::Ticked;
        }
    }

    void read(const SceneField& f, Options& o) {
        RenderSettings& r = o.renderSettings;
        if (f.kind == FieldKind::LightNumbers) {
            for (Light& light : o.lights.lights)
                for (int v = 1; v <= kLightValues; ++v, ++m_scene.fields)
                    light.value(v) = toSingle(number());
            return;
        }
        if (f.kind == FieldKind::CheckState) {
            f.check(o) = checkState(number());
        } else if (f.kind == FieldKind::NumberBox) {
            // A number box shows the number read as its shortest text.
            f.text(o) = numberText(toSingle(number()));
        } else if (f.kind == FieldKind::FileType) {
            const double index = roundHalfEven(number());
            if (index < -1 || index >= static_cast<double>(kFileTypes.size()))
                throw Refused{};
            r.fileType = static_cast<int>(index);
            r.fileTypeText = r.fileType < 0 ? "" : kFileTypes[static_cast<std::size_t>(index)];
        } else {
            f.text(o) = field();
        }
        ++m_scene.fields;
    }

    std::string field() {
        auto text = m_in.next();
        if (!text)
            throw Ended{};
        return std::move(*text);
    }

    // Read by the number rule, so that whatever was typed into a number box
    // and saved reads back (as its leading number) with the rest of the file.
    double number() { return leadingNumber(field()); }

    static Check checkState(double number) {
        const double v = roundHalfEven(number);
        if (v != 0 && v != 1 && v != 2)
            throw Refused{};
        return checkOf(static_cast<int>(v));
    }

    FieldReader m_in;
    Scene m_scene;
};

} // namespace

std::string sceneFileText(std::istream& in) {
    constexpr std::size_t kMaxSceneBytes = 64 * 1024 * 1024;
    std::string text;
    char block[64 * 1024];
    while (text.size() < kMaxSceneBytes && in.read(block, sizeof block).gcount() > 0)
        text.append(block, static_cast<std::size_t>(in.gcount()));
    return text;
}

Scene readScene(std::string_view text) {
    return SceneReader(text).read();
}

void walkScene(const Scene& scene, LightTable& lights,
               const std::function<void(SceneSection)>& opens,
               const std::function<void(const SceneField&)>& set) {
    int left = scene.fields;
    SceneSection section = SceneSection::Required;
    for (const SceneField& f : kSceneLayout) {
        if (f.section != section) {
            opens(section = f.section);
            if (section == SceneSection::Render && scene.renderDefault)
                left = kSceneFields;
        }
        // A section the file stops short of sets what its default changes.
        if ((section == SceneSection::Colour && scene.colourDefault) ||
            (section == SceneSection::Switches && scene.switchesDefault)) {
            if (f.leftOut)
                set(f);
            continue;
        }
        const int values = f.section == SceneSection::Transparent ? 0
                           : f.kind == FieldKind::LightNumbers    ? kLights * kLightValues
                                                                  : 1;
        for (int i = 0; f.kind == FieldKind::LightNumbers && i < std::min(values, left); ++i) {
            const int light = i / kLightValues + 1, value = i % kLightValues + 1;
            lights.light(light).value(value) = scene.options.lights.light(light).value(value);
        }
        if (values > left)
            return;
        left -= values;
        set(f);
    }
}

std::string writeScene(const Options& o) {
    std::string s;
    for (const SceneField& f : kSceneLayout) {
        // Section D only when it says more than its default, so that files
        // stay as every earlier version wrote them.
        if (f.section == SceneSection::Transparent && !ticked(f.check(o)))
            continue;
        s += fieldText(f, o) + (f.end == FieldEnd::Line ? "\r\n" : ",");
    }
    return s;
}

} // namespace bp
