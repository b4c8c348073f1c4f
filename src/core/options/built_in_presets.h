#pragma once

namespace bp {

// The views every window offers first, by globe position around the model.
struct BuiltInView {
    float latitude, longitude;
};
// Above and below stop short of the poles.
inline constexpr BuiltInView kBuiltInViewAngles[] = {
    {45, 45}, {45, -45}, {45, 135}, {45, -135},  {0, 0},
    {0, 180}, {0, 90},   {0, -90},  {89.99f, 0}, {-89.99f, 0}};

// The lighting schemes every window offers first ("3 Lights", "2 Lights",
// "1 Light"): the globe positions of their lights, all white.
inline constexpr float kBuiltInSchemePositions[3][3][3] = {
    {{45, 0, 0}, {30, 120, 0}, {60, -120, 0}},
    {{45, 0, 0}, {30, 120, 0}, {0, 0, 0}},
    {{45, 0, 0}, {0, 0, 0}, {0, 0, 0}}};

} // namespace bp
