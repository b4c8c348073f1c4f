#include "converter/geometry.h"

namespace bp::conv {

Placement repairedSingular(Placement p) {
    constexpr double kTiny = 1e-9;
    if (std::fabs(p.determinant()) > kTiny)
        return p;
    std::array<bool, 3> zero{};
    for (int c = 0; c < 3; ++c)
        zero[c] = p.column(c).length() < kTiny;
    for (int c = 0; c < 3; ++c) {
        if (!zero[c])
            continue;
        const Vec3 a = p.column((c + 1) % 3), b = p.column((c + 2) % 3);
        Vec3 n = a.cross(b).normalized();
        if (n.length() < 0.5) {
            // Two or three zero columns: fall back to the axis itself.
            n = Vec3{c == 0 ? 1.0 : 0.0, c == 1 ? 1.0 : 0.0, c == 2 ? 1.0 : 0.0};
            if (!zero[(c + 1) % 3] && std::fabs(n.dot(a.normalized())) > 0.9)
                n = a.cross(Vec3{1, 1, 1}).normalized();
        }
        p.setColumn(c, n);
        zero[c] = false;
    }
    return p;
}

} // namespace bp::conv
