// Prints the options table, one option a line, tab-separated, for the
// generator of the policy templates, the package's option rows and the
// documents' option tables: section, key, type, minimum, maximum, choices,
// default, property, scope, the policy key, the registry type of the
// policy's value, the policy's name and the package component's GUID.
// Built on the machine that builds (natively by CMake, by scripts/dist.sh
// for a cross build), never shipped.
#include "common/Options.h"

#include <cstdio>

namespace {

const char* TypeName(common::OptionType type)
{
    switch (type) {
    case common::OptionType::Switch: return "switch";
    case common::OptionType::Integer: return "integer";
    case common::OptionType::Number: return "number";
    case common::OptionType::Address: return "address";
    case common::OptionType::Choice: return "choice";
    case common::OptionType::Monitor: return "monitor";
    }
    return "?";
}

} // namespace

int main()
{
    for (const common::Option* o : common::kOptions) {
        std::printf("%s\t%s\t%s\t%g\t%g\t%s\t%s\t%s\t%s\t%s\\%s\t%s\t%s\t%s\n", o->section, o->key,
                    TypeName(o->type), o->minimum, o->maximum, o->choices, o->fallback, o->property,
                    o->scope == common::OptionScope::Machine ? "machine" : "user", common::kPolicyKey, o->section,
                    common::IsDwordOption(*o) ? "REG_DWORD" : "REG_SZ", o->policy, o->component);
    }
    return 0;
}
