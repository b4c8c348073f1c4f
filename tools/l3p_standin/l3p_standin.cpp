// Stand-in for the L3P converter, for Brickpov's tests and demo only. It is
// not L3P: it takes L3P's argument forms as Brickpov writes them and turns
// every part of an LDraw model into a plain box in a POV-Ray 3.7 scene.

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTag = "stand-in l3p";
constexpr double kPi = 3.14159265358979323846;
// Horizontal field of view when -ca is not given: narrow enough to keep
// perspective mild.
constexpr double kDefaultAngle = 40;
// Auto distances assume a 4:3 image, the usual render size.
constexpr double kAspect = 4.0 / 3.0;
constexpr int kLightGrey = 7;

struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator*(double k, Vec3 a) {
    return {k * a.x, k * a.y, k * a.z};
}

// LDraw's y axis points down, POV-Ray's up.
Vec3 flipped(Vec3 v) {
    return {v.x, -v.y, v.z};
}

struct Light {
    bool globe = false;
    Vec3 position;
    Vec3 colour{1, 1, 1};
};

struct Options {
    std::string model;
    std::string output;
    std::optional<Vec3> cameraGlobe;
    std::optional<Vec3> cameraAt;
    std::optional<double> cameraAngle;
    std::optional<Vec3> lookAt;
    bool defaultLights = false;
    std::vector<Light> lights;
    std::optional<Vec3> background;
    char floorType = 0;
    std::optional<double> floorY;
    bool bumps = false;
    double seamWidth = 0.5;
    int mainColour = kLightGrey;
    bool overwrite = false;
    bool stepClock = false;
    bool updateCheck = false;
    bool help = false;
};

struct Part {
    int colour = 16;
    std::array<double, 12> m{}; // x y z a b c d e f g h i, as in the file
    int step = 0;               // number of STEP lines before the part
};

struct Model {
    std::vector<Part> parts;
    int steps = 0;
    Vec3 low;
    Vec3 high;
};

void say(const std::string& text) {
    std::cout << kTag << ": " << text << std::endl;
}

void warn(const std::string& text) {
    std::cout.flush();
    std::cerr << kTag << ": warning: " << text << std::endl;
}

int fail(const std::string& text) {
    std::cout.flush();
    std::cerr << kTag << ": error: " << text << std::endl;
    return 1;
}

// Locale-independent, so the scene always has "." as decimal separator.
std::string num(double v) {
    if (std::abs(v) < 5e-5)
        return "0";
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
    if (ec != std::errc())
        return "0";
    std::string s(buf, end);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s;
}

std::string vec(Vec3 v) {
    return "<" + num(v.x) + ", " + num(v.y) + ", " + num(v.z) + ">";
}

std::optional<double> parseNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> parseInt(std::string_view text) {
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

// A comma-separated list whose length is one of the allowed counts.
std::optional<std::vector<double>> parseList(std::string_view text,
                                             std::initializer_list<size_t> counts) {
    std::vector<double> values;
    while (true) {
        const size_t comma = text.find(',');
        auto v = parseNumber(text.substr(0, comma));
        if (!v)
            return std::nullopt;
        values.push_back(*v);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (std::find(counts.begin(), counts.end(), values.size()) == counts.end())
        return std::nullopt;
    return values;
}

Vec3 toVec(const std::vector<double>& v, size_t first = 0) {
    return {v[first], v[first + 1], v[first + 2]};
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Reads one switch into the options; false when it is not understood.
bool takeSwitch(std::string_view arg, Options& o) {
    auto list3 = [&](size_t prefix, std::optional<Vec3>& into) {
        auto v = parseList(arg.substr(prefix), {3});
        if (v)
            into = toVec(*v);
        return v.has_value();
    };
    if (arg == "-upd") {
        o.updateCheck = true;
    } else if (arg == "--help" || arg == "-h" || arg == "-?") {
        o.help = true;
    } else if (startsWith(arg, "-cla")) {
        return list3(4, o.lookAt);
    } else if (startsWith(arg, "-cg")) {
        return list3(3, o.cameraGlobe);
    } else if (startsWith(arg, "-cc")) {
        return list3(3, o.cameraAt);
    } else if (startsWith(arg, "-ca")) {
        auto angle = parseNumber(arg.substr(3));
        if (!angle || *angle <= 0 || *angle >= 180)
            return false;
        o.cameraAngle = angle;
    } else if (arg == "-ld") {
        o.defaultLights = true;
    } else if (arg == "-lgeo" || arg == "-l" || arg == "-p" || arg == "-enp") {
        // Accepted so Brickpov's command lines pass; the boxes do not change.
    } else if (startsWith(arg, "-lg") || startsWith(arg, "-lc")) {
        auto v = parseList(arg.substr(3), {3, 6});
        if (!v)
            return false;
        Light light{arg[2] == 'g', toVec(*v)};
        if (v->size() == 6)
            light.colour = toVec(*v, 3);
        o.lights.push_back(light);
    } else if (arg == "-bu") {
        o.bumps = true;
    } else if (startsWith(arg, "-b")) {
        return list3(2, o.background);
    } else if (startsWith(arg, "-f")) {
        std::string_view rest = arg.substr(2);
        char type = 'g';
        if (!rest.empty() && (rest[0] == 'g' || rest[0] == 'c')) {
            type = rest[0];
            rest.remove_prefix(1);
        }
        std::optional<double> y;
        if (!rest.empty() && !(y = parseNumber(rest)))
            return false;
        o.floorType = type;
        o.floorY = y;
    } else if (startsWith(arg, "-sw")) {
        auto w = parseNumber(arg.substr(3));
        if (!w || *w < 0)
            return false;
        o.seamWidth = *w;
    } else if (arg == "-sc") {
        o.stepClock = true;
    } else if (startsWith(arg, "-q")) {
        return parseInt(arg.substr(2)).has_value();
    } else if (startsWith(arg, "-c")) {
        auto c = parseInt(arg.substr(2));
        if (!c)
            return false;
        o.mainColour = *c == 16 ? kLightGrey : *c;
    } else if (arg == "-o") {
        o.overwrite = true;
    } else {
        return false;
    }
    return true;
}

// Model first, then an optional output, then switches; only -upd and --help
// may stand alone.
void parseArguments(const std::vector<std::string>& args, Options& o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.empty() && arg[0] == '-') {
            if (!takeSwitch(arg, o))
                warn("switch " + arg + " not understood, ignored");
        } else if (i == 0) {
            o.model = arg;
        } else if (i == 1 && !o.model.empty()) {
            o.output = arg;
        } else {
            warn("argument " + arg + " out of place, ignored");
        }
    }
}

fs::path programFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

// The LDraw library's folder names vary in case between systems.
std::optional<fs::path> subfolder(const fs::path& base, std::string_view name) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(base, ec)) {
        if (entry.is_directory(ec) && lower(entry.path().filename().string()) == name)
            return entry.path();
    }
    return std::nullopt;
}

// A bare name is looked for where L3P users keep models; a path is used as is.
std::optional<fs::path> findModel(const std::string& name) {
    std::error_code ec;
    if (name.find('/') != std::string::npos)
        return fs::is_regular_file(name, ec) ? std::optional<fs::path>(name) : std::nullopt;
    std::vector<fs::path> places{fs::current_path(ec), programFolder()};
    if (const char* ldraw = std::getenv("LDRAWDIR")) {
        for (std::string_view sub : {"models", "parts", "p"}) {
            if (auto folder = subfolder(ldraw, sub))
                places.push_back(*folder);
        }
    }
    for (const fs::path& place : places) {
        if (!place.empty() && fs::is_regular_file(place / name, ec))
            return place / name;
    }
    return std::nullopt;
}

// Brickpov names a bare output when it lies in the model's folder.
fs::path outputPath(const Options& o, const fs::path& model) {
    const std::string pov = model.stem().string() + ".pov";
    if (o.output.empty())
        return model.parent_path() / pov;
    std::error_code ec;
    if (o.output.back() == '/' || fs::is_directory(o.output, ec))
        return fs::path(o.output) / pov;
    if (o.output.find('/') == std::string::npos)
        return model.parent_path() / o.output;
    return o.output;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

// The part's orientation in POV-Ray's axes: the LDraw matrix with y flipped on
// both sides, as rows.
std::array<double, 9> povRotation(const Part& p) {
    const auto& m = p.m;
    return {m[3], -m[4], m[5], -m[6], m[7], -m[8], m[9], -m[10], m[11]};
}

// Local box: 40 x 24 x 20 LDU, centred in x and z, hanging below the part's
// origin like a real brick, so stacked bricks meet.
constexpr Vec3 kHalf{20, 12, 10};
constexpr Vec3 kLocalCentre{0, -12, 0};

void growBounds(Model& model, const Part& p) {
    const auto r = povRotation(p);
    const Vec3 origin = flipped({p.m[0], p.m[1], p.m[2]});
    const double c[3] = {kLocalCentre.x, kLocalCentre.y, kLocalCentre.z};
    const double h[3] = {kHalf.x, kHalf.y, kHalf.z};
    double centre[3] = {origin.x, origin.y, origin.z};
    double extent[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            centre[i] += r[3 * i + j] * c[j];
            extent[i] += std::abs(r[3 * i + j]) * h[j];
        }
    }
    const Vec3 lo{centre[0] - extent[0], centre[1] - extent[1], centre[2] - extent[2]};
    const Vec3 hi{centre[0] + extent[0], centre[1] + extent[1], centre[2] + extent[2]};
    if (model.parts.size() == 1) {
        model.low = lo;
        model.high = hi;
        return;
    }
    model.low = {std::min(model.low.x, lo.x), std::min(model.low.y, lo.y),
                 std::min(model.low.z, lo.z)};
    model.high = {std::max(model.high.x, hi.x), std::max(model.high.y, hi.y),
                  std::max(model.high.z, hi.z)};
}

double determinant(const std::array<double, 9>& r) {
    return r[0] * (r[4] * r[8] - r[5] * r[7]) - r[1] * (r[3] * r[8] - r[5] * r[6]) +
           r[2] * (r[3] * r[7] - r[4] * r[6]);
}

// Camera and look-at reference objects mark positions; they are not parts.
bool isReferenceObject(std::string_view file) {
    const std::string name = lower(file);
    return name == "camera.dat" || name == "look_at.dat";
}

std::optional<Model> readModel(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();

    Model model;
    size_t lineNo = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + pos, end - pos);
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
        ++lineNo;

        const auto w = words(line);
        if (w.size() >= 2 && w[0] == "0" && lower(w[1]) == "step") {
            ++model.steps;
            continue;
        }
        if (w.empty() || w[0] != "1")
            continue;
        Part part;
        part.step = model.steps;
        bool ok = w.size() >= 15;
        if (ok) {
            auto colour = parseInt(w[1]);
            part.colour = colour.value_or(-1); // direct colours draw grey
            for (size_t i = 0; i < 12 && ok; ++i) {
                auto v = parseNumber(w[2 + i]);
                ok = v.has_value();
                part.m[i] = v.value_or(0);
            }
        }
        if (!ok) {
            warn("line " + std::to_string(lineNo) + ": malformed part line skipped");
            continue;
        }
        if (isReferenceObject(w[14]))
            continue;
        // POV-Ray refuses a singular transformation.
        if (std::abs(determinant(povRotation(part))) < 1e-9) {
            warn("line " + std::to_string(lineNo) + ": singular matrix, part skipped");
            continue;
        }
        model.parts.push_back(part);
        growBounds(model, part);
    }
    return model;
}

struct Texture {
    std::string name;
    std::string colour;
};

// A few LDraw colours, in sRGB; anything else is grey.
Texture textureFor(int colour, int mainColour) {
    if (colour == 16)
        colour = mainColour;
    static const std::map<int, Texture> table{
        {0, {"Black", "<0.13, 0.13, 0.14>"}},
        {1, {"Blue", "<0, 0.333, 0.749>"}},
        {2, {"Green", "<0.145, 0.478, 0.243>"}},
        {4, {"Red", "<0.788, 0.102, 0.035>"}},
        {14, {"Yellow", "<0.949, 0.804, 0.216>"}},
        {15, {"White", "<0.95, 0.95, 0.95>"}},
        {kLightGrey, {"LightGrey", "<0.627, 0.647, 0.663>"}},
    };
    auto it = table.find(colour);
    return it != table.end() ? it->second : Texture{"Grey", "<0.424, 0.431, 0.408>"};
}

double radians(double degrees) {
    return degrees * kPi / 180;
}

// Unit vector for a globe position: latitude up from the horizon, longitude
// round the vertical axis; 0, 0 looks at the model's front from -z.
Vec3 globeDirection(double latitude, double longitude) {
    const double lat = radians(latitude);
    const double lon = radians(longitude);
    return {-std::sin(lon) * std::cos(lat), std::sin(lat), -std::cos(lon) * std::cos(lat)};
}

double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 unit(Vec3 v) {
    const double length = std::sqrt(dot(v, v));
    return length > 0 ? (1 / length) * v : Vec3{0, 0, 1};
}

// Looking straight up or down, y cannot be the picture's up; the model's
// back (+z) takes its place, as it does for views just short of vertical.
Vec3 skyFor(Vec3 forward) {
    return std::abs(forward.y) > 0.99999 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
}

struct Framing {
    Vec3 centre;
    std::array<Vec3, 8> corners;
    double sphereDistance = 0; // far enough for any direction
};

Framing frame(const Model& model, double angle) {
    Framing f;
    Vec3 low{-20, -20, -20};
    Vec3 high{20, 20, 20};
    if (!model.parts.empty()) {
        low = model.low;
        high = model.high;
    }
    f.centre = 0.5 * (low + high);
    for (int i = 0; i < 8; ++i)
        f.corners[i] = {i & 1 ? high.x : low.x, i & 2 ? high.y : low.y, i & 4 ? high.z : low.z};
    const Vec3 half = 0.5 * (high + (-1.0) * low);
    const double radius = std::max(std::sqrt(dot(half, half)), 20.0);
    // The vertical field of view is the narrower one.
    const double halfVertical = std::atan(std::tan(radians(angle) / 2) / kAspect);
    f.sphereDistance = radius / std::sin(halfVertical);
    return f;
}

// The nearest camera distance along the direction at which every corner of
// the bounding box lies inside the picture, with a small border.
double fitDistance(const Framing& f, Vec3 direction, Vec3 lookAt, double angle) {
    const double tanH = 0.9 * std::tan(radians(angle) / 2);
    const double tanV = tanH / kAspect;
    auto fits = [&](double d) {
        const Vec3 location = f.centre + d * direction;
        const Vec3 forward = unit(lookAt + (-1.0) * location);
        const Vec3 right = unit(cross(skyFor(forward), forward));
        const Vec3 up = cross(forward, right);
        for (const Vec3& corner : f.corners) {
            const Vec3 v = corner + (-1.0) * location;
            const double depth = dot(v, forward);
            if (depth <= 0 || std::abs(dot(v, right)) > depth * tanH ||
                std::abs(dot(v, up)) > depth * tanV)
                return false;
        }
        return true;
    };
    double far = f.sphereDistance / 0.9;
    if (!fits(far))
        return far;
    double near = 0;
    for (int i = 0; i < 40; ++i) {
        const double mid = (near + far) / 2;
        (fits(mid) ? far : near) = mid;
    }
    return far;
}

std::string sceneText(const Options& o, const Model& model, const fs::path& modelPath,
                      const std::vector<std::string>& args) {
    const double angle = o.cameraAngle.value_or(kDefaultAngle);
    const Framing f = frame(model, angle);
    std::string s;
    s += "// Written by the L3P stand-in for Brickpov's tests and demo; not L3P output.\n";
    s += "// Model: " + modelPath.string() + "\n// Arguments:";
    for (const auto& a : args)
        s += " " + a;
    s += "\n// Parts: " + std::to_string(model.parts.size()) +
         ", STEP lines: " + std::to_string(model.steps) + "\n\n";
    s += "#version 3.7;\n#include \"colors.inc\"\n\n";
    s += "global_settings { assumed_gamma 1.0 max_trace_level 5 }\n\n";

    const Vec3 lookAt = o.lookAt ? flipped(*o.lookAt) : f.centre;
    Vec3 location;
    if (o.cameraAt && !o.cameraGlobe) {
        location = flipped(*o.cameraAt);
    } else {
        const Vec3 globe = o.cameraGlobe.value_or(Vec3{30, 45, 0});
        const Vec3 direction = globeDirection(globe.x, globe.y);
        const double r = globe.z != 0 ? globe.z : fitDistance(f, direction, lookAt, angle);
        location = f.centre + r * direction;
    }
    s += "camera {\n  location " + vec(location) + "\n  sky " +
         vec(skyFor(unit(lookAt + (-1.0) * location))) +
         "\n  right x * image_width / image_height\n";
    s += "  angle " + num(angle) + "\n  look_at " + vec(lookAt) + "\n}\n\n";

    const double lightDistance = 1.5 * f.sphereDistance;
    const bool defaults = o.defaultLights || o.lights.empty();
    // The lights share one overall brightness so that several white lights
    // do not wash the model out.
    const size_t lightCount = o.lights.size() + (defaults ? 3 : 0);
    const std::string share = num(std::min(1.0, 1.6 / static_cast<double>(lightCount)));
    for (const Light& light : o.lights) {
        Vec3 at;
        if (light.globe) {
            const double r = light.position.z != 0 ? light.position.z : lightDistance;
            at = f.centre + r * globeDirection(light.position.x, light.position.y);
        } else {
            at = flipped(light.position);
        }
        s += "light_source { " + vec(at) + " color rgb " + vec(light.colour) + " * " + share +
             " }\n";
    }
    if (defaults) {
        s += "// Default lights\n";
        s += "light_source { " + vec(f.centre + lightDistance * globeDirection(45, 0)) +
             " color rgb 0.8 }\n";
        s += "light_source { " + vec(f.centre + lightDistance * globeDirection(30, 120)) +
             " color rgb 0.45 shadowless }\n";
        s += "light_source { " + vec(f.centre + lightDistance * globeDirection(60, -120)) +
             " color rgb 0.35 shadowless }\n";
    }
    const Vec3 back = o.background.value_or(Vec3{0.96, 0.96, 0.96});
    s += "\nbackground { color srgb " + vec(back) + " }\n\n";

    if (o.floorType) {
        const double y = o.floorY ? -*o.floorY : (model.parts.empty() ? 0 : model.low.y);
        const std::string pigment = o.floorType == 'c' ? "checker color Red color White scale 80"
                                                       : "color srgb <0.55, 0.55, 0.55>";
        s += "plane { y, " + num(y) + " pigment { " + pigment + " } finish { diffuse 0.8 } }\n\n";
    }

    // Half the seam on every side, so neighbouring bricks show a gap.
    const double seam = std::min(o.seamWidth / 2, 9.0);
    s += "#declare Standin_Brick = box { " +
         vec({-kHalf.x + seam, -2 * kHalf.y + seam, -kHalf.z + seam}) + ", " +
         vec({kHalf.x - seam, -seam, kHalf.z - seam}) + " }\n";
    std::map<std::string, std::string> textures;
    for (const Part& p : model.parts) {
        const Texture t = textureFor(p.colour, o.mainColour);
        textures.emplace(t.name, t.colour);
    }
    for (const auto& [name, colour] : textures) {
        s += "#declare Standin_" + name + " = texture { pigment { color srgb " + colour +
             " } finish { ambient 0.12 diffuse 0.75 phong 0.3 phong_size 40 }";
        if (o.bumps)
            s += " normal { bumps 0.1 scale 3 }";
        s += " }\n";
    }
    s += "\n";

    int openStep = 0;
    for (const Part& p : model.parts) {
        if (o.stepClock && p.step != openStep) {
            if (openStep > 0)
                s += "#end\n";
            s += "#if (clock > " + std::to_string(p.step) + ")\n";
            openStep = p.step;
        }
        const auto r = povRotation(p);
        const Vec3 origin = flipped({p.m[0], p.m[1], p.m[2]});
        // POV-Ray's matrix takes the columns of the rotation, then the move.
        s += "object { Standin_Brick texture { Standin_" + textureFor(p.colour, o.mainColour).name +
             " } matrix <" + num(r[0]) + ", " + num(r[3]) + ", " + num(r[6]) + ", " + num(r[1]) +
             ", " + num(r[4]) + ", " + num(r[7]) + ", " + num(r[2]) + ", " + num(r[5]) + ", " +
             num(r[8]) + ", " + num(origin.x) + ", " + num(origin.y) + ", " + num(origin.z) +
             "> }\n";
    }
    if (openStep > 0)
        s += "#end\n";
    return s;
}

void printHelp() {
    std::cout << "l3p: a stand-in for the L3P converter, for Brickpov's tests and demo.\n"
                 "It is not L3P: it writes one plain box per part of an LDraw model.\n\n"
                 "usage: l3p MODEL [OUTPUT] [SWITCHES]\n"
                 "  MODEL   a path, or a bare name looked for in the current folder, this\n"
                 "          program's folder and $LDRAWDIR/models, parts and p\n"
                 "  OUTPUT  a .pov file (a bare name goes into MODEL's folder), or a folder\n"
                 "          ending in \"/\"; default: MODEL's base name with .pov, beside MODEL\n"
                 "switches (LDraw coordinates, y down):\n"
                 "  -cg<lat>,<lon>,<radius>  camera on a globe round the model (radius 0: fit)\n"
                 "  -cc<x>,<y>,<z>           camera location      -ca<angle>  camera angle\n"
                 "  -cla<x>,<y>,<z>          camera look-at point\n"
                 "  -lg<lat>,<lon>,<r>[,<r>,<g>,<b>]  globe light (any number)\n"
                 "  -lc<x>,<y>,<z>[,<r>,<g>,<b>]      light at a point (any number)\n"
                 "  -ld  default lights too  -b<r>,<g>,<b>  background  -f<g|c>[<y>]  floor\n"
                 "  -c<colour>  main colour  -sw<w>  seam width  -bu  bumps  -sc  step clock\n"
                 "  -o  overwrite  -upd  update check   (-l -q<n> -lgeo -p -enp: accepted)\n";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i)
        say("argument " + std::to_string(i + 1) + ": " + args[i]);

    Options o;
    parseArguments(args, o);
    if (o.help) {
        printHelp();
        return 0;
    }
    if (o.updateCheck) {
        std::cout << "stand-in: no update check" << std::endl;
        return 0;
    }
    if (o.model.empty()) {
        printHelp();
        return fail("no model file given");
    }

    const auto modelPath = findModel(o.model);
    if (!modelPath)
        return fail("model " + o.model + " not found");
    const fs::path output = outputPath(o, *modelPath);
    std::error_code ec;
    if (fs::exists(output, ec) && !o.overwrite)
        return fail(output.string() + ": output exists; use -o");

    say("reading " + modelPath->string());
    const auto model = readModel(*modelPath);
    if (!model)
        return fail("cannot read " + modelPath->string());

    const std::string scene = sceneText(o, *model, *modelPath, args);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(scene.data(), static_cast<std::streamsize>(scene.size()));
    out.close();
    if (!out)
        return fail("cannot write " + output.string());
    say("wrote " + output.string() + " (" + std::to_string(model->parts.size()) + " parts, " +
        std::to_string(model->steps) + " STEP lines)");
    return 0;
}
