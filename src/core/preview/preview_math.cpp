#include "core/preview/preview_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bp::preview {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

double rounded(double v, double unit) {
    const double r = std::round(v / unit) * unit;
    return r == 0 ? 0 : r; // no "-0"
}

double wrappedLongitude(double lon) {
    lon = std::fmod(lon, 360.0);
    if (lon <= -180)
        lon += 360;
    else if (lon > 180)
        lon -= 360;
    return lon;
}

} // namespace

GlobeAngles orbitByDrag(GlobeAngles start, double dx, double dy, double viewHeight) {
    const double perPixel = kDegreesPerViewHeight / std::max(viewHeight, 1.0);
    const double lat = std::clamp(start.latitude + dy * perPixel, -kLatitudeLimit, kLatitudeLimit);
    const double lon = wrappedLongitude(start.longitude - dx * perPixel);
    return {rounded(lat, 0.01), rounded(wrappedLongitude(rounded(lon, 0.01)), 0.01)};
}

double radiusAfterWheel(double radius, double fittedDistance, double notches) {
    const double from = radius > 0 ? radius : fittedDistance;
    return std::max(rounded(from * std::pow(kWheelStep, notches), 0.1), 1.0);
}

GlobeAngles globeAnglesOf(const Vec3& offset) {
    const Vec3 d = offset.normalized();
    if (d.length() == 0)
        return {};
    const double lat = std::asin(std::clamp(-d.y, -1.0, 1.0)) / kDegree;
    const double lon = std::hypot(d.x, d.z) < 1e-12 ? 0 : std::atan2(d.x, -d.z) / kDegree;
    return {lat, wrappedLongitude(lon)};
}

CameraAxes cameraAxes(const Vec3& location, const Vec3& lookAt) {
    CameraAxes a;
    a.forward = (lookAt - location).normalized();
    a.right = a.forward.cross(Vec3{0, -1, 0}).normalized();
    if (a.right.length() < 0.5) // looking straight up or down
        a.right = Vec3{1, 0, 0};
    a.up = a.right.cross(a.forward).normalized();
    return a;
}

Vec3 panLookAt(const Vec3& location, const Vec3& lookAt, double dx, double dy, double viewHeight,
               double tanHalfVertical) {
    const CameraAxes a = cameraAxes(location, lookAt);
    const double depth = std::max((lookAt - location).dot(a.forward), 1e-6);
    const double perPixel = 2 * depth * tanHalfVertical / std::max(viewHeight, 1.0);
    const Vec3 moved = lookAt - a.right * (dx * perPixel) + a.up * (dy * perPixel);
    return {rounded(moved.x, 0.1), rounded(moved.y, 0.1), rounded(moved.z, 0.1)};
}

Matrix4 viewProjection(const Vec3& location, const Vec3& lookAt, double angleDeg,
                       double cameraAspect, double nearPlane, double farPlane) {
    const CameraAxes a = cameraAxes(location, lookAt);
    const double tanH = std::tan(angleDeg * kDegree / 2);
    const double fx = 1 / tanH, fy = cameraAspect / tanH;
    const double zz = (farPlane + nearPlane) / (nearPlane - farPlane);
    const double zw = 2 * farPlane * nearPlane / (nearPlane - farPlane);
    // Rows of projection times view; eye space looks down -z.
    const Vec3 rows[3] = {a.right * fx, a.up * fy, a.forward * -zz};
    const double w[3] = {-rows[0].dot(location), -rows[1].dot(location),
                         -rows[2].dot(location) + zw};
    const Vec3 last = a.forward;
    const double lastW = -last.dot(location);
    Matrix4 m{};
    const auto set = [&m](int row, const Vec3& v, double t) {
        m[static_cast<std::size_t>(row)] = static_cast<float>(v.x);
        m[static_cast<std::size_t>(4 + row)] = static_cast<float>(v.y);
        m[static_cast<std::size_t>(8 + row)] = static_cast<float>(v.z);
        m[static_cast<std::size_t>(12 + row)] = static_cast<float>(t);
    };
    for (int r = 0; r < 3; ++r)
        set(r, rows[r], w[r]);
    set(3, last, lastW);
    return m;
}

PicturePoint projectToPicture(const Matrix4& m, const Vec3& p) {
    const auto row = [&](int r) {
        const auto i = static_cast<std::size_t>(r);
        return m[i] * p.x + m[4 + i] * p.y + m[8 + i] * p.z + m[12 + i];
    };
    const double w = row(3);
    if (w <= 0)
        return {};
    return {(row(0) / w + 1) / 2, (1 - row(1) / w) / 2, true};
}

std::array<int, 4> pictureFrame(int viewWidth, int viewHeight, int pictureWidth,
                                int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || viewWidth <= 0 || viewHeight <= 0)
        return {0, 0, std::max(viewWidth, 0), std::max(viewHeight, 0)};
    const double aspect = static_cast<double>(pictureWidth) / pictureHeight;
    int w = viewWidth, h = static_cast<int>(std::lround(viewWidth / aspect));
    if (h > viewHeight) {
        h = viewHeight;
        w = static_cast<int>(std::lround(viewHeight * aspect));
    }
    return {(viewWidth - w) / 2, (viewHeight - h) / 2, w, h};
}

} // namespace bp::preview
