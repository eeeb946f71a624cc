#include "driver/CalibrationStore.h"

#include <atomic>
#include <utility>

namespace driver {

CalibrationStore::CalibrationStore()
    : current_(std::make_shared<const CCalibration>())
{}

CalibrationStore::Snapshot CalibrationStore::Current() const
{
    return std::atomic_load(&current_);
}

bool CalibrationStore::Reload(common::Profile& settings, const BoardScreen& board)
{
    auto model = std::make_shared<CCalibration>();
    const bool loaded = model->Load(settings, board);
    Publish(std::move(model));
    return loaded;
}

void CalibrationStore::Publish(Snapshot model)
{
    if (!model) return;
    std::lock_guard<std::mutex> lock(writers_);
    std::atomic_store(&current_, std::move(model));
}

void CalibrationStore::SetUseKey(int value)
{
    std::lock_guard<std::mutex> lock(writers_);
    auto copy = std::make_shared<CCalibration>(*std::atomic_load(&current_));
    copy->SetUseKey(value);
    std::atomic_store(&current_, Snapshot(std::move(copy)));
}

} // namespace driver
