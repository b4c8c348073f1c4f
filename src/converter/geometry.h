#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace bp::conv {

struct Vec3 {
    double x = 0, y = 0, z = 0;
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    double dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 cross(const Vec3& o) const {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    double length() const { return std::sqrt(dot(*this)); }
    Vec3 normalized() const {
        const double l = length();
        return l > 0 ? *this * (1 / l) : *this;
    }
};

// An LDraw placement: p' = M p + t, with M given row by row (a b c / d e f /
// g h i) as on a type 1 line.
struct Placement {
    std::array<double, 9> m{1, 0, 0, 0, 1, 0, 0, 0, 1};
    Vec3 t;

    Vec3 apply(const Vec3& p) const {
        return {m[0] * p.x + m[1] * p.y + m[2] * p.z + t.x,
                m[3] * p.x + m[4] * p.y + m[5] * p.z + t.y,
                m[6] * p.x + m[7] * p.y + m[8] * p.z + t.z};
    }
    // This placement after `inner`: (this * inner)(p) = this(inner(p)).
    Placement operator*(const Placement& inner) const {
        Placement r;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                r.m[row * 3 + col] = m[row * 3] * inner.m[col] + m[row * 3 + 1] * inner.m[3 + col] +
                                     m[row * 3 + 2] * inner.m[6 + col];
        r.t = apply(inner.t);
        return r;
    }
    double determinant() const {
        return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
               m[2] * (m[3] * m[7] - m[4] * m[6]);
    }
    Vec3 column(int c) const { return {m[c], m[3 + c], m[6 + c]}; }
    void setColumn(int c, const Vec3& v) {
        m[c] = v.x;
        m[3 + c] = v.y;
        m[6 + c] = v.z;
    }
};

// Flat primitives are often placed with a zero scale along their flat axis.
// POV-Ray cannot invert such a matrix, so each zero column becomes a unit
// vector at right angles to the others; the placed geometry is unchanged
// because the file has no extent along that axis.
Placement repairedSingular(Placement p);

struct Box {
    Vec3 lo{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
            std::numeric_limits<double>::max()};
    Vec3 hi{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest(),
            std::numeric_limits<double>::lowest()};
    bool empty() const { return lo.x > hi.x; }
    void add(const Vec3& p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    Vec3 centre() const { return (lo + hi) * 0.5; }
    Vec3 size() const { return hi - lo; }
};

} // namespace bp::conv
