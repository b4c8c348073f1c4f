#pragma once

#include "converter/camera.h"
#include "converter/colours.h"
#include "converter/model.h"
#include "converter/options.h"

#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

namespace bp::conv {

struct SceneLight {
    Vec3 position;
    Vec3 rgb{1, 1, 1};
    std::string note; // how it was placed, written as a comment
};

// Turns a loaded model into a POV-Ray scene: works out its bounds, camera
// and lights, then writes each distinct file once and places it by matrix.
class Scene {
  public:
    Scene(const Options& options, const LDrawFile& main, const ColourTable& colours,
          std::string lgeoFolder, std::vector<std::string>& warnings);

    const Box& bounds() const { return m_bounds; }
    const CameraPlacement& camera() const { return m_camera; }
    const std::vector<SceneLight>& lights() const { return m_lights; }
    double floorY() const;
    std::size_t partCount() const { return m_partCount; }
    std::size_t declaredFiles() const { return m_order.size(); }

    void write(std::ostream& out);

    // Every point of the model in model coordinates.
    void forEachPoint(const std::function<void(const Vec3&)>& visit) const;

  private:
    struct Info {
        std::string id;
        bool empty = true;
        bool part = false;
        std::optional<std::string> solid; // a primitive written as a POV-Ray solid
        std::string lgeo;                 // LGEO's name for it, when LGEO has it
        std::vector<Vec3> points;
        Box box;
    };

    bool skipped(bool nonPov) const { return nonPov && m_options.excludeNonPov; }
    Info& analyse(const LDrawFile& file);
    void countParts(const LDrawFile& file, std::size_t times);
    void visitPoints(const LDrawFile& file, const Placement& place,
                     const std::function<void(const Vec3&)>& visit) const;
    void placeCamera();
    void placeLights();
    void collectModelLights(const LDrawFile& file, const Placement& place, int colour);
    Vec3 colourRgb(int code) const;
    int resolve(int code, bool top) const;
    void noteColours(const LDrawFile& file);

    void writeHeader(std::ostream& out) const;
    void writeColours(std::ostream& out);
    void writeCameraAndLights(std::ostream& out) const;
    void writeDeclaration(std::ostream& out, const LDrawFile& file);
    void writeBody(std::ostream& out, const LDrawFile& file, bool top);
    void writeRef(std::ostream& out, const SubfileRef& r, bool top, bool studSwitch);
    void writeMeshes(std::ostream& out, const LDrawFile& file, bool top, int step);

    const Options& m_options;
    const LDrawFile& m_main;
    const ColourTable& m_colours;
    std::string m_lgeoFolder;
    std::vector<std::string>& m_warnings;
    std::unordered_map<const LDrawFile*, Info> m_info;
    std::vector<const LDrawFile*> m_order; // declarations, callees first
    std::vector<int> m_usedColours;
    std::vector<std::string> m_lgeoIncludes;
    Box m_bounds;
    CameraPlacement m_camera;
    double m_cameraDistance = 0;
    std::vector<SceneLight> m_lights;
    std::size_t m_partCount = 0;
    int m_topColour = 7;
};

// Text of a number as the scene writes it: at most seven significant digits.
std::string povNumber(double v);

} // namespace bp::conv
