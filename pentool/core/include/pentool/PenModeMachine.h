#pragma once
// The dialog's two modes. In default mode the lists are greyed and keep the
// last choice on show; in custom mode the user picks actions. Leaving
// default mode brings back the choice remembered when it was entered.
#include <optional>

namespace pentool {

enum class PenMode { Default, Custom };

struct ListSelections {
    int front;
    int back;
    bool operator==(const ListSelections& other) const { return front == other.front && back == other.back; }
};

// What the dialog has to do after a transition.
struct ModeEffect {
    bool listsEnabled;
    std::optional<ListSelections> select; // selections to put back into the lists
};

class PenModeMachine {
public:
    PenModeMachine(PenMode initial, ListSelections stored)
        : mode_(initial),
          remembered_(stored)
    {}

    PenMode Mode() const { return mode_; }
    const ListSelections& Remembered() const { return remembered_; }

    // The default-mode radio was clicked while the lists showed `current`.
    ModeEffect OnDefaultChosen(ListSelections current);
    // The custom-mode radio was clicked.
    ModeEffect OnCustomChosen();
    // OK: the lists' current selections are the choice, in either mode.
    void OnConfirmed(ListSelections current) { remembered_ = current; }

private:
    PenMode mode_;
    ListSelections remembered_;
};

} // namespace pentool
