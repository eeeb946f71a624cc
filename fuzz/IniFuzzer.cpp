// The portable INI reader takes any bytes as a settings file: parse them,
// look names up, write keys and render the text again.
#include "common/IniDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    common::IniDocument document(text);

    // Names taken from the input itself reach sections and keys that exist.
    const std::size_t cut = size / 3;
    const std::string_view section = text.substr(0, cut % 40);
    const std::string_view key = text.substr(cut, cut % 40);
    for (std::size_t buffer : {std::size_t{0}, std::size_t{1}, std::size_t{30}, std::size_t{260}}) {
        document.Find(section, key, buffer);
        document.Find("coordinate", "wdot", buffer);
        document.Find(" Button ", "Rpt0.x", buffer);
    }
    if (const auto value = document.Find(section, key, 260)) common::ParseProfileInt(*value);
    common::ParseProfileInt(text);
    common::TrimProfileName(text);

    document.Set(section, key, text.substr(0, 64));
    document.Set("BoardArea", "ptArea.left", "31");
    common::IniDocument reread(document.Text());
    reread.Find("BoardArea", "ptArea.left", 260);
    return 0;
}
