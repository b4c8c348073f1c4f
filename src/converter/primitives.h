#pragma once

#include <optional>
#include <string>

namespace bp::conv {

// The exact POV-Ray solid for an LDraw primitive that has one (studs,
// cylinders, discs, rings, cones and their fractions), in the primitive's own
// coordinates; nullopt for every other file. `name` is lower case.
std::optional<std::string> primitiveSolid(const std::string& name);

// Stud primitives are shown only while the scene's studs switch is on.
bool isStudPrimitive(const std::string& name);

// Clipping that keeps the sector from angle 0 (+x) round to fraction*360
// degrees (towards +z) of a shape centred on the y axis; empty for a whole
// circle.
std::string sectorClip(double fraction);

} // namespace bp::conv
