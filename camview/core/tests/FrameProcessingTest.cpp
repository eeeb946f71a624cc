#include "camview/AlignmentOverlay.h"
#include "camview/FrameLayout.h"
#include "camview/HalfTurn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace camview {
namespace {

bool InRange(int v, int low, int high)
{
    return v >= low && v <= high;
}

// The overlay as the view's users know it, pixel by pixel, to check the
// rectangle painter against.
bool ExpectedRed(int i, int j, int w, int h)
{
    const int cx = w / 2;
    const int cy = h / 2;
    const bool uprightRows = InRange(i, 36, 94) || InRange(i, h - 94, h - 36);
    const bool uprightColumns = InRange(j, 21, 29) || InRange(j, w - 29, w - 21);
    const bool barRows = InRange(i, 26, 35) || InRange(i, h - 35, h - 26);
    const bool barColumns = InRange(j, 21, 89) || InRange(j, w - 89, w - 21);
    const bool crossH = InRange(i, cy - 2, cy + 1) && InRange(j, cx - 25, cx + 24);
    const bool crossV = InRange(j, cx - 2, cx + 1) && InRange(i, cy - 25, cy + 24);
    return (uprightRows && uprightColumns) || (barRows && barColumns) || crossH || crossV;
}

struct TestFrame {
    FrameLayout layout;
    std::vector<std::uint8_t> bytes;

    TestFrame(int w, int h)
        : bytes(RowStride(w) * static_cast<std::size_t>(h))
    {
        layout = *DescribeFrame(w, h, bytes.size());
        // A distinct colour per pixel, never pure red.
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j) {
                std::uint8_t* p = At(i, j);
                p[0] = static_cast<std::uint8_t>(i);
                p[1] = static_cast<std::uint8_t>(j | 1);
                p[2] = static_cast<std::uint8_t>(i + j);
            }
    }
    std::uint8_t* At(int i, int j) { return bytes.data() + i * layout.rowStride + j * 3; }
    bool IsRed(int i, int j)
    {
        const std::uint8_t* p = At(i, j);
        return p[0] == 0 && p[1] == 0 && p[2] == 255;
    }
};

TEST(FrameLayout, RowsArePaddedToFourBytes)
{
    EXPECT_EQ(RowStride(320), 960u);
    EXPECT_EQ(RowStride(1), 4u);
    EXPECT_EQ(RowStride(5), 16u);
    const auto layout = DescribeFrame(5, 2, 32);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->imageBytes, 32u);
}

TEST(FrameLayout, RefusesBuffersThatCannotHoldTheFrame)
{
    EXPECT_TRUE(DescribeFrame(320, 240, 320 * 240 * 3));
    EXPECT_FALSE(DescribeFrame(320, 240, 320 * 240 * 3 - 1));
    // Packed rows of an odd width are shorter than the padded rows drawn.
    EXPECT_FALSE(DescribeFrame(5, 2, 5 * 2 * 3));
    EXPECT_FALSE(DescribeFrame(0, 240, 1 << 20));
    EXPECT_FALSE(DescribeFrame(320, 0, 1 << 20));
    EXPECT_FALSE(DescribeFrame(-320, 240, 1 << 20));
    EXPECT_FALSE(DescribeFrame(320, -240, 1 << 20));
    EXPECT_FALSE(DescribeFrame(kMaxFrameSide + 1, 1, static_cast<std::size_t>(1) << 30));
}

TEST(AlignmentOverlay, PaintsTheMarksOfA320By240Frame)
{
    TestFrame frame(320, 240);
    DrawAlignmentOverlay(frame.bytes.data(), frame.layout);

    // Corner uprights.
    for (int column : {21, 29, 291, 299})
        for (int row : {36, 94, 146, 204}) EXPECT_TRUE(frame.IsRed(row, column)) << row << "," << column;
    EXPECT_FALSE(frame.IsRed(60, 20));
    EXPECT_FALSE(frame.IsRed(60, 30));
    EXPECT_FALSE(frame.IsRed(60, 290));
    EXPECT_FALSE(frame.IsRed(60, 300));
    EXPECT_FALSE(frame.IsRed(95, 25));
    EXPECT_FALSE(frame.IsRed(145, 25));
    // Corner bars.
    for (int row : {26, 35, 205, 214}) {
        EXPECT_TRUE(frame.IsRed(row, 89));
        EXPECT_TRUE(frame.IsRed(row, 231));
        EXPECT_FALSE(frame.IsRed(row, 90));
        EXPECT_FALSE(frame.IsRed(row, 230));
    }
    EXPECT_FALSE(frame.IsRed(25, 50));
    EXPECT_FALSE(frame.IsRed(215, 50));
    // Cross centred at column 160, row 120.
    EXPECT_TRUE(frame.IsRed(120, 160));
    EXPECT_TRUE(frame.IsRed(118, 135));
    EXPECT_TRUE(frame.IsRed(121, 184));
    EXPECT_FALSE(frame.IsRed(122, 170));
    EXPECT_TRUE(frame.IsRed(95, 158));
    EXPECT_TRUE(frame.IsRed(144, 161));
    EXPECT_FALSE(frame.IsRed(145, 160));
    EXPECT_FALSE(frame.IsRed(130, 162));
}

TEST(AlignmentOverlay, ChangesExactlyTheMarkedPixels)
{
    for (auto [w, h] : {std::pair{320, 240}, std::pair{640, 480}, std::pair{177, 143}}) {
        TestFrame frame(w, h);
        const std::vector<std::uint8_t> before = frame.bytes;
        DrawAlignmentOverlay(frame.bytes.data(), frame.layout);
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j) {
                const bool changed =
                    !std::equal(frame.At(i, j), frame.At(i, j) + 3, before.data() + i * frame.layout.rowStride + j * 3);
                ASSERT_EQ(frame.IsRed(i, j), ExpectedRed(i, j, w, h)) << w << "x" << h << " at " << i << "," << j;
                ASSERT_EQ(changed, ExpectedRed(i, j, w, h));
            }
        // Row padding stays as it was.
        for (int i = 0; i < h; ++i)
            for (std::size_t b = static_cast<std::size_t>(w) * 3; b < frame.layout.rowStride; ++b)
                ASSERT_EQ(frame.bytes[i * frame.layout.rowStride + b], before[i * frame.layout.rowStride + b]);
    }
}

TEST(AlignmentOverlay, StaysInsideFramesSmallerThanTheMarks)
{
    // Exactly sized buffers: a write past the end is caught by the sanitizer
    // build, and the visible part still follows the marks' rule.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{30, 20}, std::pair{64, 48}, std::pair{100, 7}}) {
        TestFrame frame(w, h);
        DrawAlignmentOverlay(frame.bytes.data(), frame.layout);
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j) ASSERT_EQ(frame.IsRed(i, j), ExpectedRed(i, j, w, h)) << w << "x" << h;
    }
}

TEST(HalfTurn, ExchangesPixelsAcrossTheCentreKeepingByteOrder)
{
    TestFrame frame(4, 3);
    TestFrame reference(4, 3);
    TurnHalfCircle(frame.bytes.data(), frame.layout);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) {
            const std::uint8_t* turned = frame.At(i, j);
            const std::uint8_t* source = reference.At(2 - i, 3 - j);
            EXPECT_EQ(turned[0], source[0]);
            EXPECT_EQ(turned[1], source[1]);
            EXPECT_EQ(turned[2], source[2]);
        }
}

TEST(HalfTurn, OddPixelCountKeepsTheMiddlePixel)
{
    TestFrame frame(3, 3);
    const std::uint8_t middle[3] = {frame.At(1, 1)[0], frame.At(1, 1)[1], frame.At(1, 1)[2]};
    TurnHalfCircle(frame.bytes.data(), frame.layout);
    EXPECT_EQ(frame.At(1, 1)[0], middle[0]);
    EXPECT_EQ(frame.At(1, 1)[1], middle[1]);
    EXPECT_EQ(frame.At(1, 1)[2], middle[2]);
    EXPECT_EQ(frame.At(0, 0)[2], static_cast<std::uint8_t>(2 + 2)); // was pixel (2,2)
}

TEST(HalfTurn, TurningTwiceRestoresFramesWithPaddedRows)
{
    for (auto [w, h] : {std::pair{320, 240}, std::pair{5, 7}, std::pair{1, 1}, std::pair{7, 1}}) {
        TestFrame frame(w, h);
        const std::size_t padding = frame.layout.rowStride - static_cast<std::size_t>(w) * 3;
        for (int i = 0; i < h; ++i)
            for (std::size_t b = 0; b < padding; ++b) frame.bytes[i * frame.layout.rowStride + w * 3 + b] = 0xAB;
        const std::vector<std::uint8_t> before = frame.bytes;
        TurnHalfCircle(frame.bytes.data(), frame.layout);
        if (w * h > 1) {
            EXPECT_NE(frame.bytes, before);
        }
        for (int i = 0; i < h; ++i)
            for (std::size_t b = 0; b < padding; ++b)
                ASSERT_EQ(frame.bytes[i * frame.layout.rowStride + w * 3 + b], 0xAB);
        TurnHalfCircle(frame.bytes.data(), frame.layout);
        EXPECT_EQ(frame.bytes, before);
    }
}

} // namespace
} // namespace camview
