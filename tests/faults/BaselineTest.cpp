// The closing proof of every fault scenario on a board whose peers behave:
// if this fails, the scenarios' failures say nothing about the faults.
#include "FaultRun.h"

namespace faults {
namespace {

using Baseline = FaultRun;

TEST_F(Baseline, WellBehavedPeersPassTheFinalTouchTwice)
{
    ASSERT_NO_FATAL_FAILURE(StartPeers());
    EXPECT_TRUE(AnswersPosted());
    ASSERT_NO_FATAL_FAILURE(ExpectFinalTouchWorks());
    // A second time: replacing the camera service is part of the proof.
    ExpectFinalTouchWorks();
}

} // namespace
} // namespace faults
