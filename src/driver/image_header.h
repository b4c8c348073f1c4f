#pragma once

#include <optional>
#include <string>

namespace bp::driver {

struct ImageHeader {
    std::string format; // "PNG", "BMP", "TGA", "PPM"
    int width = 0;
    int height = 0;
};

// The format and size of a picture file as its header gives them; empty for
// a file that is none of the formats POV-Ray writes.
std::optional<ImageHeader> readImageHeader(const std::string& path);

} // namespace bp::driver
