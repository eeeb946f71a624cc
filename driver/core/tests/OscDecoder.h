#pragma once
// A small OSC 1.0 reader for the tests, written from the encoding rules and
// not from the writer: it takes a bundle apart and refuses anything that is
// not strictly well formed (unpadded or non-zero padding, element sizes that
// do not add up, unknown type tags, trailing bytes).
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace osc_testing {

using Argument = std::variant<std::int32_t, float, std::string>;

struct Message {
    std::string address;
    std::string tags; // without the leading ','
    std::vector<Argument> arguments;

    std::string Command() const
    {
        return !arguments.empty() && std::holds_alternative<std::string>(arguments[0])
                   ? std::get<std::string>(arguments[0])
                   : std::string();
    }
    std::int32_t Int(std::size_t n) const { return std::get<std::int32_t>(arguments.at(n)); }
    float Float(std::size_t n) const { return std::get<float>(arguments.at(n)); }
    std::string String(std::size_t n) const { return std::get<std::string>(arguments.at(n)); }
};

struct Bundle {
    std::uint64_t timeTag = 0;
    std::vector<Message> messages;
};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size)
        : data_(data),
          size_(size)
    {}

    bool AtEnd() const { return at_ == size_; }

    std::optional<std::uint32_t> Word()
    {
        if (size_ - at_ < 4) return std::nullopt;
        const std::uint32_t value = static_cast<std::uint32_t>(data_[at_]) << 24 |
                                    static_cast<std::uint32_t>(data_[at_ + 1]) << 16 |
                                    static_cast<std::uint32_t>(data_[at_ + 2]) << 8 | data_[at_ + 3];
        at_ += 4;
        return value;
    }

    std::optional<std::string> String()
    {
        if (at_ % 4 != 0) return std::nullopt;
        std::size_t end = at_;
        while (end < size_ && data_[end] != 0) ++end;
        if (end == size_) return std::nullopt;
        std::string text(reinterpret_cast<const char*>(data_ + at_), end - at_);
        const std::size_t padded = (end - at_ + 1 + 3) / 4 * 4;
        if (size_ - at_ < padded) return std::nullopt;
        for (std::size_t n = end; n < at_ + padded; ++n) {
            if (data_[n] != 0) return std::nullopt;
        }
        at_ += padded;
        return text;
    }

    std::optional<Reader> Take(std::size_t count)
    {
        if (size_ - at_ < count) return std::nullopt;
        Reader part(data_ + at_, count);
        at_ += count;
        return part;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

inline std::optional<Message> DecodeMessage(Reader reader)
{
    Message message;
    auto address = reader.String();
    auto tags = reader.String();
    if (!address || !tags || tags->empty() || (*tags)[0] != ',') return std::nullopt;
    message.address = *address;
    message.tags = tags->substr(1);
    for (char tag : message.tags) {
        if (tag == 'i' || tag == 'f') {
            const auto word = reader.Word();
            if (!word) return std::nullopt;
            if (tag == 'i') {
                message.arguments.emplace_back(static_cast<std::int32_t>(*word));
            } else {
                float value;
                std::memcpy(&value, &*word, sizeof value);
                message.arguments.emplace_back(value);
            }
        } else if (tag == 's') {
            auto text = reader.String();
            if (!text) return std::nullopt;
            message.arguments.emplace_back(*text);
        } else {
            return std::nullopt;
        }
    }
    if (!reader.AtEnd()) return std::nullopt;
    return message;
}

inline std::optional<Bundle> DecodeBundle(const std::uint8_t* data, std::size_t size)
{
    Reader reader(data, size);
    Bundle bundle;
    const auto tag = reader.String();
    const auto high = reader.Word();
    const auto low = reader.Word();
    if (!tag || *tag != "#bundle" || !high || !low) return std::nullopt;
    bundle.timeTag = static_cast<std::uint64_t>(*high) << 32 | *low;
    while (!reader.AtEnd()) {
        const auto elementSize = reader.Word();
        if (!elementSize || *elementSize % 4 != 0) return std::nullopt;
        auto element = reader.Take(*elementSize);
        if (!element) return std::nullopt;
        auto message = DecodeMessage(*element);
        if (!message) return std::nullopt;
        bundle.messages.push_back(std::move(*message));
    }
    return bundle;
}

inline std::optional<Bundle> DecodeBundle(const std::vector<std::uint8_t>& bytes)
{
    return DecodeBundle(bytes.data(), bytes.size());
}

} // namespace osc_testing
