#include "driver/ProtocolHandlers.h"

#include "common/Messages.h"
#include "driver/CalibrationNotes.h"

#include <utility>

namespace driver {
namespace {

constexpr std::intptr_t kCameraConnected = 2321;
constexpr int kSecondGenerationCamera = 2;
constexpr std::uintptr_t kSecondGenerationNotice = 10;

constexpr std::uintptr_t kDisarmPenClick = 10;
constexpr std::uintptr_t kOpenSocket = 30;
constexpr std::uintptr_t kCloseSocket = 31;
constexpr std::uintptr_t kQuerySocket = 100;
constexpr std::uintptr_t kSocketStateReport = 1002;
constexpr std::intptr_t kSocketVariantSlots = 6;
constexpr std::intptr_t kSocketVariantRightHalf = 7;

bool IsSocketVariant(std::intptr_t lParam) {
    return lParam == kSocketVariantSlots || lParam == kSocketVariantRightHalf;
}

} // namespace

ProtocolHandlers::ProtocolHandlers(ProtocolHandlerParts parts)
    : parts_(std::move(parts)),
      forwarding_(parts_.desktop, parts_.state, parts_.pipeHost, parts_.pipe, parts_.faults) {}

void ProtocolHandlers::OnPipeForwardStart(std::uintptr_t, std::intptr_t lParam) { forwarding_.Start(lParam); }

void ProtocolHandlers::OnForwardingNews() { forwarding_.Check(); }

void ProtocolHandlers::OnPipeForwardEnd(std::uintptr_t wParam, std::intptr_t lParam) {
    // Forwarding ends first: neither the failure box nor a camera service
    // slow to answer may keep the board from driving the mouse.
    forwarding_.End();
    // The calibration program ends with (0, 0) after saving a new calibration,
    // also after a run that had already ended by itself.
    if (wParam == 0 && lParam == 0) ReloadCalibration();
}

void ProtocolHandlers::ReloadCalibration() {
    const ScreenSize screen = parts_.desktop.PrimaryScreenSize();
    const bool loaded = parts_.calibration.Reload(parts_.settings, screen.width, screen.height);
    NoteLoadProblems(*parts_.calibration.Current(), parts_.faults);
    if (!loaded && parts_.showReloadFailure) parts_.showReloadFailure();
    const WindowRef service = parts_.desktop.FindWindowByClass(wnd::kCameraServiceClass, wnd::kCameraServiceCaption);
    if (service != 0) parts_.desktop.SendToWindow(service, msg::kCalibrationReloaded, 0, 0);
}

void ProtocolHandlers::OnSetUseKey(std::uintptr_t wParam, std::intptr_t lParam) {
    if (wParam != 1) return;
    const int value = static_cast<int>(lParam);
    parts_.state.boardKeysEnabled = value;
    parts_.calibration.SetUseKey(value);
}

void ProtocolHandlers::OnPenButtonsChanged() {
    parts_.penButtons = ReadPenButtonSettings(parts_.settings, parts_.actionMap, 0);
}

void ProtocolHandlers::OnCameraOk() {
    if (parts_.state.connectNoticeSent != 1) return;
    // Kind 1 and an unknown kind both announce a first-generation camera.
    const std::uintptr_t notice = parts_.state.cameraKind == kSecondGenerationCamera ? kSecondGenerationNotice : 0;
    parts_.desktop.PostToWindow(parts_.desktop.FindWindowByClass(wnd::kDrawingAppClass, wnd::kDrawingAppCaption),
                                msg::kBoardEvent, notice, kCameraConnected);
}

void ProtocolHandlers::OnDriverSet(std::uintptr_t wParam, std::intptr_t lParam) {
    switch (wParam) {
    case kDisarmPenClick:
        if (lParam == 1) parts_.state.penClickArmed = 0;
        return;
    case kOpenSocket:
        if (IsSocketVariant(lParam)) OpenSocket(lParam == kSocketVariantRightHalf ? 1 : 0);
        return;
    case kCloseSocket:
        if (IsSocketVariant(lParam)) CloseSocket();
        return;
    case kQuerySocket:
        parts_.desktop.PostToWindow(parts_.desktop.FindWindowByClass(wnd::kMainToolClass, nullptr), msg::kBoardEvent,
                                    kSocketStateReport, parts_.state.socketMode != 0 ? 1 : 0);
        return;
    default:
        return;
    }
}

void ProtocolHandlers::OpenSocket(int variant) {
    parts_.state.NoteRoutingChange();
    parts_.state.socketVariant = variant;
    // A second open replaces the first connection instead of leaking it.
    parts_.socket.Withdraw();
    parts_.socket.Publish(parts_.socketFactory.OpenStream(kTouchSocketAddress, kTouchSocketPort));
    parts_.state.socketMode = 1;
}

void ProtocolHandlers::CloseSocket() {
    parts_.state.NoteRoutingChange();
    parts_.state.socketMode = 0;
    // A write in flight keeps its own reference; the connection goes when it returns.
    parts_.socket.Withdraw();
}

} // namespace driver
