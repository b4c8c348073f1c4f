#include "converter/colours.h"

#include <charconv>
#include <vector>

namespace bp::conv {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
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

std::optional<Vec3> hexColour(std::string_view w) {
    if (w.size() != 7 || w[0] != '#')
        return std::nullopt;
    const auto v = number(w.substr(1), 16);
    if (!v)
        return std::nullopt;
    return Vec3{((*v >> 16) & 255) / 255.0, ((*v >> 8) & 255) / 255.0, (*v & 255) / 255.0};
}

} // namespace

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
            c.finish = Finish::Chrome;
        } else if (w[i] == "PEARLESCENT") {
            c.finish = Finish::Pearlescent;
        } else if (w[i] == "METAL" || w[i] == "MATTE_METALLIC") {
            c.finish = Finish::Metal;
        } else if (w[i] == "RUBBER") {
            c.finish = Finish::Rubber;
        } else if (w[i] == "MATERIAL") {
            break; // glitter and speckle parameters: the base colour is enough
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
