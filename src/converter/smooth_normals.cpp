#include "converter/mesh_builder.h"

#include <numbers>
#include <unordered_map>

namespace bp::conv {

namespace {

struct KeyHash {
    std::size_t operator()(const std::array<long long, 3>& k) const {
        return std::hash<long long>()(k[0] * 73856093LL ^ k[1] * 19349663LL ^ k[2] * 83492791LL);
    }
};

struct EdgeHash {
    std::size_t operator()(const std::pair<int, int>& e) const {
        return std::hash<long long>()((static_cast<long long>(e.first) << 32) ^ e.second);
    }
};

// Corners of triangles joined into smooth groups; each corner remembers
// whether its triangle faces the group's way or the other (LDraw files do
// not all wind their faces alike).
class CornerGroups {
  public:
    explicit CornerGroups(std::size_t n) : m_parent(n), m_flip(n, false) {
        for (std::size_t i = 0; i < n; ++i)
            m_parent[i] = i;
    }
    // The group's root, and whether `i` faces against it.
    std::pair<std::size_t, bool> find(std::size_t i) {
        bool flip = false;
        std::size_t r = i;
        while (m_parent[r] != r) {
            flip ^= m_flip[r];
            r = m_parent[r];
        }
        // Point the path straight at the root.
        bool rest = flip;
        while (m_parent[i] != i) {
            const std::size_t next = m_parent[i];
            const bool f = m_flip[i];
            m_parent[i] = r;
            m_flip[i] = rest;
            rest ^= f;
            i = next;
        }
        return {r, flip};
    }
    void join(std::size_t a, std::size_t b, bool opposite) {
        const auto [ra, fa] = find(a);
        const auto [rb, fb] = find(b);
        if (ra == rb)
            return;
        m_parent[rb] = ra;
        m_flip[rb] = fa ^ fb ^ opposite;
    }

  private:
    std::vector<std::size_t> m_parent;
    std::vector<bool> m_flip;
};

} // namespace

void smoothNormals(std::vector<MeshTriangle>& triangles, const std::vector<EdgeLine>& lines,
                   double smoothAngleDeg) {
    if (triangles.empty())
        return;
    std::unordered_map<std::array<long long, 3>, int, KeyHash> ids;
    const auto key = gridKey;
    const auto idOf = [&](const Vec3& v) {
        return ids.emplace(key(v), static_cast<int>(ids.size())).first->second;
    };
    const std::size_t n = triangles.size();
    std::vector<std::array<int, 3>> corner(n);
    std::vector<Vec3> normal(n);
    for (std::size_t t = 0; t < n; ++t) {
        for (int k = 0; k < 3; ++k)
            corner[t][k] = idOf(triangles[t].v[k]);
        const auto& v = triangles[t].v;
        normal[t] = (v[1] - v[0]).cross(v[2] - v[0]).normalized();
    }
    // Edges as the triangles give them, with the direction each one runs.
    std::unordered_map<std::pair<int, int>, std::vector<std::pair<std::size_t, bool>>, EdgeHash>
        edges;
    for (std::size_t t = 0; t < n; ++t)
        for (int k = 0; k < 3; ++k) {
            const int a = corner[t][k], b = corner[t][(k + 1) % 3];
            if (a != b)
                edges[{std::min(a, b), std::max(a, b)}].push_back({t, a < b});
        }
    enum Mark { None, Sharp, Smooth };
    std::unordered_map<std::pair<int, int>, Mark, EdgeHash> marks;
    for (const EdgeLine& l : lines) {
        const auto a = ids.find(key(l.v[0])), b = ids.find(key(l.v[1]));
        if (a == ids.end() || b == ids.end() || a->second == b->second)
            continue;
        Mark& m = marks[{std::min(a->second, b->second), std::max(a->second, b->second)}];
        // An edge line wins over an optional line on the same edge.
        m = l.optional && m != Sharp ? Smooth : Sharp;
    }
    const double plain = std::cos(smoothAngleDeg * std::numbers::pi / 180);
    const double marked = std::cos(kOptionalSmoothAngle * std::numbers::pi / 180);
    CornerGroups groups(3 * n);
    const auto cornerOf = [&](std::size_t t, int id) {
        for (int k = 0; k < 3; ++k)
            if (corner[t][k] == id)
                return 3 * t + k;
        return 3 * t;
    };
    for (const auto& [edge, faces] : edges) {
        const auto mark = marks.find(edge);
        const Mark m = mark == marks.end() ? None : mark->second;
        if (m == Sharp)
            continue;
        for (std::size_t i = 0; i < faces.size(); ++i)
            for (std::size_t j = i + 1; j < faces.size(); ++j) {
                const auto [ti, di] = faces[i];
                const auto [tj, dj] = faces[j];
                // Faces wound alike run along a shared edge in opposite
                // directions.
                const bool opposite = di == dj;
                const double c = normal[ti].dot(normal[tj]) * (opposite ? -1 : 1);
                if (c < (m == Smooth ? marked : plain))
                    continue;
                groups.join(cornerOf(ti, edge.first), cornerOf(tj, edge.first), opposite);
                groups.join(cornerOf(ti, edge.second), cornerOf(tj, edge.second), opposite);
            }
    }
    // Each group's normal: its faces' normals weighed by their angle at the
    // corner, turned the group's way.
    std::vector<Vec3> sum(3 * n);
    for (std::size_t t = 0; t < n; ++t)
        for (int k = 0; k < 3; ++k) {
            const auto& v = triangles[t].v;
            const Vec3 e1 = (v[(k + 1) % 3] - v[k]).normalized();
            const Vec3 e2 = (v[(k + 2) % 3] - v[k]).normalized();
            const double angle = std::acos(std::clamp(e1.dot(e2), -1.0, 1.0));
            const auto [root, flip] = groups.find(3 * t + k);
            sum[root] = sum[root] + normal[t] * (flip ? -angle : angle);
        }
    for (std::size_t t = 0; t < n; ++t) {
        MeshTriangle& tri = triangles[t];
        tri.smooth = false;
        if (normal[t].length() < 0.5)
            continue;
        for (int k = 0; k < 3; ++k) {
            const auto [root, flip] = groups.find(3 * t + k);
            Vec3 s = sum[root].normalized();
            if (flip)
                s = s * -1;
            if (s.length() < 0.5 || s.dot(normal[t]) < 0.05)
                s = normal[t];
            tri.n[k] = s;
            tri.smooth = tri.smooth || s.dot(normal[t]) < 0.99999;
        }
    }
}

} // namespace bp::conv
