// The preview's mouse and framing rules.

#include "converter/camera.h"
#include "core/preview/preview_camera.h"
#include "core/preview/preview_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace bp;
using namespace bp::preview;

TEST(PreviewMath, DragOrbitsByHalfATurnPerViewHeight) {
    struct Row {
        GlobeAngles start;
        double dx, dy, height;
        GlobeAngles expected;
    } rows[] = {
        {{45, 45}, 0, 0, 400, {45, 45}},
        {{45, 45}, 100, 0, 400, {45, 0}},       // right: the model turns with the mouse
        {{45, 45}, 0, 40, 400, {63, 45}},       // down: the camera rises
        {{45, 45}, 0, -400, 400, {-89.99, 45}}, // stops short of the pole
        {{80, 0}, 0, 100, 200, {89.99, 0}},
        {{0, 170}, -40, 0, 360, {0, -170}}, // longitude wraps past 180
        {{0, -170}, 40, 0, 360, {0, 170}},
        {{0, 0}, -360, 0, 360, {0, 180}},      // 180, never -180
        {{10, 20}, 1, 1, 700, {10.26, 19.74}}, // hundredths, as the boxes show them
        {{10, 20}, 5, 5, 0, {89.99, -160}},    // a view with no height counts as 1 pixel
    };
    for (const Row& r : rows) {
        const GlobeAngles got = orbitByDrag(r.start, r.dx, r.dy, r.height);
        EXPECT_NEAR(got.latitude, r.expected.latitude, 1e-9) << r.dx << "," << r.dy;
        EXPECT_NEAR(got.longitude, r.expected.longitude, 1e-9) << r.dx << "," << r.dy;
    }
}

TEST(PreviewMath, WheelStartsAtTheFittedDistanceAndNeverCrosses) {
    struct Row {
        double radius, fitted, notches, expected;
    } rows[] = {
        {0, 300, 1, 270}, {0, 300, -1, 333.3}, {200, 300, 1, 180}, {200, 300, 0, 200},
        {-5, 100, 2, 81}, {2, 300, 30, 1},     {0, 0, 1, 1},
    };
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(radiusAfterWheel(r.radius, r.fitted, r.notches), r.expected)
            << r.radius << " " << r.notches;
}

TEST(PreviewMath, GlobeAnglesInvertTheConvertersGlobe) {
    for (const GlobeAngles a : {GlobeAngles{45, 45}, GlobeAngles{-30, 120}, GlobeAngles{0, 180},
                                GlobeAngles{89.99, -90}, GlobeAngles{10, -179}}) {
        const GlobeAngles back = globeAnglesOf(conv::globeDirection(a.latitude, a.longitude) * 7);
        EXPECT_NEAR(back.latitude, a.latitude, 1e-9);
        EXPECT_NEAR(back.longitude, a.longitude, 1e-9);
    }
}

TEST(PreviewMath, PanMovesTheLookAtWithTheMouse) {
    // Looking along +z from 100 in front: right is +x, up is -y (LDraw's up).
    const Vec3 camera{0, 0, -100}, target{0, 0, 0};
    const double tanV = 0.5, height = 200; // 1 pixel = 0.5 LDU at the target
    struct Row {
        double dx, dy;
        Vec3 expected;
    } rows[] = {{0, 0, {0, 0, 0}}, {10, 0, {-5, 0, 0}}, {0, 10, {0, -5, 0}}, {-4, 6, {2, -3, 0}}};
    for (const Row& r : rows) {
        const Vec3 got = panLookAt(camera, target, r.dx, r.dy, height, tanV);
        EXPECT_NEAR(got.x, r.expected.x, 1e-9);
        EXPECT_NEAR(got.y, r.expected.y, 1e-9);
        EXPECT_NEAR(got.z, r.expected.z, 1e-9);
    }
}

// The fitted camera leaves the converter's margin: projected through the
// preview's matrix, the model's extreme points reach the margin on one axis
// and lie inside it on the other, for any globe position and picture shape.
TEST(PreviewMath, ProjectionFramesTheFittedCameraAsTheConverterFitsIt) {
    std::vector<Vec3> points;
    for (double x : {-40.0, 40.0})
        for (double y : {-24.0, 0.0})
            for (double z : {-60.0, 60.0})
                points.push_back({x, y, z});
    const double m = conv::kDefaultMargin;
    for (const double aspect : {4.0 / 3.0, 16.0 / 9.0, 0.5})
        for (const GlobeAngles a : {GlobeAngles{45, 45}, GlobeAngles{30, -60}, GlobeAngles{0, 0},
                                    GlobeAngles{-20, 135}}) {
            const Vec3 forward = conv::globeDirection(a.latitude, a.longitude) * -1;
            const conv::CameraPlacement c =
                conv::fitCamera(conv::fitOutline(forward, points), conv::kDefaultAngle, aspect, m);
            const Matrix4 matrix =
                viewProjection(c.location, c.lookAt, conv::kDefaultAngle, aspect, 1, 1e4);
            double lo[2] = {1, 1}, hi[2] = {0, 0};
            for (const Vec3& p : points) {
                const PicturePoint q = projectToPicture(matrix, p);
                ASSERT_TRUE(q.visible);
                lo[0] = std::min(lo[0], q.x), hi[0] = std::max(hi[0], q.x);
                lo[1] = std::min(lo[1], q.y), hi[1] = std::max(hi[1], q.y);
            }
            // The margin is a share of the shorter side.
            const double mx = m * std::min(aspect, 1.0) / aspect, my = m * std::min(aspect, 1.0);
            const bool sides = std::abs(lo[0] - mx) < 1e-6 && std::abs(hi[0] - 1 + mx) < 1e-6;
            const bool topAndBottom =
                std::abs(lo[1] - my) < 1e-6 && std::abs(hi[1] - 1 + my) < 1e-6;
            EXPECT_TRUE(sides || topAndBottom)
                << aspect << ": " << a.latitude << "," << a.longitude;
            EXPECT_GT(lo[0], mx - 1e-6);
            EXPECT_LT(hi[0], 1 - mx + 1e-6);
            EXPECT_GT(lo[1], my - 1e-6);
            EXPECT_LT(hi[1], 1 - my + 1e-6);
        }
}

TEST(PreviewMath, PictureFrameKeepsThePicturesShape) {
    struct Row {
        int vw, vh, pw, ph;
        std::array<int, 4> expected;
    } rows[] = {
        {640, 480, 640, 480, {0, 0, 640, 480}},     {800, 480, 640, 480, {80, 0, 640, 480}},
        {640, 600, 1920, 1080, {0, 120, 640, 360}}, {320, 180, 16, 9, {0, 0, 320, 180}},
        {300, 300, 0, 480, {0, 0, 300, 300}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(pictureFrame(r.vw, r.vh, r.pw, r.ph), r.expected) << r.vw << "x" << r.vh;
}

TEST(PreviewMath, PlacementRecordsReadBackOrNotAtAll) {
    const PreviewPlacement p{10, -20, 640, 480, false};
    EXPECT_EQ(parsePreviewPlacement(previewPlacementText(p)), p);
    EXPECT_EQ(parsePreviewPlacement("1,2,300,200,1"), (PreviewPlacement{1, 2, 300, 200, true}));
    for (const char* bad : {"", "1,2,3,4", "1,2,0,200,1", "1,2,300,200,2", "a,2,300,200,1",
                            "1;2;300;200;1", "1,2,300,200,1,9"})
        EXPECT_FALSE(parsePreviewPlacement(bad)) << bad;
}
