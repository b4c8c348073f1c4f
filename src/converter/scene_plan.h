#pragma once

// The converter's geometry stage, between reading a model and writing a
// scene: each distinct file resolved once into a mesh with its normals, the
// model's bounds, part count, camera and lights. The POV-Ray writer only
// writes what is planned here; another front end (a live preview) may use
// the same plan to draw the model itself.

#include "converter/camera.h"
#include "converter/colours.h"
#include "converter/model.h"
#include "converter/options.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bp::conv {

// A triangle of a mesh in the mesh's own coordinates. Where the surface is
// smooth, `n` holds a unit normal for each corner; otherwise the triangle is
// flat and `n` is unused.
struct MeshTriangle {
    std::array<Vec3, 3> v;
    std::array<Vec3, 3> n;
    bool smooth = false;
};

// Triangles [first, first + count) of a mesh share one colour and one
// building step. Colour 16 is the colour of whoever places the mesh.
struct ColourRun {
    int colour = kMainColour;
    int step = 0;
    std::size_t first = 0;
    std::size_t count = 0;
    int print = -1; // index into the mesh's prints
};

// Another mesh placed inside this one.
struct MeshUse {
    std::size_t mesh = 0; // index into ScenePlan::meshes()
    Placement place;
    int colour = kMainColour; // 16: the placing mesh's own colour
    int step = 0;             // the building step, in the main model only
    int print = -1;           // index into the placing mesh's prints
};

// One distinct file, resolved: its own faces and those of the subparts and
// primitives it is built from, in one mesh; the parts, submodels, exact
// primitives and studs it places; and what the rest of the plan needs of it.
struct ResolvedMesh {
    const LDrawFile* file = nullptr;
    std::string id; // the scene's name for it, "BP<n>_<name>"; empty for the main model
    FileKind kind = FileKind::Model;
    bool stud = false;                // a stud primitive: shown only while studs are on
    std::optional<std::string> solid; // an exact primitive, as a POV-Ray solid
    std::string lgeo;                 // LGEO's name for the part, when it is drawn from LGEO
    std::vector<MeshTriangle> triangles;
    std::vector<ColourRun> runs; // sorted by step, then colour
    std::vector<MeshUse> uses;
    std::vector<TexMap> prints; // in the mesh's coordinates, with their images
    bool needsBase = false;     // a print over the caller's colour: written as a macro of it
    std::vector<const PovCode*> povCode;
    Box box;                     // of all its points, in its own coordinates
    std::uint64_t partCount = 0; // parts placed in it, through submodels (saturating)
};

// Reads a model as the converter does: the library from the environment,
// LDConfig's colours, every file it refers to once.
struct LoadedModel {
    std::string libraryRoot;        // empty when no library was found
    std::string colourFile;         // the LDConfig.ldr read, if any
    std::size_t libraryColours = 0; // colours it defines
    std::unique_ptr<Library> library;
    ColourTable colours;
    std::unique_ptr<ModelLoader> loader;
    const LDrawFile* main = nullptr;     // nullptr when the model could not be read
    const LDrawFile* studLogo = nullptr; // the library's logo for studs, when the model has studs
    std::string error;                   // why, then
    std::vector<std::string> warnings;
};
// `imagePrefix` starts the names of the files that images embedded in the
// model are written to; without one they are not written.
std::unique_ptr<LoadedModel> loadModel(const std::string& modelPath, const Environment& env,
                                       const std::string& imagePrefix = {});

struct SceneLight {
    Vec3 position;
    Vec3 rgb{1, 1, 1};    // sRGB
    double intensity = 1; // a linear factor on it
    std::string note;     // how it was placed, written as a comment
};

// How the camera is placed: as given, or fitted to the model for the
// picture's shape.
enum class CameraFit { Fixed, Whole, Towards };

// The camera the options ask for, before the picture's shape is known. A
// preview plans with these as the scene does, so that it frames the same.
struct CameraChoice {
    CameraFit fit = CameraFit::Whole;
    CameraPlacement fixed; // where fit is Fixed
    Vec3 towardsCamera;    // from the model, for the outline a fit works on
};
CameraChoice chooseCamera(const Options& options, const Vec3& centre);
CameraPlacement placeCamera(const CameraChoice& choice, const Options& options,
                            const FitOutline& outline, double aspect, double margin);

// The model's default colour: -c's, unless it names 16 or 24; else grey.
int topColourOf(const Options& options);
// A colour's sRGB, grey where the table lacks it.
Vec3 colourRgb(const ColourTable& colours, int code);

// The lights the options ask for round the model's centre; a globe light
// without a radius stands at `distance`. What was asked for and not found
// is told in `warnings`.
std::vector<SceneLight> planLights(const Options& options, const LDrawFile& main,
                                   const ColourTable& colours, int topColour, const Vec3& centre,
                                   double distance, std::vector<std::string>& warnings);

struct PlanSettings {
    // A file drawn on top of every stud at quality 3, declared before them.
    const LDrawFile* studLogo = nullptr;
};

class ScenePlan {
  public:
    ScenePlan(const Options& options, const LDrawFile& main, const ColourTable& colours,
              std::string lgeoFolder, std::vector<std::string>& warnings,
              PlanSettings settings = {});

    // Callees before callers; the main model is the last.
    const std::vector<ResolvedMesh>& meshes() const { return m_meshes; }
    const ResolvedMesh& mainMesh() const { return m_meshes.back(); }
    const Box& bounds() const { return m_bounds; }
    std::uint64_t partCount() const { return mainMesh().partCount; }
    std::size_t declaredFiles() const { return m_meshes.size() - 1; }

    // The camera for a picture of the given shape (width / height) and
    // margin (a share of its shorter side).
    CameraPlacement camera(double aspect = kDefaultAspect, double margin = kDefaultMargin) const;
    CameraFit cameraFit() const { return m_camera.fit; }
    const FitOutline& fitOutline() const { return m_outline; }
    const std::vector<SceneLight>& lights() const { return m_lights; }
    double floorY() const;

    // The colour a mesh's colour code stands for: 16 in the main model is
    // the model's default colour; 24 the edge of that colour.
    int resolve(int code, bool top) const;
    int topColour() const { return m_topColour; }
    // Colours the scene uses, in first-use order.
    const std::vector<int>& usedColours() const { return m_usedColours; }
    const std::vector<std::string>& lgeoIncludes() const { return m_lgeoIncludes; }
    // The stud logo's mesh, when there is one.
    const ResolvedMesh* studLogo() const { return m_studLogo ? &m_meshes[*m_studLogo] : nullptr; }
    Vec3 colourRgb(int code) const;
    const ColourTable& colours() const { return m_colours; }
    const Options& options() const { return m_options; }

    // Each placed mesh that has triangles, in model coordinates, with its
    // colour resolved (16 where every caller left it open) and the main
    // model's step it belongs to; stops after `limit` visits. False when it
    // stopped early.
    using InstanceVisit =
        std::function<void(const ResolvedMesh&, const Placement&, int colour, int step)>;
    bool forEachInstance(const InstanceVisit& visit, std::size_t limit) const;

  private:
    void noteColours();

    const Options& m_options;
    const ColourTable& m_colours;
    std::vector<std::string>& m_warnings;
    std::vector<ResolvedMesh> m_meshes;
    std::vector<int> m_usedColours;
    std::vector<std::string> m_lgeoIncludes;
    std::optional<std::size_t> m_studLogo;
    Box m_bounds;
    FitOutline m_outline;
    CameraChoice m_camera;
    std::vector<SceneLight> m_lights;
    int m_topColour = 7;
};

// Text of a number as the scene writes it: at most seven significant digits.
std::string povNumber(double v);

} // namespace bp::conv
