#include "sim/ChannelSessionScripts.h"

namespace sim {

std::string SecondPairContactScript()
{
    std::string script;
    for (int sample = 0; sample < 12; ++sample)
        script += "rec 0 0 0 0 0 0 1 " + std::to_string(800 + 20 * sample) + " 600\n";
    return script + "rec 0 0 0 0 0 0 2 1040 600\n";
}

std::string ForwardedContactScript()
{
    return "down 1600 1200\nhold 1600 1200 10\nup 1600 1200\n";
}

} // namespace sim
