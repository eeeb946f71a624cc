// TUIO 2Dcur bundles, checked byte for byte against a bundle spelled out by
// hand and taken apart by an independent OSC reader.
#include "OscDecoder.h"

#include "driver/TuioBundle.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace driver {
namespace {

using osc_testing::DecodeBundle;

std::vector<std::uint8_t> Hex(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    }
    for (std::size_t n = 0; n + 1 < digits.size(); n += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(n, 2), nullptr, 16)));
    }
    return bytes;
}

std::vector<std::uint8_t> Write(const TuioBundleWriter& writer, const std::vector<TuioCursor>& cursors,
                                std::int32_t frame)
{
    std::array<std::uint8_t, TuioBundleWriter::kMaxBundleBytes> buffer{};
    const std::size_t size = writer.Write(cursors.data(), cursors.size(), frame, buffer.data(), buffer.size());
    return {buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(size)};
}

TEST(TuioBundleTest, OneCursorMatchesTheBundleSpelledOutByHand)
{
    const TuioBundleWriter writer("B@1");
    const std::vector<std::uint8_t> expected =
        Hex("23 62 75 6e 64 6c 65 00  00 00 00 00 00 00 00 01" // "#bundle", time tag 1
            "00 00 00 1c"                                      // element of 28 bytes
            "2f 74 75 69 6f 2f 32 44 63 75 72 00"              // "/tuio/2Dcur"
            "2c 73 73 00"                                      // ",ss"
            "73 6f 75 72 63 65 00 00"                          // "source"
            "42 40 31 00"                                      // "B@1"
            "00 00 00 1c"
            "2f 74 75 69 6f 2f 32 44 63 75 72 00"
            "2c 73 69 00"             // ",si"
            "61 6c 69 76 65 00 00 00" // "alive"
            "00 00 00 05"             // session 5
            "00 00 00 34"             // element of 52 bytes
            "2f 74 75 69 6f 2f 32 44 63 75 72 00"
            "2c 73 69 66 66 66 66 66 00 00 00 00" // ",sifffff"
            "73 65 74 00"                         // "set"
            "00 00 00 05"                         // s
            "3f 00 00 00  3e 80 00 00"            // x 0.5, y 0.25
            "3f 80 00 00  c0 00 00 00"            // X 1, Y -2
            "00 00 00 00"                         // m 0
            "00 00 00 1c"
            "2f 74 75 69 6f 2f 32 44 63 75 72 00"
            "2c 73 69 00"
            "66 73 65 71 00 00 00 00" // "fseq"
            "00 00 01 02");           // frame 258
    EXPECT_EQ(Write(writer, {{5, 0.5f, 0.25f, 1.0f, -2.0f, 0.0f}}, 258), expected);
    EXPECT_EQ(writer.BundleSize(1), expected.size());
}

TEST(TuioBundleTest, FourCursorsComeApartIntoTheProfilesMessages)
{
    const TuioBundleWriter writer("Brelvin@127.0.0.1");
    const std::vector<TuioCursor> cursors = {
        {11, 0.125f, 0.875f, 0.3f, -0.7f, 1.5f},
        {12, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
        {40, 0.333f, 0.667f, -12.25f, 3.5f, -40.0f},
        {2147483647, 1.0f, 0.0f, 1e-6f, 1e6f, 0.01f},
    };
    const std::vector<std::uint8_t> bytes = Write(writer, cursors, 99);
    ASSERT_EQ(bytes.size(), writer.BundleSize(4));
    const auto bundle = DecodeBundle(bytes);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->timeTag, 1u);
    ASSERT_EQ(bundle->messages.size(), 7u);
    for (const auto& message : bundle->messages) EXPECT_EQ(message.address, "/tuio/2Dcur");

    const auto& source = bundle->messages[0];
    EXPECT_EQ(source.tags, "ss");
    EXPECT_EQ(source.Command(), "source");
    EXPECT_EQ(source.String(1), "Brelvin@127.0.0.1");

    const auto& alive = bundle->messages[1];
    EXPECT_EQ(alive.tags, "siiii");
    EXPECT_EQ(alive.Command(), "alive");
    for (std::size_t n = 0; n < cursors.size(); ++n) EXPECT_EQ(alive.Int(n + 1), cursors[n].sessionId);

    for (std::size_t n = 0; n < cursors.size(); ++n) {
        const auto& set = bundle->messages[2 + n];
        EXPECT_EQ(set.tags, "sifffff");
        EXPECT_EQ(set.Command(), "set");
        EXPECT_EQ(set.Int(1), cursors[n].sessionId);
        // Bit for bit: float32 goes through unchanged.
        EXPECT_EQ(set.Float(2), cursors[n].x);
        EXPECT_EQ(set.Float(3), cursors[n].y);
        EXPECT_EQ(set.Float(4), cursors[n].velocityX);
        EXPECT_EQ(set.Float(5), cursors[n].velocityY);
        EXPECT_EQ(set.Float(6), cursors[n].acceleration);
    }

    const auto& fseq = bundle->messages[6];
    EXPECT_EQ(fseq.tags, "si");
    EXPECT_EQ(fseq.Command(), "fseq");
    EXPECT_EQ(fseq.Int(1), 99);
}

TEST(TuioBundleTest, NoContactsStillTellsTheListenerThatNoneIsAlive)
{
    const TuioBundleWriter writer("B@1");
    const auto bundle = DecodeBundle(Write(writer, {}, 3));
    ASSERT_TRUE(bundle);
    ASSERT_EQ(bundle->messages.size(), 3u);
    EXPECT_EQ(bundle->messages[1].tags, "s");
    EXPECT_EQ(bundle->messages[1].Command(), "alive");
    EXPECT_EQ(bundle->messages[2].Int(1), 3);
}

// A string whose length is a multiple of four still needs its NUL, and so
// four bytes of padding; one a byte shorter needs just the NUL.
TEST(TuioBundleTest, SourcePaddingFollowsTheStringLength)
{
    for (const std::string source : {"a@b", "ab@c", "ab@cd", "abc@def"}) {
        const TuioBundleWriter writer(source.c_str());
        const std::vector<std::uint8_t> bytes = Write(writer, {{1, 0, 0, 0, 0, 0}}, 1);
        EXPECT_EQ(bytes.size() % 4, 0u) << source;
        EXPECT_EQ(bytes.size(), writer.BundleSize(1)) << source;
        const auto bundle = DecodeBundle(bytes);
        ASSERT_TRUE(bundle) << source;
        EXPECT_EQ(bundle->messages[0].String(1), source);
    }
}

TEST(TuioBundleTest, ALongSourceIsCutAndTheBundleStillFitsItsRoom)
{
    const std::string longSource(200, 'x');
    const TuioBundleWriter writer(longSource.c_str());
    EXPECT_EQ(std::string(writer.Source()), longSource.substr(0, TuioBundleWriter::kMaxSourceChars));
    const std::vector<TuioCursor> four(4, TuioCursor{7, 0.5f, 0.5f, 0, 0, 0});
    EXPECT_LE(writer.BundleSize(4), TuioBundleWriter::kMaxBundleBytes);
    const auto bundle = DecodeBundle(Write(writer, four, 1));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->messages[0].String(1).size(), TuioBundleWriter::kMaxSourceChars);
}

TEST(TuioBundleTest, RefusesWhatDoesNotFitWithoutWritingPastTheRoom)
{
    const TuioBundleWriter writer("Brelvin@10.0.0.1");
    const std::vector<TuioCursor> two(2, TuioCursor{7, 0.5f, 0.5f, 0, 0, 0});
    const std::size_t needed = writer.BundleSize(2);
    std::vector<std::uint8_t> buffer(needed + 8, 0xAB);

    EXPECT_EQ(writer.Write(two.data(), 2, 1, buffer.data(), needed - 1), 0u);
    for (std::size_t n = needed - 1; n < buffer.size(); ++n) EXPECT_EQ(buffer[n], 0xAB) << n;
    EXPECT_EQ(writer.Write(two.data(), 2, 1, buffer.data(), needed), needed);

    const std::vector<TuioCursor> five(5, TuioCursor{7, 0.5f, 0.5f, 0, 0, 0});
    EXPECT_EQ(writer.Write(five.data(), 5, 1, buffer.data(), buffer.size()), 0u);
}

} // namespace
} // namespace driver
