#pragma once
// The mouse pointer: one machine for the contacts routed to the mouse, from
// a contact's first sample to its release, with the press-and-hold right
// click. Every event is handled in every state; time comes in with the
// events, and silence is judged from it.
//
//   state    | Contact                         | Release         | Silence, Cancel
//   ---------+---------------------------------+-----------------+----------------------
//   Up       | -> Armed (a first sample is     | release -> Up   | -> Up
//            |    often a bounce: dropped)     |                 |
//   Armed    | board-key test; press unless a  | release -> Up   | -> Up
//            | key took it -> Pressed/KeyHeld  |                 |
//   Pressed  | smoothed move (below)           | release -> Up   | release -> Up
//   KeyHeld  | the same, with no button down   | release -> Up   | release -> Up
//
// Smoothing: the pointer's own stage (SmoothingStage.h: the fixed blend, or
// with [Filter] MODE=adaptive the adaptive chain), in camera units, restarted
// at each press; a sample the stage holds back moves nothing.
//
// Every contact and release resets the idle count; every release re-arms
// the one-shot actions (board keys, pen buttons) and goes out even when the
// pointer was up. Silence (no sample for kSilenceMs of records) and Cancel
// (the routing changed, the driver closes) end a contact whose release never
// came: a release made up by the driver, acting on the state like a real one.
//
// Press-and-hold lives beside the contact state, in what went out last:
//
//   hold     | a press went out                | a release went out
//   ---------+---------------------------------+---------------------
//   Counting | anchor at the press, count 0    | -> Disarmed
//   Disarmed | -> Counting                     | stays
//
// While Counting, each move within 7 pixels of the press point (on both
// axes) counts; the 101st clicks left, then right, at that point and
// counting starts over. A press or move that maps off the board goes out as
// a left-up and changes neither; a release off the board disarms as any
// release does.
#include "driver/BoardKeyTest.h"
#include "driver/CalibrationView.h"
#include "driver/Desktop.h"
#include "driver/DriverState.h"
#include "driver/PointerTrace.h"
#include "driver/SmoothingFactory.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace driver {

enum class PointerPhase { Release = 0, Press = 1, Move = 2 };

// One step of a contact as the pointer hands it on to be mapped and injected:
// a point in camera units and whether it presses, moves or releases.
struct PointerSample {
    double x = 0;
    double y = 0;
    PointerPhase phase = PointerPhase::Release;
};

enum class PointerEvent { Contact, Release, Silence, Cancel };
const char* Name(PointerEvent event);

// No sample for longer than this ends a contact: the slowest camera sends
// a frame every 67 ms or so and a held contact keeps sending samples.
inline constexpr std::uint32_t kSilenceMs = 500;

class MousePointer {
public:
    enum class State { Up, Armed, Pressed, KeyHeld };
    enum class Hold { Counting, Disarmed };

    static constexpr int kStillRadius = 8;   // pixels on either axis that end stillness
    static constexpr int kHoldSamples = 100; // still moves before the next one right-clicks

    // `smoothing`: the pointer's stage (by default the one [Filter]'s
    // defaults give).
    MousePointer(Desktop& desktop, DriverState& shared, BoardKeyTest& boardKeys,
                 std::unique_ptr<SmoothingStage> smoothing = MakeSmoothing({}).ForPointer())
        : desktop_(desktop),
          shared_(shared),
          boardKeys_(boardKeys),
          smoothing_(std::move(smoothing))
    {}

    // The outcome of one event.
    struct Step {
        State from;
        State to;
        bool keyTookPress = false;  // a board key took this contact's press
        bool madeUpRelease = false; // a release went out that no sample brought
    };

    // `point` (camera units) matters for Contact only; `now` is the records'
    // clock in milliseconds.
    Step Handle(PointerEvent event, const Point& point, std::uint32_t now, const CalibrationView& calibration);
    // A record went by without a sample for this pointer: Silence once the
    // contact has been quiet for longer than kSilenceMs.
    Step Tick(std::uint32_t now, const CalibrationView& calibration);

    // Maps the sample and injects it: press, move (with the hold count) or
    // release; a point off the board lifts the button whatever the phase.
    void DispatchPointer(const PointerSample& sample, const CalibrationView& calibration);

    // Off while the system's touch injection carries the contacts instead:
    // the machine still runs (board keys, the one-shot actions, the idle
    // count) but injects no mouse input, press-and-hold included.
    void SetMouseOutput(bool on) { mouseOutput_ = on; }

    State CurrentState() const { return state_; }
    Hold CurrentHold() const { return hold_; }
    int HoldCount() const { return holdCount_; }
    ScreenPosition LastPosition() const { return lastPosition_; }

    void SetTrace(PointerTrace* trace) { trace_ = trace; }

private:
    State OnUp(PointerEvent event, Step& step, const CalibrationView& calibration);
    State OnArmed(PointerEvent event, const Point& point, Step& step, const CalibrationView& calibration);
    State OnDown(PointerEvent event, const Point& point, Step& step, const CalibrationView& calibration);

    bool KeyTakesPress(const Point& point, const CalibrationView& calibration);
    void Move(const Point& point, const CalibrationView& calibration);
    void Release(const CalibrationView& calibration);

    Desktop& desktop_;
    DriverState& shared_;
    BoardKeyTest& boardKeys_;
    PointerTrace* trace_ = nullptr;
    bool mouseOutput_ = true;

    State state_ = State::Up;
    Point last_; // camera units, smoothed
    std::uint32_t lastSampleAt_ = 0;
    std::unique_ptr<SmoothingStage> smoothing_;

    Hold hold_ = Hold::Counting;
    ScreenPosition lastPosition_;
    ScreenPosition anchor_;
    int holdCount_ = 0;
};

const char* Name(MousePointer::State state);
const char* Name(MousePointer::Hold hold);

} // namespace driver
