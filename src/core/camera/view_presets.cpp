#include "core/camera/view_presets.h"

#include "core/common/numbers.h"

namespace bp {

namespace {
struct BuiltInView {
    float latitude, longitude;
};
// Above and below stop short of the poles.
constexpr BuiltInView kBuiltIn[kBuiltInViews] = {{45, 45},  {45, -45}, {45, 135}, {45, -135},
                                                  {0, 0},   {0, 180},  {0, 90},   {0, -90},
                                                  {89.99f, 0}, {-89.99f, 0}};
} // namespace

void LoadViewPresets(BrickpovMain& m) {
    for (int r = 0; r < kBuiltInViews; ++r) {
        m.viewPresets[static_cast<std::size_t>(r)][0] = kBuiltIn[r].latitude;
        m.viewPresets[static_cast<std::size_t>(r)][1] = kBuiltIn[r].longitude;
    }
}

std::string userViewRecord(const std::string& name, const std::array<float, 9>& row) {
    std::string record = name;
    for (float v : row)
        record += "," + numberText(v);
    return record;
}

} // namespace bp
