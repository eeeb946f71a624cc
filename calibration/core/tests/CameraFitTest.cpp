// Which model the measured pairs fix, and how well it predicts.
#include "CalibrationTestKit.h"

#include "calibration/CameraFit.h"

#include <gtest/gtest.h>

namespace {

using calibration::CameraFit;
using calibration::FitKind;
using calibration::MeasuredPair;
using calibration_testing::TestCamera;
using driver::Point;

std::vector<MeasuredPair> Pairs(const TestCamera& camera, std::initializer_list<Point> screens)
{
    std::vector<MeasuredPair> pairs;
    for (const Point& s : screens) pairs.push_back({s, camera.See(s)});
    return pairs;
}

double Miss(const CameraFit& fit, const TestCamera& camera, const Point& screen)
{
    const auto predicted = fit.Predict(screen);
    if (!predicted) return INFINITY;
    const Point seen = camera.See(screen);
    return std::hypot(predicted->x - seen.x, predicted->y - seen.y);
}

// The grid's first column lies on one screen line and fixes no more than
// that line; a column and one point beside it fix an affine map only. A fit
// that took more from noisy camera points would predict at random.
TEST(CameraFit, TheModelIsWhatTheScreenPlacesFix)
{
    const TestCamera camera;
    struct Case {
        const char* what;
        std::vector<MeasuredPair> pairs;
        FitKind kind;
    };
    const Case cases[] = {
        {"one point", Pairs(camera, {{100, 100}}), FitKind::None},
        {"a column", Pairs(camera, {{100, 100}, {100, 300}, {100, 500}}), FitKind::Line},
        {"three corners", Pairs(camera, {{100, 100}, {100, 500}, {600, 100}}), FitKind::Affine},
        {"a column and a point", Pairs(camera, {{100, 100}, {100, 300}, {100, 500}, {100, 700}, {600, 100}}),
         FitKind::Affine},
        {"two columns", Pairs(camera, {{100, 100}, {100, 300}, {100, 500}, {600, 100}, {600, 300}}),
         FitKind::Projective},
    };
    for (const Case& c : cases) EXPECT_EQ(CameraFit::Of(c.pairs).Kind(), c.kind) << c.what;
}

TEST(CameraFit, PredictionsAreExactForPerspectiveAndCloseForALens)
{
    const std::initializer_list<Point> corners = {{100, 100}, {900, 100}, {900, 700}, {100, 700}};
    const Point far{1000, 50}; // beyond the measured corners
    const TestCamera perspective;
    EXPECT_LT(Miss(CameraFit::Of(Pairs(perspective, corners)), perspective, far), 1e-6);

    // A lens bends the picture; the points nearest a place say most about it.
    const TestCamera lens(false, -0.1);
    const std::initializer_list<Point> around = {{400, 300}, {500, 300}, {600, 300}, {400, 400},
                                                 {600, 400}, {400, 500}, {500, 500}, {600, 500}};
    EXPECT_LT(Miss(CameraFit::Of(Pairs(lens, around)), lens, {500, 400}), 3);

    // A line knows its own places only.
    const CameraFit column = CameraFit::Of(Pairs(perspective, {{100, 100}, {100, 300}}));
    EXPECT_LT(Miss(column, perspective, {100, 200}), 10) << "the perspective shortens a column only a little";
    EXPECT_FALSE(column.Predict({300, 200}));
}

} // namespace
