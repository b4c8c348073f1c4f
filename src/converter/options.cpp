#include "converter/options.h"

#include "converter/text.h"

#include <charconv>
#include <string_view>

namespace bp::conv {

namespace {

std::optional<double> parseNumber(std::string_view text) {
    double value = 0;
    if (readNumber(text, value) != NumberRead::Ok)
        return std::nullopt;
    return value;
}

// Why a malformed value was refused, when the reason is a number that is not
// finite or out of range; empty otherwise.
std::string numberProblemIn(std::string_view value) {
    if (!value.empty() && (value.front() == 'g' || value.front() == 'c'))
        value.remove_prefix(1); // -f's floor kind
    for (;;) {
        const auto comma = value.find(',');
        const std::string_view word = value.substr(0, comma);
        double ignored = 0;
        if (const NumberRead read = readNumber(word, ignored);
            read == NumberRead::NotFinite || read == NumberRead::OutOfRange)
            return numberProblem(word, read);
        if (comma == std::string_view::npos)
            return {};
        value.remove_prefix(comma + 1);
    }
}

// Comma-separated numbers; nullopt when any of them is not a number.
std::optional<std::vector<double>> parseNumbers(std::string_view text) {
    std::vector<double> values;
    for (;;) {
        const auto comma = text.find(',');
        const auto number = parseNumber(text.substr(0, comma));
        if (!number)
            return std::nullopt;
        values.push_back(*number);
        if (comma == std::string_view::npos)
            return values;
        text.remove_prefix(comma + 1);
    }
}

std::optional<Vec3> parseTriple(std::string_view text) {
    const auto v = parseNumbers(text);
    if (!v || v->size() != 3)
        return std::nullopt;
    return Vec3{(*v)[0], (*v)[1], (*v)[2]};
}

std::optional<int> wholeNumber(double v) {
    if (v != std::floor(v) || v < 0 || v > 0x7fffffff)
        return std::nullopt;
    return static_cast<int>(v);
}

// "r,g,b" fractions or one LDraw colour number.
std::optional<LightColour> parseColour(const std::vector<double>& v, std::size_t from) {
    LightColour c;
    if (v.size() == from)
        return c;
    if (v.size() == from + 1) {
        c.code = wholeNumber(v[from]);
        if (!c.code)
            return std::nullopt;
        return c;
    }
    if (v.size() == from + 3) {
        c.rgb = {v[from], v[from + 1], v[from + 2]};
        return c;
    }
    return std::nullopt;
}

bool parseLight(std::string_view value, bool globe, Options& o) {
    const auto v = parseNumbers(value);
    if (!v || v->size() < 3)
        return false;
    const auto colour = parseColour(*v, 3);
    if (!colour)
        return false;
    o.lights.push_back({globe, {(*v)[0], (*v)[1], (*v)[2]}, *colour});
    return true;
}

bool parseBackground(std::string_view value, Options& o) {
    if (value.empty()) {
        o.background = LightColour{std::nullopt, {0.3, 0.8, 1}};
        return true;
    }
    if (const auto code = parseColourCode(value)) {
        o.background = LightColour{code, {}};
        return true;
    }
    const auto v = parseNumbers(value);
    if (!v || v->size() != 3)
        return false;
    o.background = parseColour(*v, 0);
    return o.background.has_value();
}

bool parseFloor(std::string_view value, Options& o) {
    o.floor = FloorType::Grey;
    if (!value.empty() && (value.front() == 'g' || value.front() == 'c')) {
        o.floor = value.front() == 'c' ? FloorType::Checkered : FloorType::Grey;
        value.remove_prefix(1);
    }
    if (value.empty())
        return true;
    o.floorY = parseNumber(value);
    return o.floorY.has_value();
}

// Applies one switch with its value text; false when the value is malformed.
bool applyValue(std::string_view name, std::string_view value, Options& o) {
    if (name == "cg") {
        const auto v = parseNumbers(value);
        if (!v || v->size() < 2 || v->size() > 3 || (v->size() == 3 && (*v)[2] < 0))
            return false;
        o.cameraGlobe = Vec3{(*v)[0], (*v)[1], v->size() == 3 ? (*v)[2] : 0};
        o.cameraAt.reset();
        return true;
    }
    if (name == "cc") {
        o.cameraAt = parseTriple(value);
        o.cameraGlobe.reset();
        return o.cameraAt.has_value();
    }
    if (name == "cla")
        return (o.lookAt = parseTriple(value)).has_value();
    if (name == "ca") {
        const auto a = parseNumber(value);
        if (!a || *a <= 0 || *a >= 180)
            return false;
        o.cameraAngle = *a;
        return true;
    }
    if (name == "lg" || name == "lc")
        return parseLight(value, name == "lg", o);
    if (name == "b")
        return parseBackground(value, o);
    if (name == "f")
        return parseFloor(value, o);
    if (name == "sw") {
        const auto w = parseNumber(value);
        if (!w || *w < 0)
            return false;
        o.seamWidth = *w;
        return true;
    }
    if (name == "q") {
        if (value.size() != 1 || value[0] < '0' || value[0] > '3')
            return false;
        o.quality = value[0] - '0';
        return true;
    }
    if (name == "c")
        return (o.defaultColour = parseColourCode(value)).has_value();
    return false;
}

struct Switch {
    std::string_view name;
    bool takesValue;
    bool valueMayBeEmpty;
};

// Longer names first, so that "-lgeo" is not read as "-lg" with a value.
constexpr Switch kSwitches[] = {
    {"lgeo", false, false}, {"upd", false, false}, {"enp", false, false}, {"cla", true, false},
    {"cg", true, false},    {"cc", true, false},   {"ca", true, false},   {"ld", false, false},
    {"lg", true, false},    {"lc", true, false},   {"l", false, false},   {"bu", false, false},
    {"b", true, true},      {"f", true, true},     {"sw", true, false},   {"sc", false, false},
    {"q", true, false},     {"c", true, false},    {"p", false, false},   {"o", false, false},
};

void applyFlag(std::string_view name, Options& o) {
    if (name == "lgeo")
        o.lgeo = true;
    else if (name == "upd")
        o.update = true;
    else if (name == "enp")
        o.excludeNonPov = true;
    else if (name == "ld")
        o.defaultLights = true;
    else if (name == "l")
        o.modelLights = true;
    else if (name == "bu")
        o.bumps = true;
    else if (name == "sc")
        o.stepClock = true;
    else if (name == "p")
        o.noPrimitives = true;
    else if (name == "o")
        o.overwrite = true;
}

} // namespace

std::optional<int> parseColourCode(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    } else if (text.size() > 1 && text[0] == '#') {
        text.remove_prefix(1);
        base = 16;
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value < 0)
        return std::nullopt;
    return value;
}

ParseResult parseArguments(const std::vector<std::string>& args) {
    ParseResult r;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h" || arg == "-?") {
            r.options.help = true;
            continue;
        }
        if (arg == "--version") {
            r.options.version = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            if (arg.empty())
                continue;
            files.push_back(arg);
            continue;
        }
        const std::string_view body = std::string_view(arg).substr(1);
        const Switch* match = nullptr;
        for (const Switch& s : kSwitches) {
            if (s.takesValue ? body.starts_with(s.name) : body == s.name) {
                if (s.takesValue && body.size() == s.name.size() && !s.valueMayBeEmpty)
                    continue;
                match = &s;
                break;
            }
        }
        if (!match) {
            r.error = "unknown switch \"" + arg + "\"";
            return r;
        }
        if (!match->takesValue) {
            applyFlag(match->name, r.options);
        } else if (const std::string_view value = body.substr(match->name.size());
                   !applyValue(match->name, value, r.options)) {
            const std::string why = numberProblemIn(value);
            r.error = (why.empty() ? "malformed value" : why) + " in \"" + arg + "\"";
            return r;
        }
    }
    if (files.size() > 2) {
        r.error = "unexpected argument \"" + files[2] + "\" (give a model and at most one output)";
        return r;
    }
    if (!files.empty())
        r.options.model = files[0];
    if (files.size() == 2)
        r.options.output = files[1];
    if (r.options.model.empty() && !r.options.help && !r.options.version && !r.options.update)
        r.error = "no model file given";
    return r;
}

} // namespace bp::conv
