#pragma once

#include <optional>
#include <string>

namespace bp {

class BrickpovMain;

namespace preview {
struct ViewPlan;
}

// The mouse in the preview moves the camera by setting the main window's
// camera boxes, through their handlers, so that the command line follows.
// `plan` is what the preview shows now; `frameHeight` the picture frame's
// height in pixels.

// A drag orbits: the latitude and longitude change (coordinates mode turns
// the camera point round the look-at point instead).
void previewOrbit(BrickpovMain& m, const preview::ViewPlan& plan, double dx, double dy,
                  double frameHeight);
// The wheel changes the radius; from radius 0 it starts at the fitted distance.
void previewZoom(BrickpovMain& m, const preview::ViewPlan& plan, double notches);
// Shift+drag moves the look-at point and ticks -cla; a fitted camera first
// gets the radius it has.
void previewPan(BrickpovMain& m, const preview::ViewPlan& plan, double dx, double dy,
                double frameHeight);
// Back to the fitted camera: globe position at radius 0 without look-at.
void previewFit(BrickpovMain& m, const preview::ViewPlan& plan);

void Mnu_Preview_Click(BrickpovMain& m);
void wirePreview(BrickpovMain& m);

// The preview window's place, size and whether it is open, as stored.
struct PreviewPlacement {
    int left = 0, top = 0, width = 0, height = 0; // pixels
    bool open = true;
    bool operator==(const PreviewPlacement&) const = default;
};
std::string previewPlacementText(const PreviewPlacement& p);
// Nothing for a record that is missing or damaged, or sizes below 1.
std::optional<PreviewPlacement> parsePreviewPlacement(const std::string& text);

} // namespace bp
