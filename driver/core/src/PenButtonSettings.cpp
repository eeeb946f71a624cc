#include "driver/PenButtonSettings.h"

#include <iterator>

namespace driver {
namespace {

constexpr int kActionCodes[] = {25, 32, 23, 24, 17, 16, 22, 53, 37, 39, 38};
constexpr const char* kSection = "PENVARO";

} // namespace

ActionMap::ActionMap() {
    for (int choice = 0; choice < static_cast<int>(std::size(kActionCodes)); ++choice) {
        codes_.emplace(choice, kActionCodes[choice]);
    }
}

int ActionMap::operator[](int choice) { return codes_[choice]; }

PenButtonSettings ReadPenButtonSettings(const common::Profile& settings, ActionMap& actionMap,
                                        int ifSetFNoTDefault) {
    PenButtonSettings result;
    result.ifSetFNoT = settings.ReadInt(kSection, "IF_SET_F_NO_T", ifSetFNoTDefault);
    result.box1LastChoose = settings.ReadInt(kSection, "BOX1LASTCHOOSE", 5);
    result.box2LastChoose = settings.ReadInt(kSection, "BOX2LASTCHOOSE", 6);
    result.frontAction = actionMap[result.box1LastChoose];
    result.backAction = actionMap[result.box2LastChoose];
    return result;
}

} // namespace driver
