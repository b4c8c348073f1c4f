#include "core/common/targa.h"

#include <cstddef>

namespace bp {

namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr int kMaxSide = 1 << 15;

unsigned byteAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

} // namespace

std::optional<RgbaPicture> decodeTarga(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || byteAt(bytes, 1) != 0)
        return std::nullopt; // too short, or colour-mapped
    const unsigned type = byteAt(bytes, 2);
    const bool grey = type == 3 || type == 11;
    const bool packed = type == 10 || type == 11;
    if (type != 2 && type != 3 && !packed)
        return std::nullopt;
    const int width = static_cast<int>(byteAt(bytes, 12) | (byteAt(bytes, 13) << 8));
    const int height = static_cast<int>(byteAt(bytes, 14) | (byteAt(bytes, 15) << 8));
    const unsigned depth = byteAt(bytes, 16);
    const bool topDown = (byteAt(bytes, 17) & 0x20) != 0;
    const std::size_t pixelSize = depth / 8;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        (grey ? depth != 8 : depth != 24 && depth != 32))
        return std::nullopt;

    RgbaPicture picture{width, height, {}};
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    picture.rgba.resize(count * 4);
    std::size_t at = kHeaderSize + byteAt(bytes, 0); // after the image id
    std::size_t done = 0;
    const auto put = [&](std::size_t from) {
        const std::size_t row = done / static_cast<std::size_t>(width);
        const std::size_t column = done % static_cast<std::size_t>(width);
        const std::size_t shownRow = topDown ? row : static_cast<std::size_t>(height) - 1 - row;
        std::uint8_t* out =
            &picture.rgba[(shownRow * static_cast<std::size_t>(width) + column) * 4];
        if (grey) {
            out[0] = out[1] = out[2] = static_cast<std::uint8_t>(byteAt(bytes, from));
            out[3] = 255;
        } else {
            // Stored blue, green, red, alpha.
            out[0] = static_cast<std::uint8_t>(byteAt(bytes, from + 2));
            out[1] = static_cast<std::uint8_t>(byteAt(bytes, from + 1));
            out[2] = static_cast<std::uint8_t>(byteAt(bytes, from));
            out[3] = pixelSize == 4 ? static_cast<std::uint8_t>(byteAt(bytes, from + 3)) : 255;
        }
        ++done;
    };
    while (done < count) {
        // A plain picture is one long run of literal pixels.
        std::size_t run = count - done;
        bool repeated = false;
        if (packed) {
            if (at >= bytes.size())
                return std::nullopt;
            const unsigned head = byteAt(bytes, at++);
            run = (head & 0x7f) + 1;
            repeated = (head & 0x80) != 0;
        }
        const std::size_t needed = repeated ? pixelSize : run * pixelSize;
        if (bytes.size() - at < needed || run > count - done)
            return std::nullopt;
        for (std::size_t i = 0; i < run; ++i)
            put(repeated ? at : at + i * pixelSize);
        at += needed;
    }
    return picture;
}

} // namespace bp
