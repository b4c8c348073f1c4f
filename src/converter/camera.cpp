#include "converter/camera.h"

#include <algorithm>
#include <numbers>

namespace bp::conv {

namespace {

using Point2 = std::array<double, 2>;

double radians(double deg) {
    return deg * std::numbers::pi / 180.0;
}

double turn(const Point2& o, const Point2& a, const Point2& b) {
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0]);
}

// Andrew's monotone chain; collinear points are left out.
std::vector<Point2> convexHull(std::vector<Point2> p) {
    std::sort(p.begin(), p.end());
    p.erase(std::unique(p.begin(), p.end()), p.end());
    if (p.size() < 3)
        return p;
    std::vector<Point2> hull(2 * p.size());
    std::size_t k = 0;
    for (const Point2& q : p) {
        while (k >= 2 && turn(hull[k - 2], hull[k - 1], q) <= 0)
            --k;
        hull[k++] = q;
    }
    for (std::size_t i = p.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && turn(hull[k - 2], hull[k - 1], p[i]) <= 0)
            --k;
        hull[k++] = p[i];
    }
    hull.resize(k - 1);
    return hull;
}

// The least of c * u + s * v over the outline's points.
double least(const std::vector<Point2>& points, double c, double s) {
    double l = 1e300;
    for (const Point2& p : points)
        l = std::min(l, c * p[0] + s * p[1]);
    return l;
}

// The sideways offset of a camera at depth `depth` that puts the outline's
// extremes at equal distances from the picture's middle: where the picture
// positions (u - offset) / (v - depth) of the outermost points balance.
double centred(const std::vector<Point2>& points, double depth) {
    double lo = 1e300, hi = -1e300;
    for (const Point2& p : points)
        lo = std::min(lo, p[0]), hi = std::max(hi, p[0]);
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        double most = -1e300, least = 1e300;
        for (const Point2& p : points) {
            const double y = (p[0] - mid) / std::max(p[1] - depth, 1e-9);
            most = std::max(most, y), least = std::min(least, y);
        }
        (most + least > 0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

} // namespace

Vec3 globeDirection(double latitudeDeg, double longitudeDeg) {
    const double la = radians(latitudeDeg), lo = radians(longitudeDeg);
    return {std::cos(la) * std::sin(lo), -std::sin(la), -std::cos(la) * std::cos(lo)};
}

ViewFrame viewFrame(const Vec3& forward) {
    ViewFrame f;
    f.forward = forward.normalized();
    const Vec3 sky{0, -1, 0};
    f.right = f.forward.cross(sky).normalized();
    if (f.right.length() < 0.5) // looking straight up or down
        f.right = Vec3{1, 0, 0};
    f.up = f.right.cross(f.forward).normalized();
    return f;
}

FitOutline fitOutline(const Vec3& forward, const std::vector<Vec3>& points) {
    FitOutline o;
    o.frame = viewFrame(forward);
    std::vector<Point2> across, upright;
    across.reserve(points.size());
    upright.reserve(points.size());
    double depth = 0;
    for (const Vec3& p : points) {
        const double f = o.frame.forward.dot(p);
        across.push_back({o.frame.right.dot(p), f});
        upright.push_back({o.frame.up.dot(p), f});
        depth += f;
    }
    o.across = convexHull(std::move(across));
    o.upright = convexHull(std::move(upright));
    o.meanDepth = points.empty() ? 0 : depth / static_cast<double>(points.size());
    return o;
}

std::array<double, 2> fitTangents(double angleDeg, double aspect, double margin) {
    const double tanH = std::tan(radians(angleDeg) / 2);
    const double shorter = std::min(aspect, 1.0); // shorter side over the height
    return {tanH * (1 - 2 * margin * shorter / aspect), tanH / aspect * (1 - 2 * margin * shorter)};
}

CameraPlacement fitCamera(const FitOutline& outline, double angleDeg, double aspect,
                          double margin) {
    const ViewFrame& f = outline.frame;
    if (outline.empty())
        return {f.forward * -100.0, {}};
    const auto [tanH, tanV] = fitTangents(angleDeg, aspect, margin);
    const double cosH = 1 / std::hypot(1.0, tanH), sinH = tanH * cosH;
    const double cosV = 1 / std::hypot(1.0, tanV), sinV = tanV * cosV;
    // The camera c must lie behind each side of the view pyramid: n.c <= the
    // least n.p over the points, for the inward normal n of each side.
    const double left = least(outline.across, cosH, sinH);
    const double right = least(outline.across, -cosH, sinH);
    const double bottom = least(outline.upright, cosV, sinV);
    const double top = least(outline.upright, -cosV, sinV);
    // The depth at which both sides of the axis that limits are touched;
    // then, on each axis, the offset that centres the points.
    const double e = std::min((left + right) / (2 * sinH), (bottom + top) / (2 * sinV));
    const double a = centred(outline.across, e), b = centred(outline.upright, e);
    const Vec3 location = f.right * a + f.up * b + f.forward * e;
    return {location, location + f.forward * std::max(outline.meanDepth - e, 1.0)};
}

CameraPlacement fitCameraTowards(const Vec3& lookAt, const FitOutline& outline, double angleDeg,
                                 double aspect, double margin) {
    const ViewFrame& f = outline.frame;
    const auto [tanH, tanV] = fitTangents(angleDeg, aspect, margin);
    const double r0 = f.right.dot(lookAt), u0 = f.up.dot(lookAt), f0 = f.forward.dot(lookAt);
    double back = 1;
    for (const Point2& p : outline.across)
        back = std::max(back, std::fabs(p[0] - r0) / tanH - (p[1] - f0));
    for (const Point2& p : outline.upright)
        back = std::max(back, std::fabs(p[0] - u0) / tanV - (p[1] - f0));
    return {lookAt - f.forward * back, lookAt};
}

} // namespace bp::conv
