#include "converter/mesh_builder.h"

#include "converter/library.h"
#include "converter/primitives.h"

#include <algorithm>
#include <numbers>
#include <tuple>
#include <unordered_map>

namespace bp::conv {

namespace {

// A mesh merges its subparts and primitives up to this many triangles and
// placements; beyond it they stay meshes of their own, so that a file that
// uses the next one ten times, and so on, cannot blow up.
constexpr std::size_t kMergeLimit = 200000;
// A primitive is merged only while its copies in one file stay this small;
// a spring of a hundred torus pieces keeps one shared piece instead.
constexpr std::size_t kPrimitiveMergeLimit = 4000;
constexpr std::size_t kExactOutline = 64;

std::string identifierPart(const std::string& name) {
    std::string s;
    for (const char c : name.substr(0, 24))
        s += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return s;
}

std::string stemOf(const std::string& name) {
    std::string b = name.substr(name.rfind('/') + 1);
    if (b.ends_with(".dat"))
        b.resize(b.size() - 4);
    return b;
}

void dedupe(std::vector<Vec3>& points) {
    std::vector<std::pair<std::array<long long, 3>, std::size_t>> keys(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        keys[i] = {gridKey(points[i]), i};
    std::sort(keys.begin(), keys.end());
    std::vector<Vec3> kept;
    kept.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (i == 0 || keys[i].first != keys[i - 1].first)
            kept.push_back(points[keys[i].second]);
    points = std::move(kept);
}

// The six axes, twelve edge and eight corner directions of a cube, and
// more spread evenly over the sphere.
std::vector<Vec3> outlineDirections() {
    std::vector<Vec3> d;
    for (int x = -1; x <= 1; ++x)
        for (int y = -1; y <= 1; ++y)
            for (int z = -1; z <= 1; ++z)
                if (x || y || z)
                    d.push_back(Vec3{double(x), double(y), double(z)}.normalized());
    constexpr int kSpread = 98;
    const double golden = std::numbers::pi * (3 - std::sqrt(5.0));
    for (int i = 0; i < kSpread; ++i) {
        const double y = 1 - 2 * (i + 0.5) / kSpread, r = std::sqrt(1 - y * y);
        d.push_back({std::cos(golden * i) * r, y, std::sin(golden * i) * r});
    }
    return d;
}

// What is known of one file while the meshes are built.
struct Work {
    ResolvedMesh mesh;
    std::vector<int> colour, step, print; // of each triangle
    std::vector<EdgeLine> lines;
    std::vector<const LDrawFile*> useFiles; // beside mesh.uses
    std::vector<Vec3> outline;
    bool empty = true;
    bool placed = false;         // some caller places it as a mesh of its own
    std::size_t callersLeft = 0; // callers not yet built
};

// Subparts, and primitives with a curved surface (optional lines tell), are
// merged into their callers so that normals see both sides of each seam;
// flat primitives stay shared meshes of their own, as do solids and studs.
bool mergeable(const Work& w, bool all) {
    const FileKind k = w.mesh.kind;
    const bool curved = all || std::any_of(w.lines.begin(), w.lines.end(),
                                           [](const EdgeLine& l) { return l.optional; });
    return (k == FileKind::Subpart || (k == FileKind::Primitive && (curved || w.empty))) &&
           !w.mesh.solid && !w.mesh.stud && w.mesh.lgeo.empty() && w.mesh.povCode.empty();
}

class Builder {
  public:
    Builder(const LDrawFile& main, const MeshBuildSettings& s) : m_main(main), m_settings(s) {}
    BuiltMeshes run();

  private:
    bool skipped(bool nonPov) const { return nonPov && m_settings.excludeNonPov; }
    bool used(const SubfileRef& r) const { return r.file && !r.isLight && !skipped(r.nonPov); }
    void build(const LDrawFile& file);
    void merge(Work& into, const Work& from, const SubfileRef& r, bool top, int refPrint);

    const LDrawFile& m_main;
    const MeshBuildSettings& m_settings;
    std::unordered_map<const LDrawFile*, Work> m_work;
    std::vector<const LDrawFile*> m_postOrder;
    std::vector<std::string> m_lgeoIncludes;
    std::vector<Vec3> m_mainPoints;
    FolderIndex m_lgeoIndex;
};

// A texmap carried into the coordinates of the file a placement puts it in.
TexMap placed(TexMap t, const Placement& place) {
    for (Vec3& p : t.points)
        p = place.apply(p);
    return t;
}

// `refPrint` is the placing line's own print, which covers what has none.
void Builder::merge(Work& into, const Work& from, const SubfileRef& r, bool top, int refPrint) {
    const auto colourOf = [&](int c) { return c == kMainColour ? r.colour : c; };
    const int step = top ? r.step : 0;
    const int offset = static_cast<int>(into.mesh.prints.size());
    for (const TexMap& t : from.mesh.prints)
        into.mesh.prints.push_back(placed(t, r.place));
    const auto printOf = [&](int p) { return p >= 0 ? offset + p : refPrint; };
    for (std::size_t i = 0; i < from.mesh.triangles.size(); ++i) {
        MeshTriangle t;
        for (int k = 0; k < 3; ++k)
            t.v[k] = r.place.apply(from.mesh.triangles[i].v[k]);
        if ((t.v[1] - t.v[0]).cross(t.v[2] - t.v[0]).length() < 1e-9)
            continue; // flattened by its placement
        into.mesh.triangles.push_back(t);
        into.colour.push_back(colourOf(from.colour[i]));
        into.step.push_back(step);
        into.print.push_back(printOf(from.print[i]));
    }
    for (const EdgeLine& l : from.lines)
        into.lines.push_back({{r.place.apply(l.v[0]), r.place.apply(l.v[1])}, l.optional, false});
    for (std::size_t i = 0; i < from.mesh.uses.size(); ++i) {
        const MeshUse& u = from.mesh.uses[i];
        into.mesh.uses.push_back(
            {0, r.place * u.place, colourOf(u.colour), step, printOf(u.print)});
        into.useFiles.push_back(from.useFiles[i]);
    }
}

void Builder::build(const LDrawFile& file) {
    Work& w = m_work[&file];
    const bool top = &file == &m_main;
    ResolvedMesh& m = w.mesh;
    m.file = &file;
    m.kind = top ? FileKind::Model : file.kind;
    if (file.kind == FileKind::Primitive && !top) {
        if (m_settings.exactPrimitives)
            m.solid = primitiveSolid(file.name);
        m.stud = m_settings.studSwitch && isStudPrimitive(file.name);
    }
    if (m.kind == FileKind::Part && !m_settings.lgeoFolder.empty()) {
        const std::string stem = identifierPart(stemOf(file.name));
        if (m_lgeoIndex.find(m_settings.lgeoFolder, "lg_" + stem + ".inc")) {
            m.lgeo = "lg_" + stem;
            m_lgeoIncludes.push_back(m.lgeo + ".inc");
        }
    }
    // A solid or an LGEO part is written whole: its own geometry serves only
    // its outline.
    const bool geometry = !m.solid && m.lgeo.empty();
    // The file's texmaps become the mesh's prints as lines use them.
    std::vector<int> printOf(file.texmaps.size(), -1);
    const auto print = [&](int texmap) {
        if (texmap < 0)
            return -1;
        int& p = printOf[static_cast<std::size_t>(texmap)];
        if (p < 0) {
            p = static_cast<int>(m.prints.size());
            m.prints.push_back(file.texmaps[static_cast<std::size_t>(texmap)]);
        }
        return p;
    };
    std::vector<Vec3> points;
    for (const Face& f : file.faces) {
        if (skipped(f.nonPov))
            continue;
        points.insert(points.end(), f.v.begin(), f.v.end());
        if (!geometry)
            continue;
        MeshTriangle t;
        t.v = f.v;
        m.triangles.push_back(t);
        w.colour.push_back(f.colour);
        w.step.push_back(top ? f.step : 0);
        w.print.push_back(print(f.texmap));
    }
    if (geometry) {
        for (const EdgeLine& l : file.lines)
            if (!skipped(l.nonPov))
                w.lines.push_back(l);
        for (const PovCode& p : file.povCode)
            m.povCode.push_back(&p);
    }
    std::unordered_map<const LDrawFile*, std::size_t> uses;
    for (const SubfileRef& r : file.refs)
        if (used(r))
            ++uses[r.file];
    for (const SubfileRef& r : file.refs) {
        if (!used(r))
            continue;
        Work& child = m_work.at(r.file);
        for (const Vec3& p : child.outline)
            points.push_back(r.place.apply(p));
        if (r.file->kind == FileKind::Part)
            m.partCount = std::min(m.partCount + 1, UINT64_MAX - 1);
        else if (r.file->kind == FileKind::Model)
            m.partCount = std::min(m.partCount + child.mesh.partCount, UINT64_MAX - 1);
        if (!geometry)
            continue;
        const std::size_t size = m.triangles.size() + m.uses.size() + w.lines.size();
        const std::size_t extra =
            child.mesh.triangles.size() + child.mesh.uses.size() + child.lines.size();
        const bool fits = child.mesh.kind == FileKind::Subpart || m_settings.mergeAll ||
                          uses[r.file] * extra <= kPrimitiveMergeLimit;
        if (mergeable(child, m_settings.mergeAll) && fits && size + extra <= kMergeLimit) {
            merge(w, child, r, top, print(r.texmap)); // an empty one brings its edge lines
        } else if (!child.empty) {
            m.uses.push_back({0, r.place, r.colour, top ? r.step : 0, print(r.texmap)});
            w.useFiles.push_back(r.file);
            child.placed = true;
        }
    }
    // A file merged wherever it is used is needed no more but for its
    // outline, once the last reference to it is built.
    for (const SubfileRef& r : file.refs) {
        if (!used(r))
            continue;
        Work& child = m_work.at(r.file);
        if (--child.callersLeft == 0 && !child.placed) {
            std::vector<MeshTriangle>().swap(child.mesh.triangles);
            std::vector<EdgeLine>().swap(child.lines);
            std::vector<int>().swap(child.colour);
            std::vector<int>().swap(child.step);
            std::vector<int>().swap(child.print);
        }
    }
    w.empty =
        m.triangles.empty() && m.uses.empty() && m.povCode.empty() && !m.solid && m.lgeo.empty();
    for (const Vec3& p : points)
        m.box.add(p);
    if (top)
        m_mainPoints = std::move(points);
    else
        w.outline = outlinePoints(std::move(points));
}

BuiltMeshes Builder::run() {
    // Callees first, with an explicit stack so that any depth of nesting
    // fits; the loader has already broken cycles.
    struct Frame {
        const LDrawFile* file;
        std::size_t next;
    };
    // The stud logo is a root of its own, before the model.
    std::vector<const LDrawFile*> roots{&m_main};
    if (m_settings.studLogo && m_settings.studLogo != &m_main)
        roots.insert(roots.begin(), m_settings.studLogo);
    std::unordered_map<const LDrawFile*, bool> seen;
    std::vector<Frame> stack;
    for (const LDrawFile* root : roots)
        if (seen.emplace(root, true).second)
            stack.push_back({root, 0});
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next < f.file->refs.size()) {
            const SubfileRef& r = f.file->refs[f.next++];
            if (!used(r))
                continue;
            ++m_work[r.file].callersLeft;
            if (seen.emplace(r.file, true).second)
                stack.push_back({r.file, 0});
            continue;
        }
        m_postOrder.push_back(f.file);
        stack.pop_back();
    }
    // Every reference is counted before any file is built.
    for (const LDrawFile* file : m_postOrder)
        build(*file);

    // The meshes the scene declares: those the main model's uses reach,
    // callees first.
    BuiltMeshes out;
    std::unordered_map<const LDrawFile*, std::size_t> index;
    std::vector<Frame> walk;
    std::unordered_map<const LDrawFile*, bool> open;
    for (auto root = roots.rbegin(); root != roots.rend(); ++root)
        if (open.emplace(*root, true).second)
            walk.push_back({*root, 0});
    while (!walk.empty()) {
        Frame& f = walk.back();
        Work& w = m_work.at(f.file);
        if (f.next < w.useFiles.size()) {
            const LDrawFile* next = w.useFiles[f.next++];
            if (open.emplace(next, true).second)
                walk.push_back({next, 0});
            continue;
        }
        for (std::size_t i = 0; i < w.useFiles.size(); ++i)
            w.mesh.uses[i].mesh = index.at(w.useFiles[i]);
        ResolvedMesh& m = w.mesh;
        if (f.file != &m_main)
            m.id = "BP" + std::to_string(out.meshes.size() + 1) + "_" +
                   identifierPart(stemOf(f.file->name));
        smoothNormals(m.triangles, w.lines, kSmoothAngle);
        // Runs of one step and colour, in the order the faces came.
        std::vector<std::size_t> order(m.triangles.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return std::tuple(w.step[a], w.colour[a], w.print[a]) <
                   std::tuple(w.step[b], w.colour[b], w.print[b]);
        });
        std::vector<MeshTriangle> sorted;
        sorted.reserve(order.size());
        for (const std::size_t i : order) {
            if (m.runs.empty() || m.runs.back().step != w.step[i] ||
                m.runs.back().colour != w.colour[i] || m.runs.back().print != w.print[i])
                m.runs.push_back({w.colour[i], w.step[i], sorted.size(), 0, w.print[i]});
            ++m.runs.back().count;
            sorted.push_back(m.triangles[i]);
        }
        m.triangles = std::move(sorted);
        // A print over the caller's colour needs that colour beneath it.
        for (const ColourRun& r : m.runs)
            m.needsBase |= r.colour == kMainColour && r.print >= 0;
        for (const MeshUse& u : m.uses)
            m.needsBase |=
                u.colour == kMainColour && (u.print >= 0 || out.meshes[u.mesh].needsBase);
        if (f.file == m_settings.studLogo)
            out.studLogo = out.meshes.size();
        index[f.file] = out.meshes.size();
        out.meshes.push_back(std::move(m));
        walk.pop_back();
    }
    out.mainPoints = std::move(m_mainPoints);
    out.lgeoIncludes = std::move(m_lgeoIncludes);
    return out;
}

} // namespace

std::vector<Vec3> outlinePoints(std::vector<Vec3> points) {
    dedupe(points);
    if (points.size() <= kExactOutline)
        return points;
    static const std::vector<Vec3> directions = outlineDirections();
    std::vector<std::size_t> best(directions.size(), 0);
    std::vector<double> reach(directions.size(), std::numeric_limits<double>::lowest());
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t d = 0; d < directions.size(); ++d)
            if (const double r = directions[d].dot(points[i]); r > reach[d]) {
                reach[d] = r;
                best[d] = i;
            }
    std::sort(best.begin(), best.end());
    best.erase(std::unique(best.begin(), best.end()), best.end());
    std::vector<Vec3> kept;
    kept.reserve(best.size());
    for (const std::size_t i : best)
        kept.push_back(points[i]);
    return kept;
}

BuiltMeshes buildMeshes(const LDrawFile& main, const MeshBuildSettings& settings) {
    return Builder(main, settings).run();
}

} // namespace bp::conv
