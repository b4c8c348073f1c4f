#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace bp {

// A picture as 8-bit red, green, blue and alpha, rows from the top.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Reads a Targa file's bytes: true-colour or grey, plain or run-length
// encoded, either row order, with or without the version 2 footer. Empty
// for anything else or a file cut short.
std::optional<RgbaPicture> decodeTarga(std::string_view bytes);

} // namespace bp
