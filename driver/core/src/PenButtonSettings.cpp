#include "driver/PenButtonSettings.h"

#include "common/BoardCodes.h"

namespace driver {
namespace {

constexpr const char* kSection = "PENVARO";

} // namespace

ActionMap::ActionMap()
{
    for (int choice = 0; choice < static_cast<int>(code::kPenActions.size()); ++choice) {
        codes_.emplace(choice, code::kPenActions[static_cast<std::size_t>(choice)]);
    }
}

int ActionMap::operator[](int choice)
{
    return codes_[choice];
}

PenButtonSettings ReadPenButtonSettings(const common::Profile& settings, ActionMap& actionMap, int ifSetFNoTDefault)
{
    PenButtonSettings result;
    result.ifSetFNoT = settings.ReadInt(kSection, "IF_SET_F_NO_T", ifSetFNoTDefault);
    result.box1LastChoose = settings.ReadInt(kSection, "BOX1LASTCHOOSE", 5);
    result.box2LastChoose = settings.ReadInt(kSection, "BOX2LASTCHOOSE", 6);
    result.frontAction = actionMap[result.box1LastChoose];
    result.backAction = actionMap[result.box2LastChoose];
    return result;
}

} // namespace driver
