#pragma once

#include "converter/geometry.h"

#include <functional>

namespace bp::conv {

inline constexpr double kDefaultAngle = 67.38;
inline constexpr double kAspect = 4.0 / 3.0;

// The unit vector from a model's centre towards a point on its globe: latitude
// above the model (LDraw's -y is up), longitude round from the front (-z).
Vec3 globeDirection(double latitudeDeg, double longitudeDeg);

struct CameraPlacement {
    Vec3 location;
    Vec3 lookAt;
};

// Calls `visit` with every point of the model.
using PointSource = std::function<void(const std::function<void(const Vec3&)>&)>;

// The closest camera looking along `forward` that shows every point in a
// frame of the given horizontal angle and 4:3 shape: the points touch the
// frame on one axis and lie centred inside it on the other.
CameraPlacement fitCamera(const Vec3& forward, double angleDeg, const PointSource& points);

// The closest camera on the line through `lookAt` along `forward` that shows
// every point.
CameraPlacement fitCameraTowards(const Vec3& lookAt, const Vec3& forward, double angleDeg,
                                 const PointSource& points);

} // namespace bp::conv
