#pragma once

#include "converter/geometry.h"

#include <array>

namespace bp::preview {

using conv::Vec3;

// A camera on its globe: latitude above the model, longitude round it, in
// degrees, as the camera boxes hold them.
struct GlobeAngles {
    double latitude = 0;
    double longitude = 0;
    bool operator==(const GlobeAngles&) const = default;
};

// A drag across the view's full height turns the camera half way round.
inline constexpr double kDegreesPerViewHeight = 180;
// The poles stop short of 90 degrees, as the "Above" and "Below" views do.
inline constexpr double kLatitudeLimit = 89.99;
// One wheel notch brings the camera this much nearer.
inline constexpr double kWheelStep = 0.9;

// The camera's new angles after a drag of (dx, dy) pixels in a view of the
// given height: right turns the model with the mouse (the longitude falls),
// down raises the camera. Latitude stops at the poles, longitude stays in
// (-180, 180]; both are rounded to hundredths as the boxes show them.
GlobeAngles orbitByDrag(GlobeAngles start, double dx, double dy, double viewHeight);

// The radius after `notches` wheel notches (positive: nearer). A radius of
// 0 (the fitted camera) starts at the fitted distance. Rounded to tenths,
// never below 1.
double radiusAfterWheel(double radius, double fittedDistance, double notches);

// The angles of a camera seen from `target` along `offset` (camera minus
// target), the inverse of the converter's globeDirection.
GlobeAngles globeAnglesOf(const Vec3& offset);

// The camera's own axes for a camera at `location` looking at `lookAt`,
// with LDraw's -y as the sky, as POV-Ray sets them up.
struct CameraAxes {
    Vec3 forward, right, up;
};
CameraAxes cameraAxes(const Vec3& location, const Vec3& lookAt);

// The look-at point after a drag of (dx, dy) pixels that moves the model
// with the mouse: one pixel is the width of a pixel at the look-at point's
// depth, in a view `viewHeight` pixels high whose vertical half-angle has
// tangent `tanHalfVertical`. Rounded to tenths.
Vec3 panLookAt(const Vec3& location, const Vec3& lookAt, double dx, double dy, double viewHeight,
               double tanHalfVertical);

// A column-major 4x4 matrix, as OpenGL takes it.
using Matrix4 = std::array<float, 16>;

// The projection of POV-Ray's camera: `angleDeg` across the picture's width,
// the height `cameraAspect` times smaller (the shape the scene's camera is
// written with), whatever the shape of the view it is drawn in, so that a
// picture of another shape is stretched exactly as POV-Ray stretches it.
Matrix4 viewProjection(const Vec3& location, const Vec3& lookAt, double angleDeg,
                       double cameraAspect, double nearPlane, double farPlane);

// Where a point lands in the picture: x and y from 0 to 1, left to right and
// top to bottom; nothing when it lies behind the camera.
struct PicturePoint {
    double x = 0, y = 0;
    bool visible = false;
};
PicturePoint projectToPicture(const Matrix4& m, const Vec3& p);

// The largest rectangle of the picture's shape centred in a view: the frame
// the picture fills, in the view's pixels (left, top, width, height).
std::array<int, 4> pictureFrame(int viewWidth, int viewHeight, int pictureWidth, int pictureHeight);

} // namespace bp::preview
