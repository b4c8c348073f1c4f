#include "core/common/targa.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bp;

namespace {

std::string header(int type, int width, int height, int depth, int descriptor, int idLength = 0) {
    std::string h(18, '\0');
    h[0] = static_cast<char>(idLength);
    h[2] = static_cast<char>(type);
    h[12] = static_cast<char>(width);
    h[14] = static_cast<char>(height);
    h[16] = static_cast<char>(depth);
    h[17] = static_cast<char>(descriptor);
    return h + std::string(static_cast<std::size_t>(idLength), 'i');
}

struct TargaCase {
    const char* name;
    std::string bytes;
    std::vector<int> rgba; // empty: not readable
};

class TargaTest : public testing::TestWithParam<TargaCase> {};

TEST_P(TargaTest, Decodes) {
    const auto picture = decodeTarga(GetParam().bytes);
    if (GetParam().rgba.empty()) {
        EXPECT_FALSE(picture);
        return;
    }
    ASSERT_TRUE(picture);
    EXPECT_EQ(std::vector<int>(picture->rgba.begin(), picture->rgba.end()), GetParam().rgba);
}

// Blue, green, red as stored; a 2 x 1 picture unless named otherwise.
INSTANTIATE_TEST_SUITE_P(
    Files, TargaTest,
    testing::Values(
        TargaCase{"plain_top_down",
                  header(2, 2, 1, 24, 0x20) + "\x01\x02\x03\x04\x05\x06",
                  {3, 2, 1, 255, 6, 5, 4, 255}},
        TargaCase{"plain_bottom_up_1x2",
                  header(2, 1, 2, 24, 0) + "\x01\x02\x03\x04\x05\x06",
                  {6, 5, 4, 255, 3, 2, 1, 255}},
        TargaCase{"image_id_skipped",
                  header(2, 2, 1, 24, 0x20, 3) + "\x01\x02\x03\x04\x05\x06",
                  {3, 2, 1, 255, 6, 5, 4, 255}},
        TargaCase{"alpha", header(2, 1, 1, 32, 0x28) + "\x01\x02\x03\x80", {3, 2, 1, 128}},
        TargaCase{"run_length_repeat",
                  header(10, 2, 1, 24, 0x20) + "\x81\x01\x02\x03",
                  {3, 2, 1, 255, 3, 2, 1, 255}},
        TargaCase{"run_length_literal_then_repeat_3x1",
                  header(10, 3, 1, 24, 0x20) + std::string("\x00\x01\x02\x03\x81\x04\x05\x06", 8),
                  {3, 2, 1, 255, 6, 5, 4, 255, 6, 5, 4, 255}},
        TargaCase{"grey_run_length",
                  header(11, 2, 1, 8, 0x20) + "\x81\x40",
                  {64, 64, 64, 255, 64, 64, 64, 255}},
        TargaCase{"cut_short", header(2, 2, 1, 24, 0x20) + "\x01\x02\x03\x04", {}},
        TargaCase{"run_past_the_end", header(10, 2, 1, 24, 0x20) + "\x82\x01\x02\x03", {}},
        TargaCase{
            "colour_mapped", std::string(1, '\0') + "\x01" + header(1, 2, 1, 8, 0).substr(2), {}},
        TargaCase{"sixteen_bits", header(2, 1, 1, 16, 0x20) + "\x01\x02", {}},
        TargaCase{"no_pixels", header(2, 0, 1, 24, 0x20), {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
