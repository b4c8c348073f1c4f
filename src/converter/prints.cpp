#include "converter/prints.h"

#include "converter/scene_plan.h"

#include <numbers>

namespace bp::conv {

namespace {

// A matrix taking pattern space's x, y and z axes to `x`, `y`, `z` and its
// origin to `origin`.
std::string frame(const Vec3& x, const Vec3& y, const Vec3& z, const Vec3& origin) {
    const auto row = [](const Vec3& v) {
        return povNumber(v.x) + "," + povNumber(v.y) + "," + povNumber(v.z);
    };
    return "matrix <" + row(x) + "," + row(y) + "," + row(z) + "," + row(origin) + ">";
}

Vec3 unit(const Vec3& v) {
    const double l = v.length();
    return l > 1e-12 ? v * (1 / l) : Vec3{0, 0, 0};
}

// Some vector at right angles to `v`.
Vec3 across(const Vec3& v) {
    const Vec3 a = std::fabs(v.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    return unit(v.cross(a));
}

} // namespace

std::string povString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += static_cast<unsigned char>(c) < 0x20 ? '_' : c;
    }
    return out + "\"";
}

std::string printLayer(const TexMap& t, const std::string& id) {
    const std::string image = "image_map { png " + povString(t.imagePath) + " once interpolate 2 }";
    const auto& p = t.points;
    if (t.projection == Projection::Planar) {
        // The image's top left corner at the first point, its top edge along
        // the second, its left edge along the third; POV-Ray's image lies on
        // x and y from 0 to 1 with its top at y = 1.
        const Vec3 u = p[1] - p[0], v = p[0] - p[2];
        Vec3 n = unit(u.cross(v));
        if (n.length() == 0)
            n = across(u.length() > 0 ? u : Vec3{1, 0, 0});
        return "#declare " + id + " = texture { pigment { " + image +
               " } finish { BPSolidFinish } " + frame(u, v, n, p[2]) + " }\n";
    }
    // Cylinders and spheres: the image is looked up at angles worked out in
    // the projection's own frame, one colour channel at a time. Seen from
    // outside with the frame's y up, the image's right is toward -z.
    std::string u, v, placement;
    const double a = std::max(t.angleA, 1e-3) * std::numbers::pi / 180;
    if (t.projection == Projection::Cylindrical) {
        // Axis from the bottom centre (first point) to the top centre
        // (second); the third point marks the image's middle on the bottom.
        const Vec3 axis = p[1] - p[0];
        const Vec3 ahead = unit((p[2] - p[0]) - unit(axis) * unit(axis).dot(p[2] - p[0]));
        const Vec3 r = ahead.length() > 0 ? ahead : across(axis);
        placement = frame(r, axis, unit(r.cross(axis)), p[0]);
        u = "0.5 - atan2(z, x) / " + povNumber(a);
        v = "y";
    } else {
        // Centre at the first point, the image's middle toward the second;
        // the third lies on its equator.
        const double b = std::max(t.angleB, 1e-3) * std::numbers::pi / 180;
        const Vec3 f = unit(p[1] - p[0]);
        Vec3 pole = unit(f.cross(p[2] - p[0]));
        if (pole.length() == 0)
            pole = across(f);
        placement = frame(f, pole, unit(f.cross(pole)), p[0]);
        u = "0.5 - atan2(z, x) / " + povNumber(a);
        v = "0.5 + atan2(y, sqrt(x * x + z * z)) / " + povNumber(b);
    }
    std::string text = "#declare " + id + "_image = function { pigment { " + image + " } }\n" +
                       "#declare " + id + " = texture { pigment { average pigment_map {\n";
    const struct {
        const char* channel;
        const char* full;
    } channels[] = {{"red", "<4,0,0,0>"},
                    {"green", "<0,4,0,0>"},
                    {"blue", "<0,0,4,0>"},
                    {"transmit", "<0,0,0,4>"}};
    for (const auto& c : channels)
        text += "  [function { " + id + "_image(" + u + ", " + v + ", 0)." + c.channel +
                " } color_map { [0 rgbt 0] [1 rgbt " + c.full + "] }]\n";
    return text + "} } finish { BPSolidFinish } " + placement + " }\n";
}

} // namespace bp::conv
