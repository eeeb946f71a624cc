#pragma once
// The pen-button choices of section PENVARO and the action codes the window
// thread's timer acts on.
#include "common/Profile.h"

#include <map>

namespace driver {

// Pen-button choice index (as the pen-button tool stores it) to action code.
// A choice outside 0..10 is added with action 0 and answers 0.
class ActionMap {
public:
    ActionMap();
    int operator[](int choice);
    std::size_t size() const { return codes_.size(); }

private:
    std::map<int, int> codes_;
};

struct PenButtonSettings {
    int ifSetFNoT = 1;
    int box1LastChoose = 5;
    int box2LastChoose = 6;
    int frontAction = 0;
    int backAction = 0;
};

// Reads IF_SET_F_NO_T, BOX1LASTCHOOSE and BOX2LASTCHOOSE and resolves the
// two actions through `actionMap`. Start-up takes IF_SET_F_NO_T as 1 when it
// is missing; a reload on the pen-button tool's request takes it as 0.
PenButtonSettings ReadPenButtonSettings(const common::Profile& settings, ActionMap& actionMap,
                                        int ifSetFNoTDefault = 1);

} // namespace driver
