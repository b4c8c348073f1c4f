#include "converter/scene_plan.h"

#include "converter/library.h"
#include "converter/mesh_builder.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <set>
#include <unordered_map>

namespace bp::conv {

namespace {

// A key light and two fills: together about as bright on a face turned up to
// them as one white light head-on, so colours keep their values.
constexpr struct {
    double latitude, longitude, intensity;
} kDefaultLights[] = {{45, 0, 0.75}, {30, 120, 0.4}, {60, -120, 0.3}};

// More light.dat markers than any scene needs are left out.
constexpr std::size_t kMaxModelLights = 1000;

std::string vecText(const Vec3& v) {
    return "<" + povNumber(v.x) + "," + povNumber(v.y) + "," + povNumber(v.z) + ">";
}

} // namespace

std::string povNumber(double v) {
    if (std::fabs(v) < 5e-7)
        return "0";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7);
    return std::string(buf, r.ptr);
}

std::unique_ptr<LoadedModel> loadModel(const std::string& modelPath, const Environment& env,
                                       const std::string& imagePrefix) {
    auto m = std::make_unique<LoadedModel>();
    m->libraryRoot = locateLDrawLibrary(env);
    if (m->libraryRoot.empty())
        m->warnings.push_back("no LDraw library found: set LDRAWDIR, or BaseDirectory in " +
                              configFolder(env) + "LDraw.ini");
    Library root(m->libraryRoot, "");
    std::string text;
    if (const auto config = root.findInRoot("ldconfig.ldr");
        config && readWholeFile(*config, text)) {
        LDrawFile configFile;
        configFile.path = *config;
        parseLDraw(text, configFile, m->colours);
        for (std::string& message : problemMessages(configFile))
            m->warnings.push_back(std::move(message));
        m->colourFile = *config;
        m->libraryColours = m->colours.size();
    } else if (!m->libraryRoot.empty()) {
        m->warnings.push_back("no LDConfig.ldr in " + m->libraryRoot + ": colours shown grey");
    }
    m->library = std::make_unique<Library>(m->libraryRoot,
                                           std::filesystem::path(modelPath).parent_path().string());
    m->loader = std::make_unique<ModelLoader>(*m->library, m->colours, m->warnings);
    m->loader->setImagePrefix(imagePrefix);
    m->main = m->loader->load(modelPath, m->error);
    // The raised logo of the library's own studs, where it has one.
    if (m->main && m->loader->has("stud.dat"))
        for (const char* name : {"logo3.dat", "logo4.dat", "logo5.dat"})
            if ((m->studLogo = m->loader->loadLibraryFile(name)))
                break;
    return m;
}

ScenePlan::ScenePlan(const Options& options, const LDrawFile& main, const ColourTable& colours,
                     std::string lgeoFolder, std::vector<std::string>& warnings,
                     PlanSettings settings)
    : m_options(options), m_colours(colours), m_warnings(warnings) {
    m_topColour = topColourOf(options);
    if (options.has(Id::Lgeo) && lgeoFolder.empty())
        m_warnings.push_back("-lgeo: no LGEO folder found (set LGEODIR or Brickpov's LGEO "
                             "folder); the LDraw parts are used");
    MeshBuildSettings build;
    build.exactPrimitives = !options.has(Id::Primitives);
    build.excludeNonPov = options.has(Id::ExcludeNonPov);
    if (options.has(Id::Lgeo))
        build.lgeoFolder = std::move(lgeoFolder);
    build.studLogo = settings.studLogo;
    BuiltMeshes built = buildMeshes(main, build);
    m_meshes = std::move(built.meshes);
    m_studLogo = built.studLogo;
    m_lgeoIncludes = std::move(built.lgeoIncludes);
    for (const Vec3& p : built.mainPoints)
        m_bounds.add(p);
    if (m_bounds.empty()) {
        m_bounds.add({-10, -10, -10});
        m_bounds.add({10, 10, 10});
    }
    const Vec3 centre = m_bounds.centre();
    m_camera = chooseCamera(options, centre);
    if (m_camera.fit != CameraFit::Fixed)
        m_outline = bp::conv::fitOutline(m_camera.towardsCamera * -1, built.mainPoints);
    // Lights keep their place whatever the picture's shape: they stand at
    // the distance of the camera fitted for the default shape.
    const double distance = std::max((camera().location - centre).length(), 1.0);
    m_lights = planLights(options, main, colours, m_topColour, centre, distance, warnings);
    noteColours();
}

CameraChoice chooseCamera(const Options& options, const Vec3& centre) {
    CameraChoice c;
    const Vec3 globe = options.cameraGlobe.value_or(Vec3{30, 45, 0});
    c.towardsCamera = globeDirection(globe.x, globe.y);
    if (options.cameraAt) {
        c.fit = CameraFit::Fixed;
        c.fixed = {*options.cameraAt, options.lookAt.value_or(centre)};
    } else if (globe.z > 0) {
        const Vec3 look = options.lookAt.value_or(centre);
        c.fit = CameraFit::Fixed;
        c.fixed = {look + c.towardsCamera * globe.z, look};
    } else {
        c.fit = options.lookAt ? CameraFit::Towards : CameraFit::Whole;
    }
    return c;
}

CameraPlacement placeCamera(const CameraChoice& choice, const Options& options,
                            const FitOutline& outline, double aspect, double margin) {
    CameraPlacement c = choice.fixed;
    if (choice.fit == CameraFit::Whole)
        c = fitCamera(outline, options.cameraAngle(), aspect, margin);
    else if (choice.fit == CameraFit::Towards)
        c = fitCameraTowards(*options.lookAt, outline, options.cameraAngle(), aspect, margin);
    if ((c.location - c.lookAt).length() < 1e-6)
        c.lookAt = c.location + Vec3{0, 0, 1};
    return c;
}

int topColourOf(const Options& options) {
    if (const auto colour = options.defaultColour();
        colour && *colour != kMainColour && *colour != kEdgeColour)
        return *colour;
    return 7;
}

Vec3 colourRgb(const ColourTable& colours, int code) {
    const auto c = colours.find(code);
    return c ? c->rgb : Vec3{0.5, 0.5, 0.5};
}

namespace {

// The light.dat markers of the model, each placement once; at most
// kMaxModelLights. Returns how many more were left out.
std::size_t collectModelLights(const Options& options, const LDrawFile& main,
                               const ColourTable& colours, int topColour,
                               std::vector<SceneLight>& lights) {
    // Which submodels hold a light at all, callees first, so that the walk
    // below enters only those.
    const auto skipped = [&](const SubfileRef& r) {
        return r.nonPov && options.has(Id::ExcludeNonPov);
    };
    std::unordered_map<const LDrawFile*, bool> lit;
    struct Frame {
        const LDrawFile* file;
        std::size_t next;
        Placement place;
        int colour;
    };
    std::vector<Frame> stack{{&main, 0, {}, topColour}};
    lit[&main] = false;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next < f.file->refs.size()) {
            const SubfileRef& r = f.file->refs[f.next++];
            if (skipped(r))
                continue;
            if (r.isLight)
                lit[f.file] = true;
            else if (r.file && r.file->kind == FileKind::Model) {
                const auto [it, fresh] = lit.emplace(r.file, false);
                if (!fresh && it->second)
                    lit[f.file] = true;
                else if (fresh)
                    stack.push_back({r.file, 0, {}, 0});
            }
            continue;
        }
        const LDrawFile* done = f.file;
        stack.pop_back();
        if (lit[done] && !stack.empty())
            lit[stack.back().file] = true;
    }
    // Every placement of a lit submodel, once each.
    stack.push_back({&main, 0, {}, topColour});
    std::size_t found = 0;
    std::size_t left = 0;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.file->refs.size()) {
            stack.pop_back();
            continue;
        }
        const SubfileRef& r = f.file->refs[f.next++];
        if (skipped(r))
            continue;
        const int c = r.colour == kMainColour ? f.colour : r.colour;
        if (r.isLight) {
            if (found++ < kMaxModelLights)
                lights.push_back(
                    {(f.place * r.place).t, colourRgb(colours, c), 1, "From light.dat"});
            else
                ++left;
        } else if (r.file && r.file->kind == FileKind::Model && lit[r.file] && left == 0) {
            stack.push_back({r.file, 0, f.place * r.place, c});
        }
    }
    return left;
}

} // namespace

std::vector<SceneLight> planLights(const Options& options, const LDrawFile& main,
                                   const ColourTable& colours, int topColour, const Vec3& centre,
                                   double distance, std::vector<std::string>& warnings) {
    std::vector<SceneLight> lights;
    const bool defaults =
        options.has(Id::DefaultLights) || (options.lights.empty() && !options.has(Id::ModelLights));
    const auto globeLight = [&](double la, double lo, double r, const Vec3& rgb,
                                double intensity = 1) {
        const double radius = r > 0 ? r : distance;
        lights.push_back({centre + globeDirection(la, lo) * radius, rgb, intensity,
                          "Latitude,Longitude,Radius: " + povNumber(la) + "," + povNumber(lo) +
                              "," + povNumber(radius)});
    };
    if (defaults)
        for (const auto& l : kDefaultLights)
            globeLight(l.latitude, l.longitude, 0, {1, 1, 1}, l.intensity);
    for (const LightSwitch& l : options.lights) {
        const Vec3 rgb = l.colour.code ? colourRgb(colours, *l.colour.code) : l.colour.rgb;
        if (l.globe)
            globeLight(l.position.x, l.position.y, l.position.z, rgb);
        else
            lights.push_back({l.position, rgb, 1, "Position: " + vecText(l.position)});
    }
    if (options.has(Id::ModelLights)) {
        const std::size_t before = lights.size();
        if (collectModelLights(options, main, colours, topColour, lights) > 0)
            warnings.push_back("-l: only the first " + std::to_string(kMaxModelLights) +
                               " lights of the model are used");
        if (lights.size() == before)
            warnings.push_back("-l: the model holds no light.dat");
    }
    if (lights.empty()) {
        warnings.push_back("no lights: the default lights are used");
        for (const auto& l : kDefaultLights)
            globeLight(l.latitude, l.longitude, 0, {1, 1, 1}, l.intensity);
    }
    return lights;
}

CameraPlacement ScenePlan::camera(double aspect, double margin) const {
    return placeCamera(m_camera, m_options, m_outline, aspect, margin);
}

int ScenePlan::resolve(int code, bool top) const {
    if (code == kMainColour)
        return top ? m_topColour : kMainColour;
    if (code == kEdgeColour) {
        // Faces in the edge colour are rare; they take the edge of the
        // model's default colour.
        const auto c = m_colours.find(m_topColour);
        return c ? c->edgeCode() : 0;
    }
    return code;
}

Vec3 ScenePlan::colourRgb(int code) const {
    return conv::colourRgb(m_colours, code);
}

void ScenePlan::noteColours() {
    // The main model first, then the declarations in their order.
    std::vector<const ResolvedMesh*> order{&mainMesh()};
    for (std::size_t i = 0; i + 1 < m_meshes.size(); ++i)
        order.push_back(&m_meshes[i]);
    for (const ResolvedMesh* m : order) {
        const bool top = m == &mainMesh();
        std::set<int> codes;
        if (top)
            codes.insert(m_topColour);
        for (const MeshUse& u : m->uses)
            codes.insert(resolve(u.colour, top));
        for (const ColourRun& r : m->runs)
            codes.insert(resolve(r.colour, top));
        for (const int code : codes) {
            if (code == kMainColour ||
                std::find(m_usedColours.begin(), m_usedColours.end(), code) != m_usedColours.end())
                continue;
            m_usedColours.push_back(code);
            if (!m_colours.find(code))
                m_warnings.push_back("unknown colour " + std::to_string(code) + " (in " +
                                     m->file->path + "): shown grey");
        }
    }
}

double ScenePlan::floorY() const {
    return m_options.floorY.value_or(m_bounds.hi.y);
}

bool ScenePlan::forEachInstance(const InstanceVisit& visit, std::size_t limit) const {
    struct Frame {
        std::size_t mesh, next;
        Placement place;
        int colour, step;
    };
    std::vector<Frame> stack{{m_meshes.size() - 1, 0, {}, m_topColour, 0}};
    std::size_t visits = 0;
    if (!mainMesh().triangles.empty()) {
        visit(mainMesh(), {}, m_topColour, 0);
        ++visits;
    }
    while (!stack.empty()) {
        Frame& f = stack.back();
        const ResolvedMesh& m = m_meshes[f.mesh];
        if (f.next == m.uses.size()) {
            stack.pop_back();
            continue;
        }
        const MeshUse& u = m.uses[f.next++];
        const bool top = stack.size() == 1;
        const int colour = u.colour == kMainColour ? f.colour : resolve(u.colour, top);
        const Placement place = f.place * u.place;
        const int step = top ? u.step : f.step;
        const ResolvedMesh& child = m_meshes[u.mesh];
        if (!child.triangles.empty()) {
            if (visits == limit)
                return false;
            visit(child, place, colour, step);
            ++visits;
        }
        stack.push_back({u.mesh, 0, place, colour, step});
    }
    return true;
}

} // namespace bp::conv
