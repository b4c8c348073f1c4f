#pragma once

#include "converter/scene_plan.h"

#include <string>
#include <vector>

namespace bp::conv {

struct MeshBuildSettings {
    bool exactPrimitives = true;         // studs, cylinders, discs, rings, cones as solids
    bool studSwitch = true;              // stud primitives kept apart, for the scene's studs switch
    bool mergeAll = false;               // every primitive merged, not only curved ones
    bool excludeNonPov = false;          // leave out IFNOTPOV / ELSEPOV lines
    std::string lgeoFolder;              // parts from LGEO where it has them, when not empty
    const LDrawFile* studLogo = nullptr; // built too, before the model's own meshes
};

struct BuiltMeshes {
    std::vector<ResolvedMesh> meshes; // callees first, the main model last
    // The main model's points: a bounded set for each file placed in it.
    std::vector<Vec3> mainPoints;
    std::vector<std::string> lgeoIncludes;
    std::optional<std::size_t> studLogo; // its mesh
};

// Resolves every distinct file under `main` once, callees first, without
// recursion: subparts and primitives are merged into the mesh of the part
// (or model) that uses them, up to a size limit, so that the normals of a
// part see all of its faces; parts, submodels, exact primitives and studs
// stay meshes of their own, placed by matrix.
BuiltMeshes buildMeshes(const LDrawFile& main, const MeshBuildSettings& settings);

// Gives the triangles of a smooth surface normals at their corners: faces
// that share an edge are smooth across it when they meet at less than
// `smoothAngleDeg` or an optional line lies on it, unless an edge line
// does. Triangles whose corners all keep the face's own normal stay flat.
void smoothNormals(std::vector<MeshTriangle>& triangles, const std::vector<EdgeLine>& lines,
                   double smoothAngleDeg);

// A point on a grid of a thousandth of an LDU: points closer than that are
// one point.
inline std::array<long long, 3> gridKey(const Vec3& v) {
    const auto q = [](double x) { return static_cast<long long>(std::floor(x * 1000 + 0.5)); };
    return {q(v.x), q(v.y), q(v.z)};
}

inline constexpr double kSmoothAngle = 35;         // unmarked edges
inline constexpr double kOptionalSmoothAngle = 80; // edges an optional line marks smooth

// A bounded set of the points whose convex hull is (nearly) that of all of
// them: every point of a small set, else the outermost ones in a fixed set
// of directions.
std::vector<Vec3> outlinePoints(std::vector<Vec3> points);

} // namespace bp::conv
