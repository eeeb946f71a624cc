#include "driver/SmoothingFactory.h"

#include "driver/FixedBlend.h"
#include "driver/PointFilter.h"

namespace driver {
namespace {

class Unsmoothed final : public SmoothingStage {
public:
    void Start(const Point&, std::uint32_t, PointUnit) override {}
    bool Next(const Point& sample, std::uint32_t, Point& shown) override
    {
        shown = sample;
        return true;
    }
};

} // namespace

SmoothingFactory MakeSmoothing(const FilterSettings& settings)
{
    switch (settings.mode) {
    case FilterMode::Adaptive: {
        const auto chain = [parameters = settings.oneEuro] { return std::make_unique<PointFilter>(parameters); };
        return {chain, chain};
    }
    case FilterMode::Fixed: break;
    }
    return {[] { return std::make_unique<FixedBlend>(); }, [] { return std::make_unique<Unsmoothed>(); }};
}

} // namespace driver
