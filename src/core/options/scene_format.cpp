#include "core/options/scene_format.h"

#include "core/common/numbers.h"

#include <cstdio>
#include <initializer_list>
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
        check(o.cameraGlobe);
        check(o.cameraCartesian);
        for (auto& v : o.cameraValue)
            numberBox(v);
        check(o.cameraAngle);
        numberBox(o.cameraAngleValue);
        for (Check* c : {&o.plain[Id::DefaultLights], &o.plain[Id::ModelLights], &o.lightGlobe,
                         &o.lightCartesian})
            check(*c);
        for (Light& light : o.lights.lights)
            for (int v = 1; v <= kLightValues; ++v) {
                light.value(v) = toSingle(number());
                ++m_scene.fields;
            }
        check(o.background);
        for (auto& v : o.backgroundColour)
            numberBox(v);
        check(o.floor);
        plain(o.floorType);
        plain(o.floorY);
        check(o.plain[Id::Bumps]);
        check(o.seamWidth);
        numberBox(o.seamWidthValue);
        check(o.quality);
        numberBox(o.qualityValue);
        check(o.plain[Id::Overwrite]);
        check(o.plain[Id::Primitives]);

        if ((m_scene.colourDefault = m_in.atEnd())) {
            o.colour = Check::Clear;
        } else {
            check(o.colour);
            plain(o.colourText);
        }
        if ((m_scene.switchesDefault = m_in.atEnd())) {
            for (Check* c : {&o.plain[Id::StepClock], &o.plain[Id::ExcludeNonPov],
                             &o.plain[Id::Lgeo], &o.render})
                *c = Check::Clear;
        } else {
            for (Check* c : {&o.plain[Id::StepClock], &o.plain[Id::ExcludeNonPov],
                             &o.plain[Id::Lgeo], &o.render})
                check(*c);
            check(o.lookAt);
            for (auto& v : o.lookAtValue)
                numberBox(v);
        }
        RenderSettings& r = o.renderSettings;
        if ((m_scene.renderDefault = m_in.atEnd())) {
            r = RenderSettings{};
            r.antiAlias = Check::Ticked;
        } else {
            plain(r.outputFile);
            const double index = roundHalfEven(number());
            if (index < -1 || index >= static_cast<double>(kFileTypes.size()))
                throw Refused{};
            r.fileType = static_cast<int>(index);
            r.fileTypeText = r.fileType < 0 ? "" : kFileTypes[static_cast<std::size_t>(index)];
            ++m_scene.fields;
            numberBox(r.width);
            numberBox(r.height);
            check(r.antiAlias);
            for (auto* v : {&r.initialFrame, &r.finalFrame, &r.initialClock, &r.finalClock})
                numberBox(*v);
            plain(r.additional);
            if (!m_in.atEnd())
                check(r.transparentBackground);
        }
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

    void plain(std::string& into) {
        into = field();
        ++m_scene.fields;
    }

    void check(Check& into) {
        const double v = roundHalfEven(number());
        if (v != 0 && v != 1 && v != 2)
            throw Refused{};
        into = checkOf(static_cast<int>(v));
        ++m_scene.fields;
    }

    // A number box shows the number read as its shortest text.
    void numberBox(std::string& into) {
        into = numberText(toSingle(number()));
        ++m_scene.fields;
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

std::string writeScene(const Options& o) {
    std::string s;
    auto line = [&s](std::initializer_list<std::string> fields) {
        bool first = true;
        for (const auto& f : fields) {
            if (!first)
                s += ",";
            s += f;
            first = false;
        }
        s += "\r\n";
    };
    auto check = [](Check c) { return std::to_string(valueOf(c)); };
    const auto& cv = o.cameraValue;
    line({check(o.cameraGlobe), check(o.cameraCartesian), dotText(cv[0]), dotText(cv[1]),
          dotText(cv[2]), check(o.cameraAngle), dotText(o.cameraAngleValue)});
    line({check(o.plain[Id::DefaultLights]), check(o.plain[Id::ModelLights]), check(o.lightGlobe),
          check(o.lightCartesian)});
    for (const Light& light : o.lights.lights)
        for (int v = 1; v <= kLightValues; ++v)
            s += numberText(light.value(v)) + ",";
    const auto& bc = o.backgroundColour;
    line({check(o.background), dotText(bc[0]), dotText(bc[1]), dotText(bc[2])});
    line({check(o.floor), dotText(o.floorType), dotText(o.floorY)});
    line({check(o.plain[Id::Bumps]), check(o.seamWidth), dotText(o.seamWidthValue),
          check(o.quality), dotText(o.qualityValue), check(o.plain[Id::Overwrite]),
          check(o.plain[Id::Primitives]), check(o.colour), quoted(o.colourText)});
    line({check(o.plain[Id::StepClock]), check(o.plain[Id::ExcludeNonPov]),
          check(o.plain[Id::Lgeo]), check(o.render)});
    const auto& la = o.lookAtValue;
    line({check(o.lookAt), dotText(la[0]), dotText(la[1]), dotText(la[2])});
    const RenderSettings& r = o.renderSettings;
    line({quoted(r.outputFile)});
    line({std::to_string(r.fileType), dotText(r.width), dotText(r.height), check(r.antiAlias),
          dotText(r.initialFrame), dotText(r.finalFrame), dotText(r.initialClock),
          dotText(r.finalClock), quoted(r.additional)});
    // Section D only when it says more than its default, so that files stay
    // as every earlier version wrote them.
    if (ticked(r.transparentBackground))
        line({check(r.transparentBackground)});
    return s;
}

} // namespace bp
