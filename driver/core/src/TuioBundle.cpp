#include "driver/TuioBundle.h"

#include <cstring>

namespace driver {
namespace {

constexpr const char* kAddress = "/tuio/2Dcur";
constexpr std::uint8_t kBundleTag[8] = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0};
// OSC time tag 1: "immediately".
constexpr std::uint8_t kImmediately[8] = {0, 0, 0, 0, 0, 0, 0, 1};

std::size_t Padded(std::size_t bytes)
{
    return (bytes + 3) & ~static_cast<std::size_t>(3);
}
// A string with its NUL, padded.
std::size_t StringSize(const char* text)
{
    return Padded(std::strlen(text) + 1);
}
// ',' + 's' for the command string + one tag per argument + NUL, padded.
std::size_t TypeTagSize(std::size_t arguments)
{
    return Padded(arguments + 3);
}
// Address, type tags, the command string and its arguments.
std::size_t MessageSize(const char* command, std::size_t arguments, std::size_t argumentBytes)
{
    return StringSize(kAddress) + TypeTagSize(arguments) + StringSize(command) + argumentBytes;
}

// Writes OSC items in sequence; once an item does not fit, everything after
// it is refused and Ok() stays false.
class OscWriter {
public:
    OscWriter(std::uint8_t* out, std::size_t capacity)
        : out_(out),
          capacity_(capacity)
    {}

    bool Ok() const { return ok_; }
    std::size_t Size() const { return at_; }

    void Raw(const std::uint8_t* bytes, std::size_t count)
    {
        if (!Room(count)) return;
        std::memcpy(out_ + at_, bytes, count);
        at_ += count;
    }

    void Int32(std::int32_t value) { Word(static_cast<std::uint32_t>(value)); }

    void Float32(float value)
    {
        std::uint32_t bits;
        static_assert(sizeof bits == sizeof value, "float32 expected");
        std::memcpy(&bits, &value, sizeof bits);
        Word(bits);
    }

    void String(const char* text)
    {
        const std::size_t length = std::strlen(text);
        const std::size_t size = Padded(length + 1);
        if (!Room(size)) return;
        std::memcpy(out_ + at_, text, length);
        std::memset(out_ + at_ + length, 0, size - length);
        at_ += size;
    }

    // ',' + 's' for the command string + `tags`.
    void TypeTags(const char* tags)
    {
        char text[16] = {',', 's'};
        std::strncpy(text + 2, tags, sizeof text - 3);
        String(text);
    }

    // Opens a bundle element: room for its size, filled in by EndElement.
    std::size_t BeginElement()
    {
        const std::size_t sizeAt = at_;
        Int32(0);
        return sizeAt;
    }

    void EndElement(std::size_t sizeAt)
    {
        if (!ok_) return;
        const std::size_t size = at_ - sizeAt - 4;
        PutWord(sizeAt, static_cast<std::uint32_t>(size));
    }

private:
    bool Room(std::size_t count)
    {
        if (ok_ && count <= capacity_ - at_) return true;
        ok_ = false;
        return false;
    }

    void Word(std::uint32_t value)
    {
        if (!Room(4)) return;
        PutWord(at_, value);
        at_ += 4;
    }

    void PutWord(std::size_t at, std::uint32_t value)
    {
        out_[at] = static_cast<std::uint8_t>(value >> 24);
        out_[at + 1] = static_cast<std::uint8_t>(value >> 16);
        out_[at + 2] = static_cast<std::uint8_t>(value >> 8);
        out_[at + 3] = static_cast<std::uint8_t>(value);
    }

    std::uint8_t* out_;
    std::size_t capacity_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

} // namespace

TuioBundleWriter::TuioBundleWriter(const char* source)
{
    if (source) std::strncpy(source_, source, kMaxSourceChars);
}

std::size_t TuioBundleWriter::BundleSize(std::size_t count) const
{
    const std::size_t header = sizeof kBundleTag + sizeof kImmediately;
    const std::size_t source = MessageSize("source", 1, StringSize(source_));
    const std::size_t alive = MessageSize("alive", count, 4 * count);
    const std::size_t set = MessageSize("set", 6, 4 * 6);
    const std::size_t fseq = MessageSize("fseq", 1, 4);
    return header + 4 + source + 4 + alive + count * (4 + set) + 4 + fseq;
}

std::size_t TuioBundleWriter::Write(const TuioCursor* cursors, std::size_t count, std::int32_t frame, std::uint8_t* out,
                                    std::size_t capacity) const
{
    if (count > kMaxCursors || (count != 0 && !cursors) || !out) return 0;
    OscWriter osc(out, capacity);
    osc.Raw(kBundleTag, sizeof kBundleTag);
    osc.Raw(kImmediately, sizeof kImmediately);

    std::size_t element = osc.BeginElement();
    osc.String(kAddress);
    osc.TypeTags("s");
    osc.String("source");
    osc.String(source_);
    osc.EndElement(element);

    element = osc.BeginElement();
    osc.String(kAddress);
    const char aliveTags[kMaxCursors + 1] = {'i', 'i', 'i', 'i', 0};
    osc.TypeTags(aliveTags + (kMaxCursors - count));
    osc.String("alive");
    for (std::size_t n = 0; n < count; ++n) osc.Int32(cursors[n].sessionId);
    osc.EndElement(element);

    for (std::size_t n = 0; n < count; ++n) {
        const TuioCursor& cursor = cursors[n];
        element = osc.BeginElement();
        osc.String(kAddress);
        osc.TypeTags("ifffff");
        osc.String("set");
        osc.Int32(cursor.sessionId);
        osc.Float32(cursor.x);
        osc.Float32(cursor.y);
        osc.Float32(cursor.velocityX);
        osc.Float32(cursor.velocityY);
        osc.Float32(cursor.acceleration);
        osc.EndElement(element);
    }

    element = osc.BeginElement();
    osc.String(kAddress);
    osc.TypeTags("i");
    osc.String("fseq");
    osc.Int32(frame);
    osc.EndElement(element);
    return osc.Ok() ? osc.Size() : 0;
}

} // namespace driver
