#include "pentool/PenModeMachine.h"

#include <gtest/gtest.h>

namespace pentool {
namespace {

TEST(PenModeMachine, DefaultModeRemembersTheListsAndGreysThem)
{
    PenModeMachine machine(PenMode::Custom, {5, 6});
    const ModeEffect effect = machine.OnDefaultChosen({2, 9});
    EXPECT_EQ(machine.Mode(), PenMode::Default);
    EXPECT_FALSE(effect.listsEnabled);
    EXPECT_FALSE(effect.select.has_value());
    EXPECT_EQ(machine.Remembered(), (ListSelections{2, 9}));
}

TEST(PenModeMachine, BackToCustomModeRestoresTheRememberedChoice)
{
    PenModeMachine machine(PenMode::Custom, {5, 6});
    machine.OnDefaultChosen({1, 3});
    const ModeEffect effect = machine.OnCustomChosen();
    EXPECT_EQ(machine.Mode(), PenMode::Custom);
    EXPECT_TRUE(effect.listsEnabled);
    ASSERT_TRUE(effect.select.has_value());
    EXPECT_EQ(*effect.select, (ListSelections{1, 3}));
}

TEST(PenModeMachine, StartingInDefaultModeRestoresTheStoredChoice)
{
    PenModeMachine machine(PenMode::Default, {2, 9});
    const ModeEffect effect = machine.OnCustomChosen();
    ASSERT_TRUE(effect.select.has_value());
    EXPECT_EQ(*effect.select, (ListSelections{2, 9}));
}

TEST(PenModeMachine, ClickingTheActiveRadioAgainChangesNothing)
{
    // Custom mode, the user has picked 0 and 10 but not confirmed yet.
    PenModeMachine machine(PenMode::Custom, {5, 6});
    const ModeEffect again = machine.OnCustomChosen();
    EXPECT_TRUE(again.listsEnabled);
    EXPECT_FALSE(again.select.has_value()) << "re-selecting custom mode would undo the user's picks";

    // Default mode: the greyed lists show the remembered choice; a second
    // click must not overwrite it with whatever the lists hold.
    machine.OnDefaultChosen({0, 10});
    machine.OnDefaultChosen({7, 8});
    EXPECT_EQ(machine.Remembered(), (ListSelections{0, 10}));
}

} // namespace
} // namespace pentool
