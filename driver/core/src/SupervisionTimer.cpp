#include "driver/SupervisionTimer.h"

#include "common/BoardCodes.h"
#include "common/Messages.h"
#include "driver/MouseInput.h"

#include <array>

namespace driver {
namespace {

constexpr auto& kSinglePressCodes = code::kCountedOnce;
constexpr auto& kMultiPressCodes = code::kCountedMore;
constexpr unsigned kRearClickSettleMs = 500;

// Windows in front of which a rear-button right click would get in the way.
constexpr std::array<const char*, 4> kRightClickShyWindows = {wnd::kMainToolClass, "wb_lamu", "wb_spotlight",
                                                              "ThunderRT6FormDC"};

} // namespace

bool SupervisionTimer::OnTick(unsigned timerId)
{
    switch (timerId) {
    case kTimerPenAndBoardKeys: ResolveLocalPresses(); return true;
    case kTimerSocketBoardKeys: ResolveSocketPresses(); return true;
    case kTimerSupervision: CompletePenPresses(); return true;
    default: return false;
    }
}

// Each counting timer is killed before its counts are taken: a press counted
// meanwhile restarts it, so that press is reported by this tick or the next
// and never left counted with no timer running.
void SupervisionTimer::ResolveLocalPresses()
{
    desktop_.KillDriverTimer(kTimerPenAndBoardKeys);
    const WindowRef drawingApp = desktop_.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    for (std::size_t key = 0; key < kSinglePressCodes.size(); ++key) {
        // Taking and clearing in one step keeps a press counted meanwhile
        // from being lost between the read and the reset.
        const int presses = state_.boardKeyPressesA[key].exchange(0);
        if (presses >= 2) {
            desktop_.PostToWindow(drawingApp, msg::kBoardEvent, kMultiPressCodes[key], code::kLocalKeySet);
        }
        if (presses >= 1) {
            desktop_.PostToWindow(drawingApp, msg::kBoardEvent, kSinglePressCodes[key], code::kLocalKeySet);
        }
    }
    // The place first: a press counted after the counts are taken may move
    // it, but belongs to the next period anyway.
    const ScreenPosition saved = state_.savedCursor.Load();
    PendingPenClick click{0, 0, saved.x, saved.y};
    click.front = state_.frontPenPresses.exchange(0);
    click.rear = state_.rearPenPresses.exchange(0);
    if (click.front == 0 && click.rear == 0) return;
    ReportFrontPen(click.front, drawingApp);
    if (!ReportRearPen(click.rear, drawingApp)) click.rear = 0;
    pendingClick_ = click;
}

// The socket's user gets one key per period: the lowest one pressed; the
// others pressed in the same period are dropped.
void SupervisionTimer::ResolveSocketPresses()
{
    desktop_.KillDriverTimer(kTimerSocketBoardKeys);
    const WindowRef drawingApp = desktop_.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption);
    for (std::size_t key = 0; key < kSinglePressCodes.size(); ++key) {
        const int presses = state_.boardKeyPressesB[key].exchange(0);
        if (presses == 0) continue;
        for (auto& counter : state_.boardKeyPressesB) counter = 0;
        if (presses >= 2) {
            desktop_.PostToWindow(drawingApp, msg::kBoardEvent, kMultiPressCodes[key], code::kSocketKeySet);
        }
        desktop_.PostToWindow(drawingApp, msg::kBoardEvent, kSinglePressCodes[key], code::kSocketKeySet);
        break;
    }
}

void SupervisionTimer::ReportFrontPen(int presses, WindowRef drawingApp)
{
    if (presses == 0) return;
    if (penButtons_.ifSetFNoT != 0) {
        desktop_.PostToWindow(drawingApp, msg::kPenButtonEvent,
                              presses == 1 ? code::kPenFrontOnce : code::kPenFrontMore, 0);
    } else {
        desktop_.PostToWindow(drawingApp, msg::kBoardEvent, static_cast<std::uintptr_t>(penButtons_.frontAction),
                              code::kPenActionTag);
    }
    desktop_.StartDriverTimer(kTimerSupervision, kPenClickDelayMs);
}

bool SupervisionTimer::ReportRearPen(int presses, WindowRef drawingApp)
{
    if (presses == 0) return true;
    if (presses >= 2 && desktop_.FindWindowByClass(wnd::kMainToolClass, nullptr) == 0) {
        desktop_.PostToWindow(drawingApp, msg::kBoardEvent, code::kRearTwiceWithoutMainTool, 0);
        return false;
    }
    if (penButtons_.ifSetFNoT != 0) {
        desktop_.PostToWindow(drawingApp, msg::kPenButtonEvent, presses == 1 ? code::kPenRearOnce : code::kPenRearMore,
                              0);
    } else {
        desktop_.PostToWindow(drawingApp, msg::kBoardEvent, static_cast<std::uintptr_t>(penButtons_.backAction),
                              code::kPenActionTag);
    }
    desktop_.StartDriverTimer(kTimerSupervision, kPenClickDelayMs);
    return true;
}

// A press completes with a click where the pen was: a left double click for
// the front button, a right click for the rear one. Exactly two front
// presses and two or more rear presses are commands of their own and make
// no click.
void SupervisionTimer::CompletePenPresses()
{
    desktop_.KillDriverTimer(kTimerSupervision);
    const PendingPenClick click = pendingClick_;
    pendingClick_ = PendingPenClick();
    if (!state_.penClickArmed.exchange(true)) return;
    // The cursor may be on any monitor; the click goes where it is.
    const CalibrationStore::Snapshot model = calibration_ ? calibration_() : nullptr;
    const BoardScreen board =
        model ? model->Board() : BoardScreen::Primary(desktop_.PrimaryScreenSize(), desktop_.Monitors());
    const MouseInput mouse(desktop_, board, MouseInput::Reach::Desktop);
    const bool unconditional = penButtons_.ifSetFNoT != 0;
    if (click.front == 1 || click.front > 2) {
        if (unconditional || !MainToolInFront()) mouse.MouseDoubleClick(click.x, click.y);
    }
    if (click.rear == 1) {
        if (unconditional) {
            mouse.MouseRightClickAt(click.x, click.y);
        } else {
            // Give a tool window the pen button brought up time to come
            // to the front before deciding.
            desktop_.SleepMs(kRearClickSettleMs);
            if (!ToolWindowInFront()) mouse.MouseRightClickAt(click.x, click.y);
        }
    }
}

// A missing window is never "in front", even when nothing is in front.
bool SupervisionTimer::MainToolInFront()
{
    const WindowRef mainTool = desktop_.FindWindowByClass(wnd::kMainToolClass, nullptr);
    return mainTool != 0 && mainTool == desktop_.ForegroundWindow();
}

bool SupervisionTimer::ToolWindowInFront()
{
    const WindowRef foreground = desktop_.ForegroundWindow();
    if (foreground == 0) return false;
    for (const char* windowClass : kRightClickShyWindows) {
        if (desktop_.FindWindowByClass(windowClass, nullptr) == foreground) return true;
    }
    return false;
}

} // namespace driver
