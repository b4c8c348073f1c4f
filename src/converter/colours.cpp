#include "converter/colours.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace bp::conv {

namespace {

// Line ends count as blanks, so that the last word of a CR LF line is whole.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::optional<int> number(std::string_view w, int base = 10) {
    int v = 0;
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v, base);
    if (ec != std::errc() || end != w.data() + w.size() || w.empty())
        return std::nullopt;
    return v;
}

std::optional<double> decimal(std::string_view w) {
    double v = 0;
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec != std::errc() || end != w.data() + w.size() || w.empty() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<Vec3> hexColour(std::string_view w) {
    if (w.size() != 7 || w[0] != '#')
        return std::nullopt;
    const auto v = number(w.substr(1), 16);
    if (!v)
        return std::nullopt;
    return Vec3{((*v >> 16) & 255) / 255.0, ((*v >> 8) & 255) / 255.0, (*v & 255) / 255.0};
}

// The words after MATERIAL: GLITTER or SPECKLE, then VALUE, FRACTION and SIZE
// (or MINSIZE and MAXSIZE); other materials keep the base colour alone.
void readFlakes(const std::vector<std::string_view>& w, std::size_t i, Colour& c) {
    if (i >= w.size() || (w[i] != "GLITTER" && w[i] != "SPECKLE"))
        return;
    const Flakes kind = w[i] == "GLITTER" ? Flakes::Glitter : Flakes::Speckle;
    std::optional<Vec3> rgb;
    double fraction = 0, size = 0, least = 0, most = 0;
    for (++i; i + 1 < w.size(); i += 2) {
        const auto value = decimal(w[i + 1]);
        if (w[i] == "VALUE")
            rgb = hexColour(w[i + 1]);
        else if (w[i] == "FRACTION" && value)
            fraction = std::clamp(*value, 0.0, 1.0);
        else if (w[i] == "SIZE" && value)
            size = *value;
        else if (w[i] == "MINSIZE" && value)
            least = *value;
        else if (w[i] == "MAXSIZE" && value)
            most = *value;
    }
    if (!rgb || fraction <= 0)
        return;
    if (size <= 0)
        size = (least + most) / 2;
    c.flakes = kind;
    c.flakeRgb = *rgb;
    c.flakeFraction = fraction;
    c.flakeSize = std::clamp(size, 0.1, 100.0);
}

} // namespace

int Colour::edgeCode() const {
    return edgeIsRgb ? ColourTable::directCode(edgeRgb) : edge;
}

int ColourTable::directCode(const Vec3& rgb) {
    const auto byte = [](double v) {
        return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    return 0x2000000 | byte(rgb.x) << 16 | byte(rgb.y) << 8 | byte(rgb.z);
}

bool ColourTable::define(std::string_view line) {
    const auto w = words(line);
    if (w.size() < 2 || w[0] != "!COLOUR")
        return false;
    Colour c;
    c.name = std::string(w[1]);
    std::optional<int> code;
    bool haveValue = false;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const bool hasNext = i + 1 < w.size();
        if (w[i] == "CODE" && hasNext) {
            code = number(w[++i]);
        } else if (w[i] == "VALUE" && hasNext) {
            if (const auto rgb = hexColour(w[++i])) {
                c.rgb = *rgb;
                haveValue = true;
            }
        } else if (w[i] == "EDGE" && hasNext) {
            ++i;
            if (const auto rgb = hexColour(w[i])) {
                c.edgeRgb = *rgb;
                c.edgeIsRgb = true;
            } else if (const auto n = number(w[i])) {
                c.edge = *n;
            }
        } else if (w[i] == "ALPHA" && hasNext) {
            c.alpha = number(w[++i]).value_or(255);
        } else if (w[i] == "LUMINANCE" && hasNext) {
            c.luminance = number(w[++i]).value_or(0);
        } else if (w[i] == "CHROME") {
            c.material = Material::Chrome;
        } else if (w[i] == "PEARLESCENT") {
            c.material = Material::Pearlescent;
        } else if (w[i] == "METAL") {
            c.material = Material::Metal;
        } else if (w[i] == "MATTE_METALLIC") {
            c.material = Material::MatteMetallic;
        } else if (w[i] == "RUBBER") {
            c.material = Material::Rubber;
        } else if (w[i] == "MATERIAL") {
            readFlakes(w, i + 1, c);
            break;
        }
    }
    if (!code || !haveValue)
        return false;
    m_colours[*code] = c;
    return true;
}

std::optional<Colour> ColourTable::find(int code) const {
    if (const auto it = m_colours.find(code); it != m_colours.end())
        return it->second;
    if (isDirect(code)) {
        Colour c;
        c.name = "Direct";
        c.rgb = {((code >> 16) & 255) / 255.0, ((code >> 8) & 255) / 255.0, (code & 255) / 255.0};
        c.edgeRgb = {0.2, 0.2, 0.2};
        c.edgeIsRgb = true;
        return c;
    }
    return std::nullopt;
}

} // namespace bp::conv
