#include "converter/pov_writer.h"

#include "converter/materials.h"
#include "converter/primitives.h"
#include "converter/prints.h"
#include "converter/text.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace bp::conv {

namespace {

std::string vec(const Vec3& v) {
    return "<" + povNumber(v.x) + "," + povNumber(v.y) + "," + povNumber(v.z) + ">";
}

// A unit normal needs fewer digits than a place.
std::string normal(const Vec3& n) {
    const auto digits = [](double v) {
        char buf[16];
        const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v) < 5e-5 ? 0.0 : v,
                                     std::chars_format::general, 4);
        return std::string(buf, r.ptr);
    };
    return "<" + digits(n.x) + "," + digits(n.y) + "," + digits(n.z) + ">";
}

std::string matrixText(const Placement& p) {
    const auto& m = p.m;
    std::string s = "matrix <";
    for (const double v : {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]})
        s += povNumber(v) + ",";
    return s + povNumber(p.t.x) + "," + povNumber(p.t.y) + "," + povNumber(p.t.z) + ">";
}

std::string stemOf(const std::string& name) {
    std::string b = name.substr(name.rfind('/') + 1);
    if (b.ends_with(".dat"))
        b.resize(b.size() - 4);
    return b;
}

// Items in a declaration's body: placed meshes, one mesh per colour and
// print, code.
std::size_t countItems(const ResolvedMesh& m) {
    std::set<std::pair<int, int>> colours;
    for (const ColourRun& r : m.runs)
        colours.insert({r.colour, r.print});
    return m.uses.size() + colours.size() + m.povCode.size();
}

class PovWriter {
  public:
    PovWriter(std::ostream& out, const ScenePlan& plan) : m_out(out), m_plan(plan) {}
    void write();

  private:
    void writeHeader();
    void writeColours();
    void writeCamera();
    void writeFittedCamera(const FitOutline& outline);
    void writeLightsAndFloor();
    void writeDeclaration(const ResolvedMesh& mesh);
    void writeBody(const ResolvedMesh& mesh, bool top);
    void writeUse(const ResolvedMesh& mesh, const MeshUse& use, bool top, bool studSwitch);
    void writeMeshes(const ResolvedMesh& mesh, bool top, int step);
    void writePrints(const ResolvedMesh& mesh);
    std::string baseTexture(int code, bool top) const;
    std::string printLayers(const ResolvedMesh& mesh, int code, int print, bool top) const;

    std::ostream& m_out;
    const ScenePlan& m_plan;
};

void PovWriter::write() {
    writeHeader();
    writeColours();
    writeCamera();
    writeLightsAndFloor();
    const auto& meshes = m_plan.meshes();
    for (std::size_t i = 0; i + 1 < meshes.size(); ++i) {
        writeDeclaration(meshes[i]);
        if (&meshes[i] == m_plan.studLogo())
            m_out << "#declare BPStudLogo = object { " << meshes[i].id
                  << " translate <0,-4,0> } // on top of a stud\n";
    }
    m_out << "\n// The model\n";
    writePrints(m_plan.mainMesh());
    writeBody(m_plan.mainMesh(), true);
}

void PovWriter::writeHeader() {
    const Options& o = m_plan.options();
    const LDrawFile& main = *m_plan.mainMesh().file;
    m_out << "// " << sceneText(main.title.empty() ? main.name : main.title) << "\n"
          << "// Written by brickpov-convert from " << sceneText(main.path, 1000) << "\n"
          << "#version 3.7;\n"
          << "global_settings { assumed_gamma 1.0 }\n\n"
          << "// Settings: edit them here, or declare them before including this file.\n"
          << "#ifndef (BPQuality) #declare BPQuality = " << o.quality()
          << "; #end // 0 boxes, 1 no refraction, 2 normal, 3 stud logos\n"
          << "#ifndef (BPSeamWidth) #declare BPSeamWidth = " << povNumber(o.seamWidth())
          << "; #end // LDU between neighbouring parts\n"
          << "#ifndef (BPStuds) #declare BPStuds = 1; #end\n"
          << "#ifndef (BPBumps) #declare BPBumps = " << (o.has(Id::Bumps) ? 1 : 0) << "; #end\n"
          << "#ifndef (BPMargin) #declare BPMargin = " << povNumber(kDefaultMargin)
          << "; #end // share of the picture's shorter side kept free round a fitted model\n"
          << "#declare BPBumpNormal = normal { bumps 0.01 scale 20 }\n"
          << (m_plan.studLogo() ? ""
                                : "#declare BPStudLogo = torus { 3.2, 0.45 translate <0,-4,0> }\n")
          << "\n"
          << "// Each part shrinks about its centre by the seam width; transparent\n"
          << "// parts always a little, so that touching faces do not speckle.\n"
          << "#macro BPSeam(SX, SY, SZ, CX, CY, CZ, Least)\n"
          << "  #local W = max(BPSeamWidth, Least);\n"
          << "  translate -<CX, CY, CZ>\n"
          << "  scale <max(1 - W / SX, 0.5), max(1 - W / SY, 0.5), max(1 - W / SZ, 0.5)>\n"
          << "  translate <CX, CY, CZ>\n"
          << "#end\n\n";
    writeFinishes(m_out);
    m_out << "\n";
    if (!m_plan.lgeoIncludes().empty()) {
        m_out << "// LGEO parts (POV-Ray needs LGEO's folder as a library path, +L)\n"
              << "#include \"lg_defs.inc\"\n";
        for (const std::string& inc : m_plan.lgeoIncludes())
            m_out << "#include \"" << inc << "\"\n";
        m_out << "\n";
    }
}

void PovWriter::writeColours() {
    m_out << "// Colours\n";
    for (const int code : m_plan.usedColours()) {
        Colour grey;
        grey.name = "Unknown";
        grey.rgb = {0.5, 0.5, 0.5};
        writeMaterial(m_out, code, m_plan.colours().find(code).value_or(grey));
    }
    m_out << "\n";
}

void PovWriter::writeCamera() {
    m_out << "// Camera\n"
          << "#declare BPCameraAngle = " << povNumber(m_plan.options().cameraAngle()) << ";\n";
    const FitOutline& outline = m_plan.fitOutline();
    if (m_plan.cameraFit() == CameraFit::Fixed || outline.empty()) {
        const CameraPlacement c = m_plan.camera();
        m_out << "#declare BPCameraLocation = " << vec(c.location) << ";\n"
              << "#declare BPCameraLookAt = " << vec(c.lookAt) << ";\n";
    } else {
        writeFittedCamera(outline);
    }
    // The picture's own shape: one scene serves every size.
    m_out << "camera {\n"
          << "  location BPCameraLocation\n"
          << "  sky -y\n"
          << "  right -x*image_width/image_height\n"
          << "  angle BPCameraAngle\n"
          << "  look_at BPCameraLookAt\n"
          << "}\n\n";
}

// The fit of fitCamera and fitCameraTowards, done by POV-Ray for the size
// it renders, so that the margin holds at any shape.
void PovWriter::writeFittedCamera(const FitOutline& outline) {
    const ViewFrame& f = outline.frame;
    const bool towards = m_plan.cameraFit() == CameraFit::Towards;
    const Vec3 lookAt = towards ? *m_plan.options().lookAt : Vec3{};
    const double r0 = f.right.dot(lookAt), u0 = f.up.dot(lookAt), f0 = f.forward.dot(lookAt);
    const auto points = [&](const std::vector<std::array<double, 2>>& hull, double u) {
        std::string s = "array[" + std::to_string(hull.size()) + "] {";
        for (std::size_t i = 0; i < hull.size(); ++i)
            s += (i % 6 == 0 ? "\n  <" : " <") + povNumber(hull[i][0] - u) + "," +
                 povNumber(hull[i][1] - f0) + ">" + (i + 1 < hull.size() ? "," : "");
        return s + "\n}";
    };
    m_out << "// Fitted to the model for the picture's shape, leaving BPMargin free: the\n"
          << "// outlines of the model seen from above and from the side of the view.\n"
          << "#declare BPViewRight = " << vec(f.right) << ";\n"
          << "#declare BPViewUp = " << vec(f.up) << ";\n"
          << "#declare BPViewForward = " << vec(f.forward) << ";\n"
          << "#declare BPOutlineAcross = " << points(outline.across, r0) << ";\n"
          << "#declare BPOutlineUpright = " << points(outline.upright, u0) << ";\n"
          << "#declare BPAspect = image_width / image_height;\n"
          << "#declare BPTanH = tan(radians(BPCameraAngle / 2)) * "
             "(1 - 2 * BPMargin * min(BPAspect, 1) / BPAspect);\n"
          << "#declare BPTanV = tan(radians(BPCameraAngle / 2)) / BPAspect * "
             "(1 - 2 * BPMargin * min(BPAspect, 1));\n";
    if (towards) {
        m_out << "#declare BPBack = 1;\n"
              << "#for (I, 0, dimension_size(BPOutlineAcross, 1) - 1)\n"
              << "  #declare BPBack = max(BPBack, abs(BPOutlineAcross[I].u) / BPTanH - "
                 "BPOutlineAcross[I].v);\n"
              << "#end\n"
              << "#for (I, 0, dimension_size(BPOutlineUpright, 1) - 1)\n"
              << "  #declare BPBack = max(BPBack, abs(BPOutlineUpright[I].u) / BPTanV - "
                 "BPOutlineUpright[I].v);\n"
              << "#end\n"
              << "#declare BPCameraLookAt = " << vec(lookAt) << ";\n"
              << "#declare BPCameraLocation = BPCameraLookAt - BPViewForward * BPBack;\n";
        return;
    }
    m_out << "#declare BPMeanDepth = " << povNumber(outline.meanDepth) << ";\n"
          << "// The least C * u + S * v over the points of an outline.\n"
          << "#macro BPLeast(Points, C, S)\n"
          << "  #local L = 1e300;\n"
          << "  #for (I, 0, dimension_size(Points, 1) - 1)\n"
          << "    #local L = min(L, C * Points[I].u + S * Points[I].v);\n"
          << "  #end\n"
          << "  L\n"
          << "#end\n"
          << "#declare BPCosH = 1 / sqrt(1 + BPTanH * BPTanH);\n"
          << "#declare BPCosV = 1 / sqrt(1 + BPTanV * BPTanV);\n"
          << "#declare BPLeft = BPLeast(BPOutlineAcross, BPCosH, BPTanH * BPCosH);\n"
          << "#declare BPRight = BPLeast(BPOutlineAcross, -BPCosH, BPTanH * BPCosH);\n"
          << "#declare BPBottom = BPLeast(BPOutlineUpright, BPCosV, BPTanV * BPCosV);\n"
          << "#declare BPTop = BPLeast(BPOutlineUpright, -BPCosV, BPTanV * BPCosV);\n"
          << "#declare BPDepth = min((BPLeft + BPRight) / (2 * BPTanH * BPCosH),\n"
          << "                       (BPBottom + BPTop) / (2 * BPTanV * BPCosV));\n"
          << "// The offset that puts the outermost points of an outline at equal\n"
          << "// distances from the picture's middle, for a camera at Depth.\n"
          << "#macro BPCentre(Points, Depth)\n"
          << "  #local N = dimension_size(Points, 1) - 1;\n"
          << "  #local Lo = 1e300;\n"
          << "  #local Hi = -1e300;\n"
          << "  #for (I, 0, N)\n"
          << "    #local Lo = min(Lo, Points[I].u);\n"
          << "    #local Hi = max(Hi, Points[I].u);\n"
          << "  #end\n"
          << "  #for (J, 1, 60)\n"
          << "    #local Mid = (Lo + Hi) / 2;\n"
          << "    #local Most = -1e300;\n"
          << "    #local Least = 1e300;\n"
          << "    #for (I, 0, N)\n"
          << "      #local Y = (Points[I].u - Mid) / max(Points[I].v - Depth, 1e-9);\n"
          << "      #local Most = max(Most, Y);\n"
          << "      #local Least = min(Least, Y);\n"
          << "    #end\n"
          << "    #if (Most + Least > 0) #local Lo = Mid; #else #local Hi = Mid; #end\n"
          << "  #end\n"
          << "  (Lo + Hi) / 2\n"
          << "#end\n"
          << "#declare BPCameraLocation = BPViewRight * BPCentre(BPOutlineAcross, BPDepth) +\n"
          << "  BPViewUp * BPCentre(BPOutlineUpright, BPDepth) + BPViewForward * BPDepth;\n"
          << "#declare BPCameraLookAt = BPCameraLocation + BPViewForward * max(BPMeanDepth - "
             "BPDepth, 1);\n";
}

void PovWriter::writeLightsAndFloor() {
    const Options& o = m_plan.options();
    m_out << "// Lights\n";
    for (const SceneLight& l : m_plan.lights())
        m_out << "light_source { " << vec(l.position) << " color "
              << (l.intensity == 1 ? srgbText(l.rgb) : "rgb " + vec(linearRgb(l.rgb) * l.intensity))
              << " } // " << l.note << "\n";
    if (o.background) {
        const Vec3 background =
            o.background->code ? m_plan.colourRgb(*o.background->code) : o.background->rgb;
        m_out << "\n#declare BPBackground = " << vec(background) << ";\n"
              << "background { srgb BPBackground }\n";
    } else {
        // Black, and transparent where POV-Ray writes an alpha channel (+UA).
        m_out << "\nbackground { rgbt <0,0,0,1> }\n";
    }
    if (o.floor != FloorType::None) {
        m_out << "\n// Floor\n#declare BPFloorY = " << povNumber(m_plan.floorY()) << ";\n"
              << "plane { -y, -BPFloorY\n  texture {\n    pigment { "
              << (o.floor == FloorType::Checkered
                      ? "checker srgb <0.9,0.9,0.9> srgb <0.25,0.25,0.25> scale 40"
                      : "srgb <0.8,0.8,0.8>")
              << " }\n    finish { ambient BPAmbient diffuse BPDiffuse }\n  }\n}\n";
    }
    m_out << "\n";
}

void PovWriter::writeDeclaration(const ResolvedMesh& mesh) {
    const LDrawFile& file = *mesh.file;
    const bool part = mesh.kind == FileKind::Part;
    m_out << "\n// " << sceneText(file.name)
          << (file.title.empty() ? "" : ": " + sceneText(file.title)) << "\n";
    if (mesh.solid) {
        if (stemOf(file.name) == "stud") {
            m_out << "#if (BPQuality >= 3)\n#declare " << mesh.id << " = union { " << *mesh.solid
                  << " object { BPStudLogo } }\n#else\n#declare " << mesh.id << " = " << *mesh.solid
                  << "\n#end\n";
        } else {
            m_out << "#declare " << mesh.id << " = " << *mesh.solid << "\n";
        }
        return;
    }
    writePrints(mesh);
    // A mesh with a print over its caller's colour is a macro of that colour.
    const std::string head =
        mesh.needsBase ? "#macro " + mesh.id + "(BPBase)\n" : "#declare " + mesh.id + " = ";
    if (mesh.needsBase)
        m_out << head;
    if (part) {
        m_out << "#if (BPQuality = 0)\n"
              << (mesh.needsBase ? "" : head) << "box { " << vec(mesh.box.lo) << ", "
              << vec(mesh.box.hi) << " }\n#else\n";
    }
    if (!mesh.lgeo.empty()) {
        m_out << "#declare " << mesh.id << " = object { " << mesh.lgeo
              << " matrix <0,0,-25,-25,0,0,0,-25,0,0,0,0> }\n";
    } else {
        m_out << (mesh.needsBase ? "" : head)
              << (countItems(mesh) < 2 ? "object {\n" : "union {\n");
        writeBody(mesh, false);
        m_out << "}\n";
    }
    if (mesh.needsBase)
        m_out << (part ? "#end\n#end\n" : "#end\n");
    if (part) {
        const Vec3 size = mesh.box.size(), c = mesh.box.centre();
        const std::string args = povNumber(std::max(size.x, 1.0)) + ", " +
                                 povNumber(std::max(size.y, 1.0)) + ", " +
                                 povNumber(std::max(size.z, 1.0)) + ", " + povNumber(c.x) + ", " +
                                 povNumber(c.y) + ", " + povNumber(c.z);
        m_out << (mesh.needsBase ? "" : "#end\n") << "#declare " << mesh.id
              << "_seam = transform { BPSeam(" << args << ", 0) }\n#declare " << mesh.id
              << "_seamT = transform { BPSeam(" << args << ", 0.001) }\n";
    }
}

void PovWriter::writeBody(const ResolvedMesh& mesh, bool top) {
    const bool byStep = top && m_plan.options().has(Id::StepClock);
    int lastStep = 0;
    if (byStep) {
        for (const MeshUse& u : mesh.uses)
            lastStep = std::max(lastStep, u.step);
        for (const ColourRun& r : mesh.runs)
            lastStep = std::max(lastStep, r.step);
        for (const PovCode* p : mesh.povCode)
            lastStep = std::max(lastStep, p->step);
    }
    // A stud that is a declaration's only item stays unconditional: an
    // object without content does not parse.
    const bool studSwitch = top || countItems(mesh) >= 2;
    for (int step = 0; step <= lastStep; ++step) {
        if (byStep && step > 0)
            m_out << "#if (clock > " << step << ") // step " << step + 1 << "\n";
        for (const MeshUse& u : mesh.uses)
            if (!byStep || u.step == step)
                writeUse(mesh, u, top, studSwitch);
        writeMeshes(mesh, top, byStep ? step : -1);
        for (const PovCode* p : mesh.povCode)
            if (!byStep || p->step == step)
                m_out << p->text;
        if (byStep && step > 0)
            m_out << "#end\n";
    }
}

void PovWriter::writeUse(const ResolvedMesh& mesh, const MeshUse& use, bool top, bool studSwitch) {
    const ResolvedMesh& c = m_plan.meshes()[use.mesh];
    const bool stud = studSwitch && c.stud;
    const int code = m_plan.resolve(use.colour, top);
    const auto colour = m_plan.colours().find(code);
    if (stud)
        m_out << "#if (BPStuds) ";
    m_out << "object { " << c.id;
    if (c.needsBase)
        m_out << "(" << baseTexture(code, top) << ")";
    if (c.kind == FileKind::Part)
        m_out << " transform { " << c.id << (colour && colour->transparent() ? "_seamT" : "_seam")
              << " }";
    m_out << " " << matrixText(repairedSingular(use.place));
    if (use.print >= 0)
        m_out << " " << printLayers(mesh, code, use.print, top);
    else if (code != kMainColour)
        m_out << " material { BPColor" << code << " }";
    m_out << " }";
    if (stud)
        m_out << " #end";
    m_out << "\n";
}

void PovWriter::writeMeshes(const ResolvedMesh& mesh, bool top, int step) {
    std::map<std::pair<int, int>, std::vector<const ColourRun*>> byColour; // and print
    for (const ColourRun& r : mesh.runs)
        if (step < 0 || r.step == step)
            byColour[{m_plan.resolve(r.colour, top), r.print}].push_back(&r);
    for (const auto& [key, runs] : byColour) {
        const auto [code, print] = key;
        m_out << "mesh {\n";
        for (const ColourRun* r : runs)
            for (std::size_t t = r->first; t < r->first + r->count; ++t) {
                const MeshTriangle& tri = mesh.triangles[t];
                if (tri.smooth)
                    m_out << "  smooth_triangle { " << vec(tri.v[0]) << ", " << normal(tri.n[0])
                          << ", " << vec(tri.v[1]) << ", " << normal(tri.n[1]) << ", "
                          << vec(tri.v[2]) << ", " << normal(tri.n[2]) << " }\n";
                else
                    m_out << "  triangle { " << vec(tri.v[0]) << ", " << vec(tri.v[1]) << ", "
                          << vec(tri.v[2]) << " }\n";
            }
        if (print >= 0)
            m_out << "  " << printLayers(mesh, code, print, top) << "\n";
        else if (code != kMainColour)
            m_out << "  material { BPColor" << code << " }\n";
        m_out << "}\n";
    }
}

namespace {
std::string printId(const ResolvedMesh& mesh, int print) {
    return (mesh.id.empty() ? "BPModel" : mesh.id) + "_print" + std::to_string(print);
}
} // namespace

void PovWriter::writePrints(const ResolvedMesh& mesh) {
    for (std::size_t i = 0; i < mesh.prints.size(); ++i)
        m_out << printLayer(mesh.prints[i], printId(mesh, static_cast<int>(i)));
}

// The texture beneath a print: the colour's own, or the macro's argument
// where the colour is the caller's.
std::string PovWriter::baseTexture(int code, bool top) const {
    if (code == kMainColour)
        return top ? "BPTex" + std::to_string(m_plan.topColour()) : "BPBase";
    return "BPTex" + std::to_string(code);
}

// A print over its colour: two texture layers.
std::string PovWriter::printLayers(const ResolvedMesh& mesh, int code, int print, bool top) const {
    return "texture { " + baseTexture(code, top) + " } texture { " + printId(mesh, print) + " }";
}

} // namespace

void writePovScene(std::ostream& out, const ScenePlan& plan) {
    PovWriter(out, plan).write();
}

} // namespace bp::conv
