#include "calibration/WritePlan.h"

#include "calibration/SettingsUpdate.h"

#include "common/TextProfile.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace calibration {
namespace {

std::vector<int> AllTargets(const TargetLayout& layout)
{
    std::vector<int> all;
    for (int t = 0; t < layout.Count(); ++t) all.push_back(t);
    return all;
}

std::shared_ptr<driver::CCalibration> LoadAsDriver(const std::string& text, ScreenSize screen, bool& sound)
{
    auto model = std::make_shared<driver::CCalibration>();
    common::TextProfile settings(text);
    sound = model->Load(settings, driver::BoardScreen::PrimaryOnly(screen));
    return model;
}

// The corners of the cells the driver's load refused: a diagonal without
// extent on an axis (after the border push, as the load tests it) or a
// transform that could not be solved.
std::vector<int> CornersOfRefusedCells(const TargetLayout& layout, const driver::CCalibration& model)
{
    std::set<int> corners;
    int n = 0;
    for (int i = 0; i + 1 < model.GridColumns(); ++i) {
        for (int j = 0; j + 1 < model.GridRows(); ++j, ++n) {
            const Point a = model.DotPoint(i, j);
            const Point b = model.DotPoint(i + 1, j + 1);
            bool refused = b.x - a.x == 0 || b.y - a.y == 0;
            for (int c = 0; c < 8; ++c) refused = refused || !std::isfinite(model.CellTransform(n)[c]);
            if (!refused) continue;
            for (const GridPoint g :
                 {GridPoint{i, j}, GridPoint{i + 1, j}, GridPoint{i + 1, j + 1}, GridPoint{i, j + 1}})
                corners.insert(layout.TargetAt(g));
        }
    }
    if (corners.empty()) return AllTargets(layout);
    return {corners.begin(), corners.end()};
}

std::vector<int> TargetsMappingElsewhere(const TargetLayout& layout, const MeasuredGrid& grid,
                                         const driver::CCalibration& model)
{
    std::vector<int> elsewhere;
    for (int t = 0; t < layout.Count(); ++t) {
        Point p = grid.camera[static_cast<std::size_t>(t)];
        // The driver turns every contact of an upside-down camera first.
        if (model.Upright() == 0) p = driver::TurnedUpsideDown(p);
        const Point target = layout.ScreenPoint(t);
        if (!model.MapPoint(p) || std::hypot(p.x - target.x, p.y - target.y) > kMapsOntoTargetPx)
            elsewhere.push_back(t);
    }
    return elsewhere;
}

// A fold with a stray corner is that stray's doing: only the stray is named.
void KeepFoldsWithoutStrays(std::vector<GridFinding>& folds, const std::vector<GridFinding>& strays)
{
    if (strays.empty()) return;
    const auto& stray = strays.front().targets;
    folds.erase(std::remove_if(folds.begin(), folds.end(),
                               [&](const GridFinding& fold) {
                                   return std::any_of(fold.targets.begin(), fold.targets.end(), [&](int t) {
                                       return std::find(stray.begin(), stray.end(), t) != stray.end();
                                   });
                               }),
                folds.end());
}

std::vector<GridFinding> CheckKeys(const TaughtKeys& keys, const driver::CCalibration& model)
{
    GridFinding finding{GridFault::UnusableKey, {}};
    for (int key = 0; key < kBoardKeys; ++key)
        if (!model.KeyUsable(KeyPointIndex(keys.copy, key))) finding.targets.push_back(key);
    // The driver's hit tolerance comes from the heights between keys: keys
    // touched in another order than printed leave none.
    if (finding.targets.empty() && model.KeyToleranceAsComputed() <= 0)
        for (int key = 0; key < kBoardKeys; ++key) finding.targets.push_back(key);
    if (finding.targets.empty()) return {};
    return {finding};
}

} // namespace

std::vector<int> WritePlan::RetakeTargets() const
{
    std::set<int> targets;
    for (const GridFinding& f : findings)
        if (f.fault != GridFault::UnusableKey) targets.insert(f.targets.begin(), f.targets.end());
    return {targets.begin(), targets.end()};
}

std::vector<int> WritePlan::RetakeKeys() const
{
    std::set<int> keys;
    for (const GridFinding& f : findings)
        if (f.fault == GridFault::UnusableKey) keys.insert(f.targets.begin(), f.targets.end());
    return {keys.begin(), keys.end()};
}

WritePlan PlanSettingsWrite(std::string_view oldText, const SettingsChange& change, ScreenSize screen)
{
    WritePlan plan;
    const TargetLayout layout(change.grid.grid, screen);
    if (!IsValidGrid(change.grid.grid) || static_cast<int>(change.grid.camera.size()) != layout.Count()) {
        plan.findings.push_back({GridFault::RefusedByDriver, {}});
        return plan;
    }

    // (b) and (c): the geometry of the points alone.
    plan.findings = FindPointsOutsideCamera(layout, change.grid);
    if (plan.findings.empty()) {
        const std::vector<GridFinding> strays = FindStrayPoints(layout, change.grid);
        std::vector<GridFinding> folds = FindFoldedCells(layout, change.grid);
        KeepFoldsWithoutStrays(folds, strays);
        plan.findings.insert(plan.findings.end(), strays.begin(), strays.end());
        plan.findings.insert(plan.findings.end(), folds.begin(), folds.end());
    }
    if (!plan.Sound()) return plan;

    // (a): what the driver makes of the text that would be written.
    std::string text = WithGrid(oldText, change.grid);
    bool loaded = false;
    std::shared_ptr<driver::CCalibration> model = LoadAsDriver(text, screen, loaded);
    if (!loaded) {
        plan.findings.push_back({GridFault::RefusedByDriver, CornersOfRefusedCells(layout, *model)});
        return plan;
    }
    const std::vector<int> elsewhere = TargetsMappingElsewhere(layout, change.grid, *model);
    if (!elsewhere.empty()) {
        plan.findings.push_back({GridFault::MapsElsewhere, elsewhere});
        return plan;
    }

    if (change.keys) {
        text = WithBoardKeys(text, *change.keys, model->Upright() == 0);
        model = LoadAsDriver(text, screen, loaded);
        plan.findings = CheckKeys(*change.keys, *model);
        if (!plan.Sound()) return plan;
    }
    plan.newText = std::move(text);
    plan.model = std::move(model);
    return plan;
}

WriteOutcome WriteSettings(FileAccess& files, const std::string& path, const WritePlan& plan)
{
    if (!plan.Sound() || !plan.model) return WriteOutcome::NotSound;
    return WriteWholeOrNothing(files, path, plan.newText);
}

} // namespace calibration
