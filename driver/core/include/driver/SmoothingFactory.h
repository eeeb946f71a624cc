#pragma once
// Which smoothing every pointer and tracked contact gets, chosen once from
// [Filter] as the driver reads it (FilterSettings.h):
//
//   mode      | mouse, touch socket   | each tracked contact (TUIO, touch)
//   ----------+-----------------------+-----------------------------------
//   fixed     | the fixed blend       | none: the points as they come
//   adaptive  | its own adaptive chain, with the section's parameters
//
// The pointers and the tracker take their stages from here and never see the
// mode. Stages are made when their owners are built, never in the worker's
// cycle.
#include "driver/FilterSettings.h"
#include "driver/SmoothingStage.h"

#include <functional>
#include <memory>
#include <utility>

namespace driver {

class SmoothingFactory {
public:
    using MakeStage = std::function<std::unique_ptr<SmoothingStage>()>;

    SmoothingFactory(MakeStage forPointer, MakeStage forContact)
        : forPointer_(std::move(forPointer)),
          forContact_(std::move(forContact))
    {}

    std::unique_ptr<SmoothingStage> ForPointer() const { return forPointer_(); }
    std::unique_ptr<SmoothingStage> ForContact() const { return forContact_(); }

private:
    MakeStage forPointer_;
    MakeStage forContact_;
};

SmoothingFactory MakeSmoothing(const FilterSettings& settings);

} // namespace driver
