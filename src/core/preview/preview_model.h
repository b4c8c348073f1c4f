#pragma once

#include "converter/mesh_builder.h"
#include "converter/scene_plan.h"
#include "core/preview/preview_math.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bp {
struct Options;
}

namespace bp::preview {

// One corner of a triangle as the converter's geometry stage builds it. A
// colour whose alpha is negative is the instance's own (LDraw's colour 16).
struct MeshVertex {
    std::array<float, 3> position;
    std::array<float, 3> normal;
    std::array<float, 4> colour;
};

// A distinct part (or the loose faces of a model file), uploaded once.
struct Mesh {
    std::string name;
    std::vector<MeshVertex> vertices; // three a triangle
    bool fixedTransparent = false;    // some faces carry a see-through colour of their own
};

// One placed mesh: p' = M p + t, its colour (an LDraw number; 16 is the
// model's default colour, which -c sets) and the main model's step.
struct Instance {
    int mesh = 0;
    conv::Placement place;
    int colour = conv::kMainColour;
    int step = 0;
};

// A model read and resolved by the converter's own code, with the meshes
// and instances the preview draws.
struct LoadedModel {
    std::string path;
    std::string problem; // why nothing could be read; empty when the model was read
    std::vector<std::string> warnings;

    std::unique_ptr<conv::LoadedModel> source;
    conv::BuiltMeshes built; // the geometry stage's meshes and the main model's points
    conv::Box bounds;

    std::vector<Mesh> meshes;
    std::vector<Instance> instances;
    int lastStep = 0;

    bool usable() const { return source && source->main; }
    // An LDraw colour as red, green, blue, alpha fractions; `top` stands for 16.
    std::array<float, 4> rgba(int colour, int top) const;
};

struct LoadRequest {
    std::string modelPath;   // the model file, with its folder
    std::string libraryRoot; // the LDraw library; may be empty
    bool excludeNonPov = false;
};

// Tells how far loading has come; called on the loading thread.
using Progress = std::function<void(const std::string&)>;

// Reads the model and everything it uses, then resolves its meshes. Gives
// nothing once `cancelled` is set. Never throws: a model that cannot be read
// comes back with `problem` set.
std::shared_ptr<LoadedModel>
loadModel(const LoadRequest& request, const std::atomic<bool>& cancelled, const Progress& progress);

// The converter's options for the window's options, read by the converter's
// own parser from the arguments the command line shows; `error` is set when
// the converter would refuse them.
conv::Options converterOptions(const Options& options, std::string& error);

struct PreviewLight {
    Vec3 position;
    Vec3 rgb;
};

// What the picture will show: the converter's camera and lights for the
// model, the switches and the picture's shape, the background and the floor.
struct ViewPlan {
    Vec3 location, lookAt;
    double angle = conv::kDefaultAngle;
    double cameraAspect = conv::kDefaultAspect;
    double fittedDistance = 0; // from the fitted camera to the model's centre
    conv::Box bounds;
    std::vector<PreviewLight> lights;
    Vec3 background;
    conv::FloorType floor = conv::FloorType::None;
    double floorY = 0;
    int topColour = 7;
};

// Plans as the converter's ScenePlan does, from the points already resolved,
// so that a change of camera or light costs no new geometry.
ViewPlan planView(const LoadedModel& model, const conv::Options& options, double aspect);

} // namespace bp::preview
