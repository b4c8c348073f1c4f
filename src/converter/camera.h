#pragma once

#include "converter/geometry.h"

#include <array>
#include <vector>

namespace bp::conv {

inline constexpr double kDefaultAngle = 67.38;
// The picture shape lights are placed for, and what the header's margin is
// unless the scene's user declares another.
inline constexpr double kDefaultAspect = 4.0 / 3.0;
inline constexpr double kDefaultMargin = 0.05;

// The unit vector from a model's centre towards a point on its globe: latitude
// above the model (LDraw's -y is up), longitude round from the front (-z).
Vec3 globeDirection(double latitudeDeg, double longitudeDeg);

struct CameraPlacement {
    Vec3 location;
    Vec3 lookAt;
};

// The camera's axes when it looks along `forward` with LDraw's -y as its sky.
struct ViewFrame {
    Vec3 forward, right, up;
};
ViewFrame viewFrame(const Vec3& forward);

// What fitting a camera along one direction needs of the model: the convex
// outlines of its points seen edge-on from above (right, depth) and from the
// side (up, depth), so that the fit for any picture shape is a pass over a
// few points.
struct FitOutline {
    ViewFrame frame;
    std::vector<std::array<double, 2>> across;  // (right.p, forward.p), a convex hull
    std::vector<std::array<double, 2>> upright; // (up.p, forward.p), a convex hull
    double meanDepth = 0;                       // forward.p over the points
    bool empty() const { return across.empty(); }
};
FitOutline fitOutline(const Vec3& forward, const std::vector<Vec3>& points);

// Half the picture's width and height as tangents of the view, less the
// margin: `margin` is the share of the picture's shorter side left free on
// every side; `aspect` is width / height; `angleDeg` the horizontal angle.
std::array<double, 2> fitTangents(double angleDeg, double aspect, double margin);

// The closest camera looking along the outline's direction that shows every
// point inside the margin: the points touch it on one axis and lie centred on
// the other.
CameraPlacement fitCamera(const FitOutline& outline, double angleDeg, double aspect, double margin);

// The closest camera on the line through `lookAt` along the outline's
// direction that shows every point inside the margin.
CameraPlacement fitCameraTowards(const Vec3& lookAt, const FitOutline& outline, double angleDeg,
                                 double aspect, double margin);

} // namespace bp::conv
