#include "driver/ProtocolHandlers.h"

#include "common/BoardCodes.h"
#include "common/Messages.h"
#include "driver/CalibrationNotes.h"

#include <utility>

namespace driver {
namespace {

constexpr int kSecondGenerationCamera = 2;

bool IsSocketVariant(std::intptr_t lParam)
{
    return lParam == code::kSocketPairSplit || lParam == code::kSocketHalfSplit;
}

} // namespace

ProtocolHandlers::ProtocolHandlers(ProtocolHandlerDeps deps)
    : deps_(std::move(deps)),
      forwarding_(deps_.desktop, deps_.state, deps_.pipeHost, deps_.pipe, deps_.faults, deps_.forwardingBounds)
{}

void ProtocolHandlers::OnPipeForwardStart(std::uintptr_t, std::intptr_t lParam)
{
    forwarding_.Start(lParam);
}

void ProtocolHandlers::OnForwardingNews()
{
    forwarding_.Check();
}

void ProtocolHandlers::OnPipeForwardEnd(std::uintptr_t wParam, std::intptr_t lParam)
{
    // Forwarding ends first: neither the failure box nor a camera service
    // slow to answer may keep the board from driving the mouse.
    forwarding_.End();
    // The calibration program ends with (0, 0) after saving a new calibration,
    // also after a run that had already ended by itself.
    if (wParam == 0 && lParam == 0) ReloadCalibration();
}

BoardScreen ProtocolHandlers::PlaceBoard(bool readSettings)
{
    if (deps_.boardMonitor) {
        return (readSettings ? deps_.boardMonitor->Place() : deps_.boardMonitor->PlaceOnCurrentDesktop()).screen;
    }
    return BoardScreen::Primary(deps_.desktop.PrimaryScreenSize(), deps_.desktop.Monitors());
}

void ProtocolHandlers::ReloadCalibration()
{
    const bool loaded = deps_.calibration.Reload(deps_.settings, PlaceBoard(true));
    NoteLoadProblems(*deps_.calibration.Current(), deps_.faults);
    if (!loaded && deps_.showReloadFailure) deps_.showReloadFailure();
    const WindowRef service = deps_.desktop.FindWindowByClass(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    if (service != 0) deps_.desktop.SendToWindow(service, msg::kCalibrationReloaded, 0, 0);
}

void ProtocolHandlers::OnDisplayChange()
{
    ReloadForDisplay(PlaceBoard(true));
}

void ProtocolHandlers::OnDesktopCheck()
{
    // Only a monitor beside the primary screen comes and goes unannounced; a
    // board on the primary screen is placed at the display-change message alone.
    if (!deps_.boardMonitor || deps_.boardMonitor->ChoosesPrimary()) return;
    ReloadIfTheBoardMoved(false);
}

void ProtocolHandlers::OnPoliciesChange()
{
    ReloadIfTheBoardMoved(true);
}

void ProtocolHandlers::ReloadIfTheBoardMoved(bool readSettings)
{
    const BoardScreen board = PlaceBoard(readSettings);
    if (board != deps_.calibration.Current()->Board()) ReloadForDisplay(board);
}

void ProtocolHandlers::ReloadForDisplay(const BoardScreen& board)
{
    const bool loaded = deps_.calibration.Reload(deps_.settings, board);
    const ScreenSize screen = board.Size();
    deps_.faults.NoteF("The display changed: the calibration now maps to %d x %d pixels.", screen.width, screen.height);
    if (!loaded) NoteLoadProblems(*deps_.calibration.Current(), deps_.faults);
}

void ProtocolHandlers::OnSetUseKey(std::uintptr_t wParam, std::intptr_t lParam)
{
    if (wParam != 1) return;
    const int value = static_cast<int>(lParam);
    deps_.state.boardKeysEnabled = value;
    deps_.calibration.SetUseKey(value);
}

void ProtocolHandlers::OnPenButtonsChanged()
{
    deps_.penButtons = ReadPenButtonSettings(deps_.settings, deps_.actionMap, 0);
}

void ProtocolHandlers::OnCameraOk()
{
    if (!deps_.state.connectNoticeSent) return;
    // Kind 1 and an unknown kind both announce a first-generation camera.
    const std::uintptr_t notice =
        deps_.state.cameraKind == kSecondGenerationCamera ? code::kCameraKind2Notice : code::kCameraKind1Notice;
    deps_.desktop.PostToWindow(deps_.desktop.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption),
                               msg::kBoardEvent, notice, code::kCameraConnected);
}

void ProtocolHandlers::OnDriverSet(std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (wParam) {
    case code::kDriverSetSwallowPenClick:
        if (lParam == 1) deps_.state.penClickArmed = false;
        return;
    case code::kDriverSetOpenSocket:
        if (IsSocketVariant(lParam)) {
            OpenSocket(lParam == code::kSocketHalfSplit ? SocketRouting::HalfSplit : SocketRouting::PairSplit);
        }
        return;
    case code::kDriverSetCloseSocket:
        if (IsSocketVariant(lParam)) CloseSocket();
        return;
    case code::kDriverSetQuerySocket:
        deps_.desktop.PostToWindow(deps_.desktop.FindWindowByClass(wnd::kMainToolClass, nullptr), msg::kBoardEvent,
                                   code::kSocketStateAnswer, deps_.state.socketRouting != SocketRouting::Off ? 1 : 0);
        return;
    default: return;
    }
}

void ProtocolHandlers::OpenSocket(SocketRouting routing)
{
    deps_.state.NoteRoutingChange();
    // A second open replaces the first connection instead of leaking it.
    deps_.socket.Withdraw();
    deps_.socket.Publish(deps_.socketFactory.OpenStream(kTouchSocketAddress, kTouchSocketPort));
    deps_.state.socketRouting = routing;
}

void ProtocolHandlers::CloseSocket()
{
    deps_.state.NoteRoutingChange();
    deps_.state.socketRouting = SocketRouting::Off;
    // A write in flight keeps its own reference; the connection goes when it returns.
    deps_.socket.Withdraw();
}

} // namespace driver
