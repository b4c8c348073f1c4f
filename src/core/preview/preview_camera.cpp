#include "core/preview/preview_camera.h"

#include "converter/camera.h"
#include "core/common/numbers.h"
#include "core/preview/preview_model.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"

#include <cmath>
#include <sstream>

namespace bp {

namespace {

using preview::GlobeAngles;
using preview::Vec3;

bool globeMode(const BrickpovMain& m) {
    return m.Chk_CG.value() == 1;
}
bool coordinatesMode(const BrickpovMain& m) {
    return m.Chk_CC.value() == 1;
}

double tenths(double v) {
    const double r = std::round(v * 10) / 10;
    return r == 0 ? 0 : r;
}

void setPoint(const ControlArray& boxes, const Vec3& p) {
    boxes[0].setText(numberText(tenths(p.x)));
    boxes[1].setText(numberText(tenths(p.y)));
    boxes[2].setText(numberText(tenths(p.z)));
}

// The camera's angles as shown, or as the plan has them when the boxes do
// not give them.
GlobeAngles shownAngles(const BrickpovMain& m, const preview::ViewPlan& plan) {
    if (globeMode(m) && !m.Txt_CameraValue[0].text().empty() &&
        !m.Txt_CameraValue[1].text().empty())
        return {leadingNumber(m.Txt_CameraValue[0].text()),
                leadingNumber(m.Txt_CameraValue[1].text())};
    return preview::globeAnglesOf(plan.location - plan.lookAt);
}

void setAngles(BrickpovMain& m, const GlobeAngles& a) {
    m.Txt_CameraValue[0].setText(numberText(a.latitude));
    m.Txt_CameraValue[1].setText(numberText(a.longitude));
}

// Globe mode with the angles the camera has now, for a camera that had none
// or had coordinates.
void enterGlobeMode(BrickpovMain& m, const preview::ViewPlan& plan, double radius) {
    if (globeMode(m))
        return;
    GlobeAngles a = preview::globeAnglesOf(plan.location - plan.lookAt);
    a = preview::orbitByDrag(a, 0, 0, 1); // rounded as the boxes show them
    m.Chk_CG.setValue(1);
    setAngles(m, a);
    m.Txt_CameraValue[2].setText(numberText(tenths(radius)));
}

} // namespace

void previewOrbit(BrickpovMain& m, const preview::ViewPlan& plan, double dx, double dy,
                  double frameHeight) {
    if (coordinatesMode(m)) {
        const Vec3 offset = plan.location - plan.lookAt;
        const GlobeAngles a =
            preview::orbitByDrag(preview::globeAnglesOf(offset), dx, dy, frameHeight);
        setPoint(m.Txt_CameraValue,
                 plan.lookAt + conv::globeDirection(a.latitude, a.longitude) * offset.length());
        return;
    }
    const GlobeAngles start = shownAngles(m, plan);
    enterGlobeMode(m, plan, 0);
    setAngles(m, preview::orbitByDrag(start, dx, dy, frameHeight));
}

void previewZoom(BrickpovMain& m, const preview::ViewPlan& plan, double notches) {
    if (coordinatesMode(m)) {
        setPoint(m.Txt_CameraValue, plan.lookAt + (plan.location - plan.lookAt) *
                                                      std::pow(preview::kWheelStep, notches));
        return;
    }
    enterGlobeMode(m, plan, 0);
    const double radius = leadingNumber(m.Txt_CameraValue[2].text());
    m.Txt_CameraValue[2].setText(
        numberText(preview::radiusAfterWheel(radius, plan.fittedDistance, notches)));
}

void previewPan(BrickpovMain& m, const preview::ViewPlan& plan, double dx, double dy,
                double frameHeight) {
    const double tanV = std::tan(plan.angle * std::acos(-1.0) / 360) / plan.cameraAspect;
    const Vec3 lookAt = preview::panLookAt(plan.location, plan.lookAt, dx, dy, frameHeight, tanV);
    const double distance = (plan.location - plan.lookAt).length();
    if (!coordinatesMode(m)) {
        enterGlobeMode(m, plan, distance);
        if (leadingNumber(m.Txt_CameraValue[2].text()) <= 0)
            m.Txt_CameraValue[2].setText(numberText(std::max(tenths(distance), 1.0)));
    }
    setPoint(m.Txt_CameraLookAt, lookAt);
    m.Chk_CLA.setValue(1);
}

void previewFit(BrickpovMain& m, const preview::ViewPlan& plan) {
    enterGlobeMode(m, plan, 0);
    m.Chk_CLA.setValue(0);
    m.Txt_CameraValue[2].setText("0");
}

void Mnu_Preview_Click(BrickpovMain& m) {
    m.platform().windows.showPreview();
}

void wirePreview(BrickpovMain& m) {
    m.Mnu_Preview.onClick = [&m] { Mnu_Preview_Click(m); };
}

std::string previewPlacementText(const PreviewPlacement& p) {
    return std::to_string(p.left) + "," + std::to_string(p.top) + "," + std::to_string(p.width) +
           "," + std::to_string(p.height) + "," + (p.open ? "1" : "0");
}

std::optional<PreviewPlacement> parsePreviewPlacement(const std::string& text) {
    std::istringstream in(text);
    PreviewPlacement p;
    char c1 = 0, c2 = 0, c3 = 0, c4 = 0;
    int open = 0;
    if (!(in >> p.left >> c1 >> p.top >> c2 >> p.width >> c3 >> p.height >> c4 >> open) ||
        c1 != ',' || c2 != ',' || c3 != ',' || c4 != ',' || (open != 0 && open != 1) ||
        p.width < 1 || p.height < 1 || !(in >> std::ws).eof())
        return std::nullopt;
    p.open = open == 1;
    return p;
}

} // namespace bp
