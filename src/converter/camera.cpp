#include "converter/camera.h"

#include <numbers>

namespace bp::conv {

namespace {

double radians(double deg) {
    return deg * std::numbers::pi / 180.0;
}

struct Frame {
    Vec3 forward, right, up;
    double tanH, tanV;
};

Frame frameFor(const Vec3& forward, double angleDeg) {
    Frame f;
    f.forward = forward.normalized();
    const Vec3 sky{0, -1, 0};
    f.right = f.forward.cross(sky).normalized();
    if (f.right.length() < 0.5) // looking straight up or down
        f.right = Vec3{1, 0, 0};
    f.up = f.right.cross(f.forward).normalized();
    f.tanH = std::tan(radians(angleDeg) / 2);
    f.tanV = f.tanH / kAspect;
    return f;
}

} // namespace

Vec3 globeDirection(double latitudeDeg, double longitudeDeg) {
    const double la = radians(latitudeDeg), lo = radians(longitudeDeg);
    return {std::cos(la) * std::sin(lo), -std::sin(la), -std::cos(la) * std::cos(lo)};
}

CameraPlacement fitCamera(const Vec3& forward, double angleDeg, const PointSource& points) {
    const Frame f = frameFor(forward, angleDeg);
    const double sinH = std::sin(std::atan(f.tanH)), cosH = std::cos(std::atan(f.tanH));
    const double sinV = std::sin(std::atan(f.tanV)), cosV = std::cos(std::atan(f.tanV));
    // Inward normals of the four sides of the view pyramid; the camera c must
    // satisfy n.c <= min over the points of n.p for each of them.
    const Vec3 normals[4] = {f.right * cosH + f.forward * sinH, f.right * -cosH + f.forward * sinH,
                             f.up * cosV + f.forward * sinV, f.up * -cosV + f.forward * sinV};
    double least[4] = {1e300, 1e300, 1e300, 1e300};
    bool any = false;
    points([&](const Vec3& p) {
        any = true;
        for (int i = 0; i < 4; ++i)
            least[i] = std::min(least[i], normals[i].dot(p));
    });
    if (!any)
        return {f.forward * -100.0, {}};
    // Both sides of an axis touched: depth e and sideways offset a.
    const double eH = (least[0] + least[1]) / (2 * sinH);
    const double a = (least[0] - least[1]) / (2 * cosH);
    const double eV = (least[2] + least[3]) / (2 * sinV);
    const double b = (least[2] - least[3]) / (2 * cosV);
    const double e = std::min(eH, eV);
    // On the axis that does not limit, centre the points instead.
    const Vec3 location = f.right * a + f.up * b + f.forward * e;
    double depth = 0;
    int n = 0;
    points([&](const Vec3& p) {
        depth += f.forward.dot(p - location);
        ++n;
    });
    return {location, location + f.forward * std::max(depth / n, 1.0)};
}

CameraPlacement fitCameraTowards(const Vec3& lookAt, const Vec3& forward, double angleDeg,
                                 const PointSource& points) {
    const Frame f = frameFor(forward, angleDeg);
    double back = 1;
    points([&](const Vec3& p) {
        const Vec3 d = p - lookAt;
        const double x = std::fabs(f.right.dot(d)) / f.tanH, y = std::fabs(f.up.dot(d)) / f.tanV;
        back = std::max(back, std::max(x, y) - f.forward.dot(d));
    });
    return {lookAt - f.forward * back, lookAt};
}

} // namespace bp::conv
