#include "converter/primitives.h"

#include "converter/geometry.h"

#include <charconv>
#include <numbers>

namespace bp::conv {

namespace {

std::string baseName(const std::string& name) {
    std::string b = name.substr(name.rfind('/') + 1);
    return b;
}

std::string num(double v) {
    char buf[32];
    if (std::fabs(v) < 5e-8)
        v = 0;
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7);
    return std::string(buf, r.ptr);
}

// Reads "n-d" at the start of `b`; the rest goes to `tail`.
bool fraction(const std::string& b, int& n, int& d, std::string& tail) {
    const char* p = b.data();
    const char* end = b.data() + b.size();
    auto r = std::from_chars(p, end, n);
    if (r.ec != std::errc() || r.ptr == end || *r.ptr != '-')
        return false;
    r = std::from_chars(r.ptr + 1, end, d);
    if (r.ec != std::errc() || n <= 0 || d <= 0 || n > d)
        return false;
    tail.assign(r.ptr, end);
    return true;
}

} // namespace

std::string sectorClip(double f) {
    if (f >= 1)
        return {};
    const double a = 2 * std::numbers::pi * f;
    // Keep z >= 0, and the side of the end ray where the sector lies.
    const std::string start = "plane { <0,0,-1>, 0 }";
    const std::string stop = "plane { <" + num(-std::sin(a)) + ",0," + num(std::cos(a)) + ">, 0 }";
    const char* join = f <= 0.5 ? "intersection" : "union";
    return " clipped_by { " + std::string(join) + " { " + start + " " + stop + " } }";
}

bool isStudPrimitive(const std::string& name) {
    return baseName(name).starts_with("stu");
}

std::optional<std::string> primitiveSolid(const std::string& name) {
    const std::string b = baseName(name);
    if (b == "stud.dat")
        return std::string("cylinder { <0,-4,0>, <0,0,0>, 6 }");
    int n = 0, d = 0;
    std::string tail;
    if (!fraction(b, n, d, tail) || !tail.ends_with(".dat"))
        return std::nullopt;
    tail.resize(tail.size() - 4);
    const std::string clip = sectorClip(static_cast<double>(n) / d);
    if (tail == "cyli")
        return "cylinder { <0,0,0>, <0,1,0>, 1 open" + clip + " }";
    if (tail == "disc")
        return "disc { <0,0,0>, <0,1,0>, 1" + clip + " }";
    int k = 0;
    for (const char* family : {"ring", "rin", "con"}) {
        const std::string f = family;
        if (!tail.starts_with(f) || tail.size() == f.size())
            continue;
        const auto r = std::from_chars(tail.data() + f.size(), tail.data() + tail.size(), k);
        if (r.ec != std::errc() || r.ptr != tail.data() + tail.size())
            return std::nullopt;
        if (f == "con")
            return "cone { <0,0,0>, " + std::to_string(k + 1) + ", <0,1,0>, " + std::to_string(k) +
                   " open" + clip + " }";
        if (k == 0)
            return "disc { <0,0,0>, <0,1,0>, 1" + clip + " }";
        return "disc { <0,0,0>, <0,1,0>, " + std::to_string(k + 1) + ", " + std::to_string(k) +
               clip + " }";
    }
    return std::nullopt;
}

} // namespace bp::conv
