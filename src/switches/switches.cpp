#include "switches/switches.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace bp::switches {

namespace {

// Comma-separated numbers; nullopt when any of them is not a number.
std::optional<std::vector<double>> numbers(std::string_view text) {
    std::vector<double> values;
    for (;;) {
        const auto comma = text.find(',');
        double value = 0;
        if (readNumber(text.substr(0, comma), value) != NumberRead::Ok)
            return std::nullopt;
        values.push_back(value);
        if (comma == std::string_view::npos)
            return values;
        text.remove_prefix(comma + 1);
    }
}

std::optional<double> number(std::string_view text) {
    double value = 0;
    if (readNumber(text, value) != NumberRead::Ok)
        return std::nullopt;
    return value;
}

bool wholeNumber(double v) {
    return v == std::floor(v) && v >= 0 && v <= 0x7fffffff;
}

// A light: a position, then nothing, a colour number or red, green, blue.
bool lightFits(std::string_view value) {
    const auto v = numbers(value);
    if (!v)
        return false;
    const std::size_t n = v->size();
    return n == 3 || n == 6 || (n == 4 && wholeNumber((*v)[3]));
}

// What is kept by switch is indexed by Id: each Id has one row. A check box
// alone ticks a switch that takes no value; a value field needs its box and a
// switch with a value.
constexpr bool tableSound() {
    bool seen[kSwitchCount] = {};
    for (const Switch& s : kSwitches) {
        if (indexOf(s.id) >= kSwitchCount || seen[indexOf(s.id)])
            return false;
        seen[indexOf(s.id)] = true;
        if (!s.control.empty() && s.field.empty() != (s.shape == Shape::None))
            return false;
        if (!s.field.empty() && s.control.empty())
            return false;
    }
    return true;
}
static_assert(tableSound());

} // namespace

const Switch& switchFor(Id id) {
    for (const Switch& s : kSwitches)
        if (s.id == id)
            return s;
    return kSwitches[0]; // every Id has its row
}

std::string argument(Id id, std::string_view value) {
    std::string text = "-";
    text += switchFor(id).name;
    text += value;
    return text;
}

const Switch* findSwitch(std::string_view argument) {
    if (argument.size() < 2 || argument.front() != '-')
        return nullptr;
    const std::string_view body = argument.substr(1);
    const Switch* match = nullptr;
    for (const Switch& s : kSwitches) {
        const bool fits = s.shape == Shape::None
                              ? body == s.name
                              : body.starts_with(s.name) &&
                                    (body.size() > s.name.size() || s.shape == Shape::Background ||
                                     s.shape == Shape::Floor);
        if (fits && (!match || s.name.size() > match->name.size()))
            match = &s;
    }
    return match;
}

bool valueFits(const Switch& s, std::string_view value) {
    switch (s.shape) {
    case Shape::None:
        return value.empty();
    case Shape::Globe: {
        const auto v = numbers(value);
        return v && v->size() >= 2 && v->size() <= 3 && (v->size() == 2 || (*v)[2] >= 0);
    }
    case Shape::Point: {
        const auto v = numbers(value);
        return v && v->size() == 3;
    }
    case Shape::Angle: {
        const auto a = number(value);
        return a && *a > 0 && *a < 180;
    }
    case Shape::Light:
        return lightFits(value);
    case Shape::Background: {
        if (value.empty() || parseColourCode(value))
            return true;
        const auto v = numbers(value);
        return v && v->size() == 3;
    }
    case Shape::Floor:
        if (!value.empty() && (value.front() == 'g' || value.front() == 'c'))
            value.remove_prefix(1);
        return value.empty() || number(value).has_value();
    case Shape::Width: {
        const auto w = number(value);
        return w && *w >= 0;
    }
    case Shape::Quality:
        return value.size() == 1 && value[0] >= '0' && value[0] <= '3';
    case Shape::Colour:
        return parseColourCode(value).has_value();
    }
    return false;
}

std::string argumentProblem(std::string_view argument) {
    const Switch* s = findSwitch(argument);
    if (!s)
        return "unknown switch \"" + std::string(argument) + "\"";
    if (!valueFits(*s, argument.substr(1 + s->name.size())))
        return "malformed value in \"" + std::string(argument) + "\"";
    return {};
}

std::string helpText() {
    constexpr std::size_t kHelpColumn = 25;
    std::string text;
    for (const Switch& s : kSwitches) {
        if (!s.section.empty()) {
            text += s.section;
            text += '\n';
        }
        std::string line = "  -";
        line += s.name;
        line += s.form;
        // A long form puts its explanation on the next line.
        if (line.size() >= kHelpColumn)
            line += "\n";
        line.resize(line.back() == '\n' ? line.size() + kHelpColumn : kHelpColumn, ' ');
        text += line;
        for (const char c : s.help) {
            text += c;
            if (c == '\n')
                text += std::string(kHelpColumn, ' ');
        }
        text += '\n';
    }
    return text;
}

NumberRead readNumber(std::string_view word, double& value) {
    if (!word.empty() && word.front() == '+')
        word.remove_prefix(1);
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || end != word.data() + word.size())
        return NumberRead::NotANumber;
    if (ec == std::errc::result_out_of_range)
        return NumberRead::OutOfRange;
    if (ec != std::errc())
        return NumberRead::NotANumber;
    if (!std::isfinite(value))
        return NumberRead::NotFinite;
    if (std::abs(value) > kLargestNumber)
        return NumberRead::OutOfRange;
    return NumberRead::Ok;
}

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

} // namespace bp::switches
