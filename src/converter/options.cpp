#include "converter/options.h"

#include "converter/text.h"

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

// Comma-separated numbers, of a value the switch table has already checked.
std::vector<double> numbers(std::string_view text) {
    std::vector<double> values;
    for (;;) {
        const auto comma = text.find(',');
        values.push_back(parseNumber(text.substr(0, comma)).value_or(0));
        if (comma == std::string_view::npos)
            return values;
        text.remove_prefix(comma + 1);
    }
}

Vec3 triple(std::string_view text) {
    const auto v = numbers(text);
    return {v[0], v[1], v[2]};
}

// "r,g,b" fractions or one LDraw colour number, from the given place on.
LightColour colourFrom(const std::vector<double>& v, std::size_t from) {
    LightColour c;
    if (v.size() == from + 1)
        c.code = static_cast<int>(v[from]);
    else if (v.size() == from + 3)
        c.rgb = {v[from], v[from + 1], v[from + 2]};
    return c;
}

void applyFloor(std::string_view value, Options& o) {
    o.floor = FloorType::Grey;
    if (!value.empty() && (value.front() == 'g' || value.front() == 'c')) {
        o.floor = value.front() == 'c' ? FloorType::Checkered : FloorType::Grey;
        value.remove_prefix(1);
    }
    if (!value.empty())
        o.floorY = parseNumber(value);
}

// Reads the value of a switch whose value is more than one number, which
// fits the switch's shape; the others are read where they are used.
void apply(Id id, std::string_view value, Options& o) {
    switch (id) {
    case Id::CameraGlobe: {
        const auto v = numbers(value);
        o.cameraGlobe = Vec3{v[0], v[1], v.size() == 3 ? v[2] : 0};
        o.cameraAt.reset();
        break;
    }
    case Id::CameraCartesian:
        o.cameraAt = triple(value);
        o.cameraGlobe.reset();
        break;
    case Id::LookAt:
        o.lookAt = triple(value);
        break;
    case Id::LightGlobe:
    case Id::LightCartesian: {
        const auto v = numbers(value);
        o.lights.push_back({id == Id::LightGlobe, {v[0], v[1], v[2]}, colourFrom(v, 3)});
        break;
    }
    case Id::Background:
        if (value.empty())
            o.background = LightColour{std::nullopt, {0.3, 0.8, 1}};
        else if (const auto code = parseColourCode(value))
            o.background = LightColour{code, {}};
        else
            o.background = colourFrom(numbers(value), 0);
        break;
    case Id::Floor:
        applyFloor(value, o);
        break;
    default:
        break;
    }
}

} // namespace

double Options::number(Id id, double fallback) const {
    return has(id) ? parseNumber(value(id)).value_or(fallback) : fallback;
}

int Options::quality() const {
    const std::string& level = value(Id::Quality);
    return has(Id::Quality) && level.size() == 1 ? level[0] - '0' : 2;
}

std::optional<int> Options::defaultColour() const {
    return has(Id::Colour) ? parseColourCode(value(Id::Colour)) : std::nullopt;
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
        const switches::Switch* match = switches::findSwitch(arg);
        if (!match) {
            r.error = "unknown switch \"" + arg + "\"";
            return r;
        }
        const std::string_view value = std::string_view(arg).substr(1 + match->name.size());
        if (!switches::valueFits(*match, value)) {
            const std::string why = numberProblemIn(value);
            r.error = (why.empty() ? "malformed value" : why) + " in \"" + arg + "\"";
            return r;
        }
        r.options.set(match->id);
        r.options.values[switches::indexOf(match->id)] = value;
        apply(match->id, value, r.options);
    }
    if (files.size() > 2) {
        r.error = "unexpected argument \"" + files[2] + "\" (give a model and at most one output)";
        return r;
    }
    if (!files.empty())
        r.options.model = files[0];
    if (files.size() == 2)
        r.options.output = files[1];
    if (r.options.model.empty() && !r.options.help && !r.options.version &&
        !r.options.has(Id::Update))
        r.error = "no model file given";
    return r;
}

} // namespace bp::conv
