#pragma once
// The one published calibration model. The window thread builds a new model
// with Load and publishes it whole; the worker thread takes the current
// snapshot and maps through it, so it never sees a half-built model and
// never blocks on a load in progress.
//
// Snapshots are immutable. Changing USE_KEY copies the current model, sets
// the value on the copy and publishes the copy, so a mapping in progress
// keeps the snapshot it started with. Publishing is for one thread at a time
// (the window thread); any thread may read.
#include "driver/Calibration.h"

#include "common/Profile.h"

#include <memory>
#include <mutex>

namespace driver {

class CalibrationStore {
public:
    using Snapshot = std::shared_ptr<const CCalibration>;

    // Starts with a model as constructed (upright, nothing loaded).
    CalibrationStore();

    // The model now published; the reader keeps it alive while it holds it.
    // Takes no lock of the writers' and allocates nothing.
    Snapshot Current() const;

    // Builds a new model from `settings` for the board's monitor and
    // publishes it, with that monitor, whatever Load answered (a failed load
    // is still the model to map with); returns that answer.
    bool Reload(common::Profile& settings, const BoardScreen& board);

    void Publish(Snapshot model);

    void SetUseKey(int value);
    int GetUseKey() const { return Current()->GetUseKey(); }

    // Maps through the current snapshot.
    bool MapPoint(Point& point) const { return Current()->MapPoint(point); }

private:
    std::mutex writers_; // orders copy-and-publish against other writers
    Snapshot current_;
};

} // namespace driver
