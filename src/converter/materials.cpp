#include "converter/materials.h"

#include "converter/scene_plan.h"
#include "converter/text.h"

#include <cmath>

namespace bp::conv {

namespace {

std::string triple(const Vec3& v) {
    return povNumber(v.x) + "," + povNumber(v.y) + "," + povNumber(v.z);
}

std::string finishOf(const Colour& c) {
    switch (c.material) {
    case Material::Chrome:
        return "BPChromeFinish";
    case Material::Pearlescent:
        return "BPPearlFinish";
    case Material::Metal:
        return "BPMetalFinish";
    case Material::MatteMetallic:
        return "BPMatteMetalFinish";
    case Material::Rubber:
        return "BPRubberFinish";
    case Material::Solid:
        break;
    }
    if (c.luminous())
        return "BPLuminousFinish";
    return c.transparent() ? "BPTransFinish" : "BPSolidFinish";
}

std::string basePigment(const Colour& c) {
    return c.transparent() ? "pigment { srgbf <" + triple(c.rgb) + ",BPTransFilter> }"
                           : "pigment { " + srgbText(c.rgb) + " }";
}

} // namespace

std::string srgbText(const Vec3& rgb) {
    return "srgb <" + triple(rgb) + ">";
}

Vec3 linearRgb(const Vec3& rgb) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return {linear(rgb.x), linear(rgb.y), linear(rgb.z)};
}

void writeFinishes(std::ostream& out) {
    out << "// Materials: LDraw's colours are sRGB and are written so; a face lit head-on\n"
        << "// by a white light shows its colour's value when ambient + diffuse is 1.\n"
        << "#ifndef (BPAmbient) #declare BPAmbient = 0.1; #end\n"
        << "#ifndef (BPDiffuse) #declare BPDiffuse = 0.9; #end\n"
        << "#ifndef (BPTransFilter) #declare BPTransFilter = 0.85; #end\n"
        << "#ifndef (BPIor) #declare BPIor = 1.25; #end // refraction from quality 2\n"
        << "#ifndef (BPSolidFinish) #declare BPSolidFinish = finish { ambient BPAmbient "
           "diffuse BPDiffuse specular 0.12 roughness 0.04 } #end\n"
        << "#ifndef (BPTransFinish) #declare BPTransFinish = finish { ambient BPAmbient "
           "diffuse BPDiffuse specular 0.6 roughness 0.005 reflection { 0.02, 0.3 falloff 3 } "
           "} #end\n"
        << "#ifndef (BPChromeFinish) #declare BPChromeFinish = finish { ambient 0.05 "
           "diffuse 0.3 brilliance 5 metallic specular 0.9 roughness 0.005 reflection { 0.65 "
           "metallic } } #end\n"
        << "#ifndef (BPPearlFinish) #declare BPPearlFinish = finish { ambient BPAmbient "
           "diffuse 0.75 brilliance 2 metallic 0.4 specular 0.4 roughness 0.02 reflection { "
           "0.04 } irid { 0.08 thickness 0.4 turbulence 0.3 } } #end\n"
        << "#ifndef (BPMetalFinish) #declare BPMetalFinish = finish { ambient 0.05 "
           "diffuse 0.55 brilliance 3 metallic specular 0.7 roughness 0.01 reflection { 0.3 "
           "metallic } } #end\n"
        << "#ifndef (BPMatteMetalFinish) #declare BPMatteMetalFinish = finish { ambient 0.05 "
           "diffuse 0.75 brilliance 2 metallic specular 0.35 roughness 0.06 } #end\n"
        << "#ifndef (BPRubberFinish) #declare BPRubberFinish = finish { ambient BPAmbient "
           "diffuse BPDiffuse specular 0.03 roughness 0.3 } #end\n"
        << "#ifndef (BPLuminousFinish) #declare BPLuminousFinish = finish { ambient BPAmbient "
           "diffuse BPDiffuse specular 0.12 roughness 0.04 emission 0.4 } #end\n"
        << "#ifndef (BPGlitterFinish) #declare BPGlitterFinish = finish { ambient BPAmbient "
           "diffuse 0.6 brilliance 4 metallic specular 1 roughness 0.002 reflection { 0.2 } } "
           "#end\n"
        << "#ifndef (BPSpeckleFinish) #declare BPSpeckleFinish = finish { ambient BPAmbient "
           "diffuse 0.6 brilliance 3 metallic specular 0.6 roughness 0.01 } #end\n";
}

void writeMaterial(std::ostream& out, int code, const Colour& c) {
    const std::string id = std::to_string(code);
    const std::string finish = "finish { " + finishOf(c) + " }";
    out << "#declare BPTex" << id << " = texture { // " << sceneText(c.name) << "\n";
    if (c.flakes == Flakes::None) {
        out << "  " << basePigment(c) << " " << finish << "\n"
            << "  #if (BPBumps) normal { BPBumpNormal } #end\n";
    } else {
        // Cells give each cube of the flake size one random value, so the
        // flakes cover their fraction of the surface.
        const std::string border = povNumber(1 - c.flakeFraction);
        const std::string base = basePigment(c) + " " + finish;
        const std::string flake =
            "pigment { " + srgbText(c.flakeRgb) + " } finish { " +
            (c.flakes == Flakes::Glitter ? "BPGlitterFinish" : "BPSpeckleFinish") + " }";
        out << "  cells texture_map {\n"
            << "    [0 " << base << "]\n    [" << border << " " << base << "]\n"
            << "    [" << border << " " << flake << "]\n    [1 " << flake << "]\n"
            << "  } scale " << povNumber(c.flakeSize) << "\n";
    }
    out << "}\n#declare BPColor" << id << " = material { texture { BPTex" << id << " }";
    if (c.transparent())
        out << " #if (BPQuality >= 2) interior { ior BPIor } #end";
    out << " }\n";
}

} // namespace bp::conv
