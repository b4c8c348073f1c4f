#include "core/preview/preview_model.h"

#include "converter/library.h"
#include "core/options/options.h"

#include <exception>
#include <filesystem>

namespace bp::preview {

namespace {

namespace fs = std::filesystem;

std::array<float, 3> floats(const Vec3& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

// The edge colour of LDraw's default grey: what colour 24 comes out as.
int edgeColour(const conv::ColourTable& colours) {
    const auto c = colours.find(7);
    return c && !c->edgeIsRgb ? c->edge : 0;
}

Mesh meshOf(const conv::ResolvedMesh& resolved, const LoadedModel& model, int edge,
            const std::atomic<bool>& cancelled) {
    Mesh mesh;
    mesh.name = resolved.file ? resolved.file->name : std::string();
    mesh.vertices.reserve(resolved.triangles.size() * 3);
    for (const conv::ColourRun& run : resolved.runs) {
        if (cancelled)
            break;
        std::array<float, 4> rgba{0, 0, 0, -1};
        if (run.colour != conv::kMainColour)
            rgba = model.rgba(run.colour == conv::kEdgeColour ? edge : run.colour, 7);
        if (rgba[3] >= 0 && rgba[3] < 1)
            mesh.fixedTransparent = true;
        const std::size_t end = std::min(run.first + run.count, resolved.triangles.size());
        for (std::size_t t = run.first; t < end; ++t) {
            const conv::MeshTriangle& tri = resolved.triangles[t];
            const auto flat = floats((tri.v[1] - tri.v[0]).cross(tri.v[2] - tri.v[0]).normalized());
            for (int i = 0; i < 3; ++i)
                mesh.vertices.push_back(
                    {floats(tri.v[static_cast<std::size_t>(i)]),
                     tri.smooth ? floats(tri.n[static_cast<std::size_t>(i)]) : flat, rgba});
        }
    }
    return mesh;
}

// Every placed mesh with triangles, as ScenePlan::forEachInstance walks
// them, but with the model's default colour left open as 16, so that -c
// needs no new walk.
void collectInstances(LoadedModel& model, int edge, const std::atomic<bool>& cancelled) {
    const auto& meshes = model.built.meshes;
    struct Frame {
        std::size_t mesh, next;
        conv::Placement place;
        int colour, step;
    };
    const std::size_t main = meshes.size() - 1;
    if (!meshes[main].triangles.empty())
        model.instances.push_back({static_cast<int>(main), {}, conv::kMainColour, 0});
    std::vector<Frame> stack{{main, 0, {}, conv::kMainColour, 0}};
    while (!stack.empty() && !cancelled) {
        Frame& f = stack.back();
        const conv::ResolvedMesh& m = meshes[f.mesh];
        if (f.next == m.uses.size()) {
            stack.pop_back();
            continue;
        }
        const conv::MeshUse& u = m.uses[f.next++];
        const bool top = stack.size() == 1;
        const int colour = u.colour == conv::kMainColour   ? f.colour
                           : u.colour == conv::kEdgeColour ? edge
                                                           : u.colour;
        const conv::Placement place = f.place * u.place;
        const int step = top ? u.step : f.step;
        model.lastStep = std::max(model.lastStep, step);
        if (!meshes[u.mesh].triangles.empty())
            model.instances.push_back({static_cast<int>(u.mesh), place, colour, step});
        stack.push_back({u.mesh, 0, place, colour, step});
    }
}

} // namespace

std::array<float, 4> LoadedModel::rgba(int colour, int top) const {
    if (colour == conv::kMainColour)
        colour = top;
    const auto c = source ? source->colours.find(colour) : std::nullopt;
    if (!c)
        return {0.5f, 0.5f, 0.5f, 1};
    return {static_cast<float>(c->rgb.x), static_cast<float>(c->rgb.y),
            static_cast<float>(c->rgb.z), static_cast<float>(c->alpha) / 255.0f};
}

std::shared_ptr<LoadedModel> loadModel(const LoadRequest& request,
                                       const std::atomic<bool>& cancelled,
                                       const Progress& progress) {
    auto model = std::make_shared<LoadedModel>();
    model->path = request.modelPath;
    try {
        progress("Reading " + fs::path(request.modelPath).filename().string() + "…");
        conv::Environment env;
        if (!request.libraryRoot.empty())
            env.vars["LDRAWDIR"] = request.libraryRoot;
        model->source = conv::loadModel(request.modelPath, env);
        if (cancelled)
            return nullptr;
        model->warnings = model->source->warnings;
        if (!model->source->main) {
            model->problem = model->source->error.empty() ? "The model could not be read."
                                                          : model->source->error;
            return model;
        }
        if (const std::size_t missing = model->source->loader->missingReferences())
            model->warnings.push_back(std::to_string(missing) +
                                      " reference(s) to missing files left out");
        progress("Resolving the parts of " + std::to_string(model->source->loader->fileCount()) +
                 " files…");
        conv::MeshBuildSettings settings;
        settings.exactPrimitives = false;
        settings.studSwitch = false;
        settings.mergeAll = true; // whole parts, as a triangles-only plan has them
        settings.excludeNonPov = request.excludeNonPov;
        model->built = conv::buildMeshes(*model->source->main, settings);
        if (cancelled)
            return nullptr;
        for (const Vec3& p : model->built.mainPoints)
            model->bounds.add(p);
        if (model->bounds.empty()) {
            model->bounds.add({-10, -10, -10});
            model->bounds.add({10, 10, 10});
        }
        const int edge = edgeColour(model->source->colours);
        model->meshes.reserve(model->built.meshes.size());
        for (const conv::ResolvedMesh& m : model->built.meshes)
            model->meshes.push_back(meshOf(m, *model, edge, cancelled));
        collectInstances(*model, edge, cancelled);
        if (cancelled)
            return nullptr;
    } catch (const std::exception& e) {
        model->source.reset();
        model->problem = std::string("The model could not be read: ") + e.what();
    }
    return model;
}

conv::Options converterOptions(const Options& options, std::string& error) {
    conv::ParseResult parsed = conv::parseArguments(l3pArguments(options));
    error = parsed.error;
    parsed.options.set(switches::Id::Lgeo, false); // the preview draws the LDraw parts
    return parsed.options;
}

ViewPlan planView(const LoadedModel& model, const conv::Options& o, double aspect) {
    ViewPlan plan;
    if (!model.usable())
        return plan;
    const conv::ColourTable& colours = model.source->colours;
    const Vec3 centre = model.bounds.centre();
    const conv::CameraChoice choice = conv::chooseCamera(o, centre);
    conv::FitOutline outline;
    if (choice.fit != conv::CameraFit::Fixed)
        outline = conv::fitOutline(choice.towardsCamera * -1, model.built.mainPoints);
    const conv::CameraPlacement c =
        conv::placeCamera(choice, o, outline, aspect, conv::kDefaultMargin);
    plan.location = c.location;
    plan.lookAt = c.lookAt;
    plan.angle = o.cameraAngle();
    plan.cameraAspect = aspect;
    plan.bounds = model.bounds;
    plan.fittedDistance = (c.location - centre).length();
    plan.topColour = conv::topColourOf(o);

    // Lights stand at the distance of the camera fitted for the default shape.
    const double distance =
        std::max((conv::placeCamera(choice, o, outline, conv::kDefaultAspect, conv::kDefaultMargin)
                      .location -
                  centre)
                     .length(),
                 1.0);
    std::vector<std::string> unused;
    for (const conv::SceneLight& l : conv::planLights(o, *model.source->main, colours,
                                                      plan.topColour, centre, distance, unused))
        plan.lights.push_back({l.position, l.rgb});

    if (o.background)
        plan.background =
            o.background->code ? conv::colourRgb(colours, *o.background->code) : o.background->rgb;
    plan.floor = o.floor;
    plan.floorY = o.floorY.value_or(model.bounds.hi.y);
    return plan;
}

} // namespace bp::preview
