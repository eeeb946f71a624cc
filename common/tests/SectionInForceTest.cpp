// The typed getters: the table's defaults stand in for refused values, and
// each refusal is one line for the support log, a policy's as a file's.
#include "common/SectionInForce.h"
#include "common/TextProfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace common {
namespace {

TEST(SectionInForce, ARefusedValueTakesItsDefaultWithOneLine)
{
    const TextProfile file("[Multitouch]\nTUIO_HOST=board-pc\nTUIO_PORT=4000\n"
                           "[Filter]\nMODE=ADAPTIVE\nBETA=0.2\nSTILL_SPEED=fast\nMIN_CUTOFF=\n");
    PolicyValues policies;
    policies.Set(options::kTuioPort, "70000");
    std::vector<std::string> lines;
    const SettingsSources sources{file, file, policies};
    auto note = [&lines](const char* line) { lines.emplace_back(line); };

    const SectionInForce multitouch(options::kMultitouch, sources, note);
    const OptionValue<IPv4Address> host = multitouch.Address(options::kTuioHost, "TUIO stays off");
    EXPECT_EQ(host.value, (IPv4Address{127, 0, 0, 1}));
    EXPECT_EQ(host.refused, "board-pc");
    const OptionValue<int> port = multitouch.Integer(options::kTuioPort, "a port number", "TUIO stays off");
    EXPECT_EQ(port.value, 3333) << "the file's port does not stand in for the policy's";
    EXPECT_TRUE(port.Refused());

    const SectionInForce filter(options::kFilter, sources, note);
    EXPECT_EQ(filter.Choice(options::kFilterMode, "unused").value, "adaptive");
    EXPECT_DOUBLE_EQ(filter.Number(options::kFilterBeta).value, 0.2);
    EXPECT_EQ(filter.Number(options::kFilterStillSpeed).value, 100);
    const OptionValue<double> empty = filter.Number(options::kFilterMinCutoff);
    EXPECT_EQ(empty.value, 0.5);
    EXPECT_FALSE(empty.Refused()) << "an empty value is the default, not a refusal";

    EXPECT_EQ(lines, (std::vector<std::string>{
                         "[Multitouch] TUIO_HOST=board-pc is not a numeric IPv4 address (names are not looked up); "
                         "TUIO stays off.",
                         "[Multitouch] TUIO_PORT=70000 is not a port number 1..65535; TUIO stays off.",
                         "[Filter] STILL_SPEED=fast is not a number from 0 to 3000; the default 100 is used.",
                     }));

    // Without a note the answer alone tells of the refusal.
    EXPECT_EQ(SectionInForce(options::kMultitouch, sources).Address(options::kTuioHost, "").refused, "board-pc");
}

TEST(JudgedOptionValue, EveryDefaultOfTheTableIsAllowedAndBlanksDoNotCount)
{
    for (const Option* option : kOptions) {
        EXPECT_TRUE(IsAllowedValue(*option, option->fallback)) << option->key;
    }
    EXPECT_EQ(ChoiceValue(options::kFilterMode, " Adaptive\t").value, "adaptive");
    EXPECT_EQ(MonitorValue(options::kMonitor, " \\\\.\\Display2 ").value, "\\\\.\\Display2");
    EXPECT_EQ(IntegerValue(options::kTuioPort, " 3334 ").value, 3334);
    const OptionValue<double> refused = NumberValue(options::kFilterBeta, " 2 ");
    EXPECT_EQ(refused.refused, "2");
    EXPECT_EQ(refused.value, DefaultNumber(options::kFilterBeta));
}

} // namespace
} // namespace common
