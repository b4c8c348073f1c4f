#include "converter/scene.h"

#include "converter/library.h"
#include "converter/primitives.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace bp::conv {

namespace {

std::string vec(const Vec3& v) {
    return "<" + povNumber(v.x) + "," + povNumber(v.y) + "," + povNumber(v.z) + ">";
}

std::string matrixText(const Placement& p) {
    const auto& m = p.m;
    std::string s = "matrix <";
    for (const double v : {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]})
        s += povNumber(v) + ",";
    return s + povNumber(p.t.x) + "," + povNumber(p.t.y) + "," + povNumber(p.t.z) + ">";
}

std::string identifierPart(const std::string& name) {
    std::string s;
    for (const char c : name.substr(0, 24))
        s += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return s;
}

std::string stemOf(const std::string& name) {
    std::string b = name.substr(name.rfind('/') + 1);
    if (b.ends_with(".dat"))
        b.resize(b.size() - 4);
    return b;
}

void dedupe(std::vector<Vec3>& points) {
    const auto key = [](const Vec3& v) {
        return std::array<long long, 3>{std::llround(v.x * 1000), std::llround(v.y * 1000),
                                        std::llround(v.z * 1000)};
    };
    std::sort(points.begin(), points.end(),
              [&](const Vec3& a, const Vec3& b) { return key(a) < key(b); });
    points.erase(std::unique(points.begin(), points.end(),
                             [&](const Vec3& a, const Vec3& b) { return key(a) == key(b); }),
                 points.end());
}

constexpr struct {
    double latitude, longitude;
} kDefaultLights[] = {{45, 0}, {30, 120}, {60, -120}};

} // namespace

std::string povNumber(double v) {
    if (std::fabs(v) < 5e-7)
        return "0";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7);
    return std::string(buf, r.ptr);
}

Scene::Scene(const Options& options, const LDrawFile& main, const ColourTable& colours,
             std::string lgeoFolder, std::vector<std::string>& warnings)
    : m_options(options), m_main(main), m_colours(colours), m_lgeoFolder(std::move(lgeoFolder)),
      m_warnings(warnings) {
    if (options.defaultColour && *options.defaultColour != kMainColour &&
        *options.defaultColour != kEdgeColour)
        m_topColour = *options.defaultColour;
    if (options.lgeo && m_lgeoFolder.empty())
        m_warnings.push_back("-lgeo: no LGEO folder found (set LGEODIR or Brickpov's LGEO "
                             "folder); the LDraw parts are used");
    analyse(main);
    countParts(main, 1);
    forEachPoint([this](const Vec3& p) { m_bounds.add(p); });
    if (m_bounds.empty()) {
        m_bounds.add({-10, -10, -10});
        m_bounds.add({10, 10, 10});
    }
    placeCamera();
    placeLights();
    noteColours(main);
    for (const LDrawFile* f : m_order)
        noteColours(*f);
}

Scene::Info& Scene::analyse(const LDrawFile& file) {
    if (const auto it = m_info.find(&file); it != m_info.end())
        return it->second;
    Info info;
    info.part = file.kind == FileKind::Part;
    for (const SubfileRef& r : file.refs) {
        if (r.file && !skipped(r.nonPov) && !analyse(*r.file).empty)
            info.empty = false;
    }
    for (const Face& f : file.faces)
        info.empty = info.empty && skipped(f.nonPov);
    info.empty = info.empty && file.povCode.empty();
    if (file.kind == FileKind::Primitive && !m_options.noPrimitives) {
        info.solid = primitiveSolid(file.name);
        info.empty = info.empty && !info.solid;
    }
    if (info.part && m_options.lgeo && !m_lgeoFolder.empty()) {
        std::string stem = identifierPart(stemOf(file.name));
        FolderIndex index;
        if (index.find(m_lgeoFolder, "lg_" + stem + ".inc")) {
            info.lgeo = "lg_" + stem;
            m_lgeoIncludes.push_back(info.lgeo + ".inc");
            info.empty = false;
        }
    }
    if (file.kind != FileKind::Model) {
        for (const Face& f : file.faces)
            if (!skipped(f.nonPov))
                info.points.insert(info.points.end(), f.v.begin(), f.v.end());
        for (const SubfileRef& r : file.refs) {
            if (!r.file || skipped(r.nonPov))
                continue;
            for (const Vec3& p : m_info.at(r.file).points)
                info.points.push_back(r.place.apply(p));
        }
        dedupe(info.points);
        for (const Vec3& p : info.points)
            info.box.add(p);
    }
    if (!info.empty && &file != &m_main) {
        info.id =
            "BP" + std::to_string(m_order.size() + 1) + "_" + identifierPart(stemOf(file.name));
        m_order.push_back(&file);
    }
    return m_info.emplace(&file, std::move(info)).first->second;
}

void Scene::countParts(const LDrawFile& file, std::size_t times) {
    for (const SubfileRef& r : file.refs) {
        if (!r.file || skipped(r.nonPov))
            continue;
        if (r.file->kind == FileKind::Part)
            m_partCount += times;
        else if (r.file->kind == FileKind::Model)
            countParts(*r.file, times);
    }
}

void Scene::forEachPoint(const std::function<void(const Vec3&)>& visit) const {
    visitPoints(m_main, Placement{}, visit);
}

void Scene::visitPoints(const LDrawFile& file, const Placement& place,
                        const std::function<void(const Vec3&)>& visit) const {
    const Info& info = m_info.at(&file);
    if (file.kind != FileKind::Model) {
        for (const Vec3& p : info.points)
            visit(place.apply(p));
        return;
    }
    for (const Face& f : file.faces)
        if (!skipped(f.nonPov))
            for (const Vec3& v : f.v)
                visit(place.apply(v));
    for (const SubfileRef& r : file.refs)
        if (r.file && !skipped(r.nonPov))
            visitPoints(*r.file, place * r.place, visit);
}

void Scene::placeCamera() {
    const Vec3 centre = m_bounds.centre();
    const double angle = m_options.cameraAngle;
    const PointSource points = [this](const std::function<void(const Vec3&)>& v) {
        forEachPoint(v);
    };
    if (m_options.cameraAt) {
        m_camera = {*m_options.cameraAt, m_options.lookAt.value_or(centre)};
    } else {
        const Vec3 globe = m_options.cameraGlobe.value_or(Vec3{30, 45, 0});
        const Vec3 dir = globeDirection(globe.x, globe.y);
        if (globe.z > 0) {
            const Vec3 look = m_options.lookAt.value_or(centre);
            m_camera = {look + dir * globe.z, look};
        } else if (m_options.lookAt) {
            m_camera = fitCameraTowards(*m_options.lookAt, dir * -1, angle, points);
        } else {
            m_camera = fitCamera(dir * -1, angle, points);
        }
    }
    if ((m_camera.location - m_camera.lookAt).length() < 1e-6)
        m_camera.lookAt = m_camera.location + Vec3{0, 0, 1};
    m_cameraDistance = std::max((m_camera.location - centre).length(), 1.0);
}

void Scene::placeLights() {
    const Vec3 centre = m_bounds.centre();
    const bool defaults =
        m_options.defaultLights || (m_options.lights.empty() && !m_options.modelLights);
    const auto globeLight = [&](double la, double lo, double r, const Vec3& rgb) {
        const double radius = r > 0 ? r : m_cameraDistance;
        m_lights.push_back({centre + globeDirection(la, lo) * radius, rgb,
                            "Latitude,Longitude,Radius: " + povNumber(la) + "," + povNumber(lo) +
                                "," + povNumber(radius)});
    };
    if (defaults)
        for (const auto& l : kDefaultLights)
            globeLight(l.latitude, l.longitude, 0, {1, 1, 1});
    for (const LightSwitch& l : m_options.lights) {
        const Vec3 rgb = l.colour.code ? colourRgb(*l.colour.code) : l.colour.rgb;
        if (l.globe)
            globeLight(l.position.x, l.position.y, l.position.z, rgb);
        else
            m_lights.push_back({l.position, rgb, "Position: " + vec(l.position)});
    }
    if (m_options.modelLights) {
        const std::size_t before = m_lights.size();
        collectModelLights(m_main, Placement{}, m_topColour);
        if (m_lights.size() == before)
            m_warnings.push_back("-l: the model holds no light.dat");
    }
    if (m_lights.empty()) {
        m_warnings.push_back("no lights: the default lights are used");
        for (const auto& l : kDefaultLights)
            globeLight(l.latitude, l.longitude, 0, {1, 1, 1});
    }
}

void Scene::collectModelLights(const LDrawFile& file, const Placement& place, int colour) {
    for (const SubfileRef& r : file.refs) {
        if (skipped(r.nonPov))
            continue;
        const int c = r.colour == kMainColour ? colour : r.colour;
        if (r.isLight)
            m_lights.push_back({(place * r.place).t, colourRgb(c), "From light.dat"});
        else if (r.file && r.file->kind == FileKind::Model)
            collectModelLights(*r.file, place * r.place, c);
    }
}

int Scene::resolve(int code, bool top) const {
    if (code == kMainColour)
        return top ? m_topColour : kMainColour;
    if (code == kEdgeColour) {
        // Faces in the edge colour are rare; they take the edge of the
        // model's default colour.
        const auto c = m_colours.find(m_topColour);
        return c && !c->edgeIsRgb ? c->edge : 0;
    }
    return code;
}

Vec3 Scene::colourRgb(int code) const {
    const auto c = m_colours.find(code);
    return c ? c->rgb : Vec3{0.5, 0.5, 0.5};
}

void Scene::noteColours(const LDrawFile& file) {
    const bool top = &file == &m_main;
    std::set<int> codes;
    if (top)
        codes.insert(m_topColour);
    for (const SubfileRef& r : file.refs)
        if (r.file && !skipped(r.nonPov))
            codes.insert(resolve(r.colour, top));
    for (const Face& f : file.faces)
        if (!skipped(f.nonPov))
            codes.insert(resolve(f.colour, top));
    for (const int code : codes) {
        if (code == kMainColour ||
            std::find(m_usedColours.begin(), m_usedColours.end(), code) != m_usedColours.end())
            continue;
        m_usedColours.push_back(code);
        if (!m_colours.find(code))
            m_warnings.push_back("unknown colour " + std::to_string(code) + " (in " + file.path +
                                 "): shown grey");
    }
}

double Scene::floorY() const {
    return m_options.floorY.value_or(m_bounds.hi.y);
}

void Scene::write(std::ostream& out) {
    writeHeader(out);
    writeColours(out);
    writeCameraAndLights(out);
    for (const LDrawFile* f : m_order)
        writeDeclaration(out, *f);
    out << "\n// The model\n";
    writeBody(out, m_main, true);
}

void Scene::writeHeader(std::ostream& out) const {
    const auto& o = m_options;
    out << "// " << (m_main.title.empty() ? m_main.name : m_main.title) << "\n"
        << "// Written by brickpov-convert from " << m_main.path << "\n"
        << "#version 3.7;\n"
        << "global_settings { assumed_gamma 1.0 }\n\n"
        << "// Settings: edit them here, or declare them before including this file.\n"
        << "#ifndef (BPQuality) #declare BPQuality = " << o.quality
        << "; #end // 0 boxes, 1 no refraction, 2 normal, 3 stud logos\n"
        << "#ifndef (BPSeamWidth) #declare BPSeamWidth = " << povNumber(o.seamWidth)
        << "; #end // LDU between neighbouring parts\n"
        << "#ifndef (BPStuds) #declare BPStuds = 1; #end\n"
        << "#ifndef (BPBumps) #declare BPBumps = " << (o.bumps ? 1 : 0) << "; #end\n"
        << "#ifndef (BPAmbient) #declare BPAmbient = 0.4; #end\n"
        << "#ifndef (BPDiffuse) #declare BPDiffuse = 0.4; #end\n"
        << "#ifndef (BPPhong) #declare BPPhong = 0.5; #end\n"
        << "#ifndef (BPPhongSize) #declare BPPhongSize = 40; #end\n"
        << "#ifndef (BPReflection) #declare BPReflection = 0.08; #end\n"
        << "#ifndef (BPTransFilter) #declare BPTransFilter = 0.85; #end\n"
        << "#ifndef (BPIor) #declare BPIor = 1.25; #end\n"
        << "#declare BPBumpNormal = normal { bumps 0.01 scale 20 }\n"
        << "#declare BPStudLogo = torus { 3.2, 0.45 translate <0,-4,0> }\n\n"
        << "// Each part shrinks about its centre by the seam width; transparent\n"
        << "// parts always a little, so that touching faces do not speckle.\n"
        << "#macro BPSeam(SX, SY, SZ, CX, CY, CZ, Least)\n"
        << "  #local W = max(BPSeamWidth, Least);\n"
        << "  translate -<CX, CY, CZ>\n"
        << "  scale <max(1 - W / SX, 0.5), max(1 - W / SY, 0.5), max(1 - W / SZ, 0.5)>\n"
        << "  translate <CX, CY, CZ>\n"
        << "#end\n\n";
    if (!m_lgeoIncludes.empty()) {
        out << "// LGEO parts (POV-Ray needs LGEO's folder as a library path, +L)\n"
            << "#include \"lg_defs.inc\"\n";
        for (const std::string& inc : m_lgeoIncludes)
            out << "#include \"" << inc << "\"\n";
        out << "\n";
    }
}

void Scene::writeColours(std::ostream& out) {
    out << "// Colours\n";
    for (const int code : m_usedColours) {
        Colour grey;
        grey.name = "Unknown";
        grey.rgb = {0.5, 0.5, 0.5};
        const Colour c = m_colours.find(code).value_or(grey);
        std::string finish;
        switch (c.finish) {
        case Finish::Chrome:
            finish = "ambient 0.25 diffuse 0.6 metallic reflection 0.6 brilliance 6 specular 0.8 "
                     "roughness 0.01";
            break;
        case Finish::Pearlescent:
            finish = "ambient BPAmbient diffuse 0.6 metallic reflection 0.15 brilliance 3 "
                     "phong BPPhong phong_size 20";
            break;
        case Finish::Metal:
            finish = "ambient 0.25 diffuse 0.6 metallic reflection 0.35 brilliance 4 "
                     "specular 0.6 roughness 0.02";
            break;
        case Finish::Rubber:
            finish = "ambient BPAmbient diffuse 0.6 phong 0.1 phong_size 10";
            break;
        case Finish::Plain:
            finish = "ambient BPAmbient diffuse BPDiffuse phong BPPhong phong_size BPPhongSize "
                     "reflection BPReflection";
            break;
        }
        if (c.luminance > 0)
            finish += " emission " + povNumber(c.luminance / 255.0);
        out << "#declare BPColor" << code << " = material { // " << c.name << "\n  texture { "
            << (c.transparent()
                    ? "pigment { rgbf <" + povNumber(c.rgb.x) + "," + povNumber(c.rgb.y) + "," +
                          povNumber(c.rgb.z) + ",BPTransFilter> }"
                    : "pigment { rgb " + vec(c.rgb) + " }")
            << "\n    finish { " << finish << " }\n"
            << "    #if (BPBumps) normal { BPBumpNormal } #end\n  }\n";
        if (c.transparent())
            out << "  #if (BPQuality >= 2) interior { ior BPIor } #end\n";
        out << "}\n";
    }
    out << "\n";
}

void Scene::writeCameraAndLights(std::ostream& out) const {
    const auto& o = m_options;
    out << "// Camera\n"
        << "#declare BPCameraLocation = " << vec(m_camera.location) << ";\n"
        << "#declare BPCameraLookAt = " << vec(m_camera.lookAt) << ";\n"
        << "#declare BPCameraAngle = " << povNumber(o.cameraAngle) << ";\n"
        << "camera {\n"
        << "  location BPCameraLocation\n"
        << "  sky -y\n"
        << "  right -4/3*x\n"
        << "  angle BPCameraAngle\n"
        << "  look_at BPCameraLookAt\n"
        << "}\n\n// Lights\n";
    for (const SceneLight& l : m_lights)
        out << "light_source { " << vec(l.position) << " color rgb " << vec(l.rgb) << " } // "
            << l.note << "\n";
    Vec3 background{0, 0, 0};
    if (o.background)
        background = o.background->code ? colourRgb(*o.background->code) : o.background->rgb;
    out << "\n#declare BPBackground = " << vec(background) << ";\n"
        << "background { rgb BPBackground }\n";
    if (o.floor != FloorType::None) {
        out << "\n// Floor\n#declare BPFloorY = " << povNumber(floorY()) << ";\n"
            << "plane { -y, -BPFloorY\n  texture {\n    pigment { "
            << (o.floor == FloorType::Checkered ? "checker rgb <0.9,0.9,0.9> rgb <0.25,0.25,0.25> "
                                                  "scale 40"
                                                : "rgb <0.8,0.8,0.8>")
            << " }\n    finish { ambient BPAmbient diffuse BPDiffuse }\n  }\n}\n";
    }
    out << "\n";
}

namespace {

int countItems(const LDrawFile& file, const std::function<bool(const SubfileRef&)>& kept,
               const std::function<bool(const Face&)>& keptFace) {
    int n = 0;
    for (const SubfileRef& r : file.refs)
        n += kept(r) ? 1 : 0;
    std::set<int> colours;
    for (const Face& f : file.faces)
        if (keptFace(f))
            colours.insert(f.colour);
    return n + static_cast<int>(colours.size() + file.povCode.size());
}

} // namespace

void Scene::writeDeclaration(std::ostream& out, const LDrawFile& file) {
    const Info& info = m_info.at(&file);
    out << "\n// " << file.name << (file.title.empty() ? "" : ": " + file.title) << "\n";
    if (info.solid) {
        if (stemOf(file.name) == "stud") {
            out << "#if (BPQuality >= 3)\n#declare " << info.id << " = union { " << *info.solid
                << " object { BPStudLogo } }\n#else\n#declare " << info.id << " = " << *info.solid
                << "\n#end\n";
        } else {
            out << "#declare " << info.id << " = " << *info.solid << "\n";
        }
        return;
    }
    if (info.part) {
        out << "#if (BPQuality = 0)\n#declare " << info.id << " = box { " << vec(info.box.lo)
            << ", " << vec(info.box.hi) << " }\n#else\n";
    }
    if (!info.lgeo.empty()) {
        out << "#declare " << info.id << " = object { " << info.lgeo
            << " matrix <0,0,-25,-25,0,0,0,-25,0,0,0,0> }\n";
    } else {
        const auto kept = [this](const SubfileRef& r) {
            return r.file && !skipped(r.nonPov) && !m_info.at(r.file).empty;
        };
        const auto keptFace = [this](const Face& f) { return !skipped(f.nonPov); };
        const bool single = countItems(file, kept, keptFace) < 2;
        out << "#declare " << info.id << (single ? " = object {\n" : " = union {\n");
        writeBody(out, file, false);
        out << "}\n";
    }
    if (info.part) {
        const Vec3 size = info.box.size(), c = info.box.centre();
        const std::string args = povNumber(std::max(size.x, 1.0)) + ", " +
                                 povNumber(std::max(size.y, 1.0)) + ", " +
                                 povNumber(std::max(size.z, 1.0)) + ", " + povNumber(c.x) + ", " +
                                 povNumber(c.y) + ", " + povNumber(c.z);
        out << "#end\n#declare " << info.id << "_seam = transform { BPSeam(" << args
            << ", 0) }\n#declare " << info.id << "_seamT = transform { BPSeam(" << args
            << ", 0.001) }\n";
    }
}

void Scene::writeBody(std::ostream& out, const LDrawFile& file, bool top) {
    int lastStep = 0;
    if (top && m_options.stepClock) {
        for (const SubfileRef& r : file.refs)
            lastStep = std::max(lastStep, r.step);
        for (const Face& f : file.faces)
            lastStep = std::max(lastStep, f.step);
        for (const PovCode& p : file.povCode)
            lastStep = std::max(lastStep, p.step);
    }
    const bool byStep = top && m_options.stepClock;
    const auto kept = [this](const SubfileRef& r) {
        return r.file && !skipped(r.nonPov) && !m_info.at(r.file).empty;
    };
    // A stud that is a declaration's only item stays unconditional: an
    // object without content does not parse.
    const bool studSwitch =
        top || countItems(file, kept, [this](const Face& f) { return !skipped(f.nonPov); }) >= 2;
    for (int step = 0; step <= lastStep; ++step) {
        if (byStep && step > 0)
            out << "#if (clock > " << step << ") // step " << step + 1 << "\n";
        for (const SubfileRef& r : file.refs) {
            if ((!byStep || r.step == step) && kept(r))
                writeRef(out, r, top, studSwitch);
        }
        writeMeshes(out, file, top, byStep ? step : -1);
        for (const PovCode& p : file.povCode)
            if (!byStep || p.step == step)
                out << p.text;
        if (byStep && step > 0)
            out << "#end\n";
    }
}

void Scene::writeRef(std::ostream& out, const SubfileRef& r, bool top, bool studSwitch) {
    const Info& c = m_info.at(r.file);
    const bool stud =
        studSwitch && r.file->kind == FileKind::Primitive && isStudPrimitive(r.file->name);
    const int code = resolve(r.colour, top);
    const auto colour = m_colours.find(code);
    if (stud)
        out << "#if (BPStuds) ";
    out << "object { " << c.id;
    if (c.part)
        out << " transform { " << c.id << (colour && colour->transparent() ? "_seamT" : "_seam")
            << " }";
    out << " " << matrixText(repairedSingular(r.place));
    if (code != kMainColour)
        out << " material { BPColor" << code << " }";
    out << " }";
    if (stud)
        out << " #end";
    out << "\n";
}

void Scene::writeMeshes(std::ostream& out, const LDrawFile& file, bool top, int step) {
    std::map<int, std::vector<const Face*>> byColour;
    for (const Face& f : file.faces)
        if (!skipped(f.nonPov) && (step < 0 || f.step == step))
            byColour[resolve(f.colour, top)].push_back(&f);
    for (const auto& [code, faces] : byColour) {
        out << "mesh {\n";
        for (const Face* f : faces)
            out << "  triangle { " << vec(f->v[0]) << ", " << vec(f->v[1]) << ", " << vec(f->v[2])
                << " }\n";
        if (code != kMainColour)
            out << "  material { BPColor" << code << " }\n";
        out << "}\n";
    }
}

} // namespace bp::conv
