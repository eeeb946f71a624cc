#pragma once
// Every contact the camera reports, one per slot, for the outputs that carry
// all of them (TUIO cursors, touch pointers) rather than one mouse pointer.
// Each slot runs its own machine:
//
//   state  | key takes     | contact sample   | release      | silence      | end all
//   -------+---------------+------------------+--------------+--------------+-------------
//   Idle   | -> Taken      | dropped -> Armed | -> Idle      | -            | -> Idle
//   Armed  | -> Taken      | starts -> Live   | -> Idle      | -> Idle      | -> Idle
//   Live   | ends -> Taken | moves -> Live    | ends -> Idle | ends -> Idle | ends -> Idle
//   Taken  | -> Taken      | -> Taken         | -> Idle      | -> Idle      | -> Idle
//
// A key's take of a record comes before that record's sample: the press a
// key took never starts a contact.
//
// The first contact sample after a release is dropped, as the pointers drop
// it, and the second starts the contact with a new session id. Session ids
// count up from 1 and are never handed out twice (after 2^31 - 1 contacts
// they start again at 1). A contact's touch pointer id is its slot, so no id
// is used twice while its contact is down.
//
// Silence: a slot that is not Idle and gets no sample for longer than
// kSilenceMs of the records handed to Update is ended, as
// the pointers are. Records that never reach the gesture machines (pen
// buttons, forwarding) are not handed to Update either: their time does not
// count.
//
// Positions: each sample is mapped to screen pixels through the calibration.
// A sample that maps off the board is kept on the screen the way the touch
// socket keeps its contacts: the mapping's result clamped to 0..W and 0..H
// (a point in no calibrated cell is clamped as it comes back, in camera
// units). So no output ever points off the screen, and a contact that
// slides past the edge follows along it.
//
// Smoothing: each slot's own stage (SmoothingStage.h; none by default, the
// adaptive chain with [Filter] MODE=adaptive) smooths the camera point
// before it is mapped; the stage restarts with each contact, whose first
// point passes unchanged, and a sample the stage holds back leaves the
// contact where it was. The stage's clock is the records' time handed to
// Update.
//
// Motion is measured in screen widths and heights (the TUIO convention):
// velocity from the previous sample and the records' time between the two,
// acceleration as the change of speed (the length of the velocity) over that
// time. A contact's first sample has none; samples with no time between them
// keep the previous motion.
#include "driver/CalibrationView.h"
#include "driver/SmoothingFactory.h"
#include "driver/TouchRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace driver {

struct TrackedContact {
    int slot = 0;              // 0..3; also the touch pointer id
    std::uint32_t session = 0; // TUIO session id, 1..2^31 - 1
    Point screen;              // screen pixels, within 0..W x 0..H
    double x = 0;              // screen.x / W, 0..1
    double y = 0;              // screen.y / H, 0..1
    double velocityX = 0;      // screen widths per second
    double velocityY = 0;      // screen heights per second
    double acceleration = 0;   // change of speed per second
    bool started = false;      // this snapshot started it
};

enum class ContactEnd : std::uint8_t {
    Released,   // the slot's release sample
    Silent,     // no sample for longer than the silence bound
    EndedAll,   // routing changed or the driver closes
    TakenByKey, // a board key took the contact after all
};

struct EndedContact {
    TrackedContact last; // as it was last reported
    ContactEnd why = ContactEnd::Released;
};

// What one record (or EndAll) did to the contacts.
struct ContactSnapshot {
    // Every live contact, in slot order, whether or not this record sampled it.
    std::array<TrackedContact, kPointSlots> live{};
    std::size_t liveCount = 0;
    // Contacts that ended with this snapshot, in slot order.
    std::array<EndedContact, kPointSlots> ended{};
    std::size_t endedCount = 0;
    // The record carried a contact or a release sample in some slot.
    bool sampled = false;

    // The outputs send a frame for this snapshot: it carries a sample or ends
    // a contact.
    bool Newsworthy() const { return sampled || endedCount != 0; }
};

class ContactTracker {
public:
    enum class SlotState { Idle, Armed, Live, Taken };

    // Slots whose press a board key took, one bit per slot (bit s: slot s).
    using SlotMask = std::uint8_t;

    // Each slot gets a smoothing stage of its own from `smoothing`.
    explicit ContactTracker(const SmoothingFactory& smoothing = MakeSmoothing({}));

    // One record handed to the gesture machines, decoded as they decode it
    // (turned when the camera hangs upside down); `elapsedMs` is the records'
    // time since the previous call. `takenByKey` names the slots whose press
    // a board key took while the gesture machines handled this record: their
    // contacts stay out of the outputs until their release (one already out
    // ends, TakenByKey). The snapshot stays valid until the next call of
    // Update or EndAll.
    const ContactSnapshot& Update(const TouchRecord& record, std::uint32_t elapsedMs,
                                  const CalibrationView& calibration, SlotMask takenByKey = 0);

    // For a record that does not reach the tracker (a pen button's): the
    // live contacts as they are, nothing sampled, nothing ended, no time
    // passed. Lets the touch output keep held contacts alive meanwhile.
    const ContactSnapshot& Hold();

    // Ends every contact: at a change of routing, when forwarding to another
    // program starts, and when the driver closes. Armed and taken slots go
    // back to Idle, so a contact still on the board starts anew.
    const ContactSnapshot& EndAll();

    SlotState StateOf(int slot) const { return slots_[static_cast<std::size_t>(slot)].state; }
    const ContactSnapshot& Snapshot() const { return snapshot_; }

private:
    struct Slot {
        SlotState state = SlotState::Idle;
        // Records' time since this slot's last sample.
        std::uint32_t sinceSampleMs = 0;
        TrackedContact contact;
        std::unique_ptr<SmoothingStage> smoothing;
    };

    // The slot's events; each switches on the slot's state.
    void OnContact(Slot& slot, int index, const Point& cameraPoint, const CalibrationView& calibration);
    void OnRelease(Slot& slot);
    void OnSilence(Slot& slot);
    void OnEndAll(Slot& slot);
    void OnKeyTake(Slot& slot);

    void Start(Slot& slot, int index, const Point& screen, ScreenSize size);
    void Move(Slot& slot, const Point& screen, ScreenSize size);
    void End(Slot& slot, ContactEnd why);
    void BeginSnapshot();
    void FinishSnapshot();
    std::uint32_t NextSession();

    std::array<Slot, kPointSlots> slots_{};
    ContactSnapshot snapshot_;
    std::uint32_t lastSession_ = 0;
    // The records' time handed to Update, for the slots' stages.
    std::uint32_t clock_ = 0;
};

} // namespace driver
