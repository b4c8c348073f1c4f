#include "driver/image_header.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>

namespace bp::driver {

namespace {

std::uint32_t bigEndian(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

std::int32_t littleEndian(const unsigned char* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                     (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24));
}

// "P6" or "P3", blanks and comments, width, height.
std::optional<ImageHeader> readPpm(const std::string& head) {
    std::istringstream in(head.substr(2));
    int numbers[2] = {};
    for (int& n : numbers) {
        in >> std::ws;
        while (in.peek() == '#') {
            std::string comment;
            std::getline(in, comment);
            in >> std::ws;
        }
        if (!(in >> n) || n <= 0)
            return std::nullopt;
    }
    return ImageHeader{"PPM", numbers[0], numbers[1]};
}

} // namespace

std::optional<ImageHeader> readImageHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(256, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const auto* h = reinterpret_cast<const unsigned char*>(head.data());
    const std::size_t got = head.size();
    if (got >= 24 && std::string_view(head).substr(0, 8) == "\x89PNG\r\n\x1a\n")
        return ImageHeader{"PNG", static_cast<int>(bigEndian(h + 16)),
                           static_cast<int>(bigEndian(h + 20))};
    if (got >= 26 && h[0] == 'B' && h[1] == 'M')
        // A negative height stores the rows from the top down.
        return ImageHeader{"BMP", littleEndian(h + 18), std::abs(littleEndian(h + 22))};
    if (got >= 3 && h[0] == 'P' && (h[1] == '6' || h[1] == '3'))
        return readPpm(head);
    // Targa has no mark: a colour-mapped type of 0 and an RGB image type,
    // plain (2) or compressed (10).
    if (got >= 18 && h[1] == 0 && (h[2] == 2 || h[2] == 10))
        return ImageHeader{"TGA", h[12] | (h[13] << 8), h[14] | (h[15] << 8)};
    return std::nullopt;
}

} // namespace bp::driver
