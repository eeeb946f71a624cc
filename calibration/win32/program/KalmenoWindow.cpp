#include "KalmenoWindow.h"

#include "GdiObjects.h"
#include "resource.h"

#include "calibration/FlowLogLines.h"
#include "calibration/FlowScreen.h"
#include "calibration/PenSample.h"
#include "common/BoardStatusRequest.h"
#include "common/DialogIcon.h"
#include "common/EventLogSource.h"
#include "common/LocalTimeText.h"
#include "common/Messages.h"
#include "common/TextEncoding.h"

#include <cmath>
#include <exception>

namespace kalmeno {
namespace {

using calibration::CancelCause;
using calibration::FlowStage;
using calibration::ForwardingError;
using calibration::RunOutcome;
using calibration::WindowEvent;

constexpr UINT_PTR kTickTimer = 1;

std::uint32_t Now()
{
    return GetTickCount();
}

POINT Rounded(const driver::Point& p)
{
    return {static_cast<LONG>(std::lround(p.x)), static_cast<LONG>(std::lround(p.y))};
}

} // namespace

CancelCause CauseOf(ForwardingError error)
{
    switch (error) {
    case ForwardingError::DriverNotRunning: return CancelCause::DriverNotRunning;
    case ForwardingError::PipeNotOffered: return CancelCause::PipeNotOffered;
    case ForwardingError::PipeBroken: return CancelCause::PipeBroken;
    case ForwardingError::DriverGone: return CancelCause::DriverGone;
    case ForwardingError::RecordsStopped: return CancelCause::RecordsStopped;
    case ForwardingError::None: break;
    }
    return CancelCause::None;
}

CancelCause CauseOf(WindowEvent event)
{
    switch (event) {
    case WindowEvent::CalibrationKey: return CancelCause::CalibrationKey;
    case WindowEvent::CloseAsked: return CancelCause::CloseAsked;
    case WindowEvent::Escape: return CancelCause::Escape;
    case WindowEvent::DisplayChanged: return CancelCause::DisplayChanged;
    case WindowEvent::None:
    case WindowEvent::RecordsWaiting: break;
    }
    return CancelCause::None;
}

bool WindowTimer::Start(HWND window, UINT_PTR id, UINT periodMs)
{
    Stop();
    if (!SetTimer(window, id, periodMs, nullptr)) return false;
    window_ = window;
    id_ = id;
    return true;
}

void WindowTimer::Stop()
{
    if (window_) KillTimer(window_, id_);
    window_ = nullptr;
}

KalmenoWindow::KalmenoWindow(HINSTANCE instance, WindowSetup setup)
    : setup_(std::move(setup)),
      flow_(setup_.options, {setup_.monitor.Width(), setup_.monitor.Height()}, files_, setup_.settingsPath, Now(),
            setup_.cameraOffered),
      log_(common::SupportLogFile::DefaultPath(), "Kalmeno"),
      instance_(instance),
      class_(instance, &KalmenoWindow::Procedure)
{}

KalmenoWindow::~KalmenoWindow()
{
    // The run ends before its window: the driver is told while the window
    // its records were posted to still exists, and the camera is given back.
    GiveCameraBack();
    EndForwarding(RunOutcome::Cancelled);
    ticks_.Stop();
    if (window_) SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
}

ExitCode KalmenoWindow::Run()
{
    window_ = class_.Create(setup_.monitor, this);
    if (!window_) {
        Log("Could not create the calibration window (system error " + std::to_string(GetLastError()) + ").");
        const std::wstring caption = common::Wide(setup_.texts.Get(calibration::texts::kCaption));
        MessageBoxW(nullptr, common::Wide(setup_.texts.Get(calibration::texts::kNoWindow)).c_str(), caption.c_str(),
                    MB_OK | MB_ICONERROR | MB_TOPMOST);
        return ExitCode::NoWindow;
    }
    common::SetDialogIcon(window_.Get(), LoadIconW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME)));
    ShowWindow(window_.Get(), SW_SHOW);
    SetForegroundWindow(window_.Get());
    Show(true);
    ticks_.Start(window_.Get(), kTickTimer, kTickMs);
    Advance();

    MSG message;
    while ((!flow_.Finished() || session_) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return Outcome();
}

ExitCode KalmenoWindow::Outcome() const
{
    switch (flow_.Stage()) {
    case FlowStage::Done: return ExitCode::Done;
    case FlowStage::Failed: return ExitCode::Failed;
    default: return ExitCode::Cancelled;
    }
}

LRESULT CALLBACK KalmenoWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<KalmenoWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // Nothing thrown may cross into the system's code.
    try {
        return self->Handle(window, message, wParam, lParam);
    } catch (const std::exception& e) {
        self->Log(std::string("Message ") + std::to_string(message) + " met an unexpected error: " + e.what() + ".");
    } catch (...) {
        self->Log("Message " + std::to_string(message) + " met an unexpected error.");
    }
    return 0;
}

LRESULT KalmenoWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WindowEvent event = calibration::ClassifyWindowMessage(message, wParam, lParam);
    if (event == WindowEvent::RecordsWaiting) {
        OnRecordsWaiting();
        return 0;
    }
    if (message == kCameraFramesMessage) {
        OnCameraFrames();
        return 0;
    }
    if (calibration::CancelsCalibration(event)) {
        // A close is ours to act on: the window goes when the run is over.
        OnOutsideEvent(event);
        return 0;
    }
    switch (message) {
    case WM_KEYDOWN: OnKey(wParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        // Forwarding is over on the last screen, so a touch of the board
        // arrives as the mouse's.
        flow_.Dismiss(Now());
        Advance();
        return 0;
    case WM_TIMER:
        if (wParam != kTickTimer) break;
        // Frames whose message went astray wait no longer than a tick.
        OnCameraFrames();
        flow_.OnTick(Now());
        EndForwardingIfLifted();
        Advance();
        return 0;
    case WM_SETCURSOR:
        // No arrow over the targets: the board does not drive the mouse
        // while its touches are forwarded, and a still arrow misleads. Nor
        // over the camera's pattern, where it would be filmed.
        if ((flow_.TakesRecords() || flow_.Stage() == FlowStage::Camera) && LOWORD(lParam) == HTCLIENT) {
            SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_ERASEBKGND: return 1; // painted whole, in one go
    case WM_PAINT: {
        const PaintScope paint(window);
        RECT client;
        GetClientRect(window, &client);
        PaintBoardPicture(paint.Dc(), client, shown_);
        return 0;
    }
    }
    // The class is registered with the narrow functions, so its windows get
    // the narrow default handling.
    return DefWindowProcW(window, message, wParam, lParam);
}

void KalmenoWindow::OnOutsideEvent(WindowEvent event)
{
    // The driver closes on the key's first contact and forwards that very
    // record after the close: the pen is on the key now, whatever came yet.
    if (event == WindowEvent::CalibrationKey && session_) penDown_ = true;
    flow_.Cancel(CauseOf(event), Now());
    Advance();
}

void KalmenoWindow::OnKey(WPARAM key)
{
    switch (flow_.Stage()) {
    case FlowStage::Choice:
        if (key == VK_RETURN) flow_.ChooseAutomatic(Now());
        else if (key == 'T') flow_.ChooseTouch(Now());
        break;
    case FlowStage::Untrusted:
        if (key == VK_RETURN) flow_.ChooseTouch(Now());
        else flow_.Dismiss(Now());
        break;
    default:
        if (key == VK_BACK) flow_.Undo(Now());
        else flow_.Dismiss(Now());
        break;
    }
    Advance();
}

void KalmenoWindow::OnRecordsWaiting()
{
    if (!session_) return; // a hand-over of a session that has ended
    session_->OnHandOver();
    if (forwardingFailure_) {
        flow_.Cancel(CauseOf(*forwardingFailure_), Now());
        forwardingFailure_.reset();
        penDown_ = false; // the driver ended the forwarding: nothing left to keep
    }
    EndForwardingIfLifted();
    Advance();
}

void KalmenoWindow::OnCameraFrames()
{
    if (!frames_) return; // a hand-over of frames that have stopped
    for (const calibration::CameraPicture& picture : frames_->Take()) {
        if (flow_.Stage() != FlowStage::Camera) break;
        flow_.OnCameraFrame(picture, Now());
        // A frame may settle a pattern: the next is painted before the
        // next frame is looked at, which was filmed before it anyway.
        ShowNewPattern();
    }
    Advance();
}

// Runs inside the session's hand-over: the run is only fed here, and what
// it comes to is acted on once the hand-over is over.
void KalmenoWindow::OnRecord(const calibration::RawRecord& record)
{
    const auto& bytes = *reinterpret_cast<const driver::TouchRecordBytes*>(record.data());
    const auto sample = calibration::PenSampleFromRecord(bytes, Now());
    if (!sample) return;
    penDown_ = sample->down;
    if (flow_.TakesRecords()) flow_.OnSample(*sample);
}

void KalmenoWindow::Advance()
{
    // An entry may move the run on again (a save, a forwarding that does
    // not begin); each stage is entered at most once a run.
    for (int entries = 0; entries < 8 && (!entered_ || *entered_ != flow_.Stage()); ++entries) {
        if (entered_ == FlowStage::Camera) GiveCameraBack();
        entered_ = flow_.Stage();
        Enter(*entered_);
    }
    ShowNewPattern();
    Show();
}

void KalmenoWindow::Enter(FlowStage stage)
{
    switch (stage) {
    case FlowStage::Choice: break;
    case FlowStage::Camera: BorrowCamera(); break;
    case FlowStage::Grid:
    case FlowStage::BoardKeys:
    case FlowStage::Check:
        // Each save ended the forwarding so that the driver reloads.
        if (!session_) BeginForwarding();
        break;
    case FlowStage::Saving: {
        Show(true);
        const bool keys = flow_.SavingKeys();
        if (flow_.Save(Now()) != calibration::WriteOutcome::Written) break;
        Log(calibration::SavedLine(flow_));
        common::ReportAdminEvent(common::CalibrationSavedEvent(flow_.SettingsPath()));
        // The last check was of the grid just replaced.
        if (!keys) WriteCheckRecord({});
        // The camera's grid was measured without forwarding.
        if (session_) EndForwarding(RunOutcome::Saved);
        else TellDriverToReload();
        if (keys) TellDriverKeysAreOn();
        break;
    }
    case FlowStage::Untrusted:
        // The file holds what it held before the camera's grid: the driver
        // is to take that again.
        Log(calibration::CheckLine(flow_));
        if (session_) EndForwarding(RunOutcome::Saved);
        else TellDriverToReload();
        break;
    case FlowStage::Done: {
        EndForwardingOnceLifted();
        Log(calibration::CheckLine(flow_));
        const common::CalibrationCheckRecord check = calibration::CheckRecord(flow_, common::LocalTimeText());
        WriteCheckRecord(check);
        if (check.Present()) common::ReportAdminEvent(common::CalibrationCheckedEvent(check));
        break;
    }
    case FlowStage::Cancelled:
    case FlowStage::Failed:
        EndForwardingOnceLifted();
        Log(calibration::EndedEarlyLine(flow_));
        break;
    }
}

// Single keys through the profile functions, as the other programs write the
// file; the wide ones, for a settings path that is not in the code page.
void KalmenoWindow::WriteCheckRecord(const common::CalibrationCheckRecord& record) const
{
    const std::wstring file = common::Wide(setup_.settingsPath);
    const std::wstring section = common::Wide(common::kCalibrationCheckSection);
    const auto put = [&](const char* key, const std::string& value) {
        WritePrivateProfileStringW(section.c_str(), common::Wide(key).c_str(), common::Wide(value).c_str(), file.c_str());
    };
    put(common::kCalibrationCheckVerdictKey, record.verdict);
    put(common::kCalibrationCheckWorstKey, record.worstPx);
    put(common::kCalibrationCheckTimeKey, record.checkedAt);
}

void KalmenoWindow::BeginForwarding()
{
    connecting_ = true;
    Show(true);
    session_ = std::make_unique<calibration::ForwardingSession>(
        window_.Get(), calibration::kRecordsWaitingMessage,
        [this](const calibration::RawRecord& record) { OnRecord(record); },
        [this](ForwardingError error) { forwardingFailure_ = error; });
    const ForwardingError error = session_->Begin();
    connecting_ = false;
    if (error != ForwardingError::None) flow_.Cancel(CauseOf(error), Now());
}

void KalmenoWindow::EndForwarding(RunOutcome outcome)
{
    liftDeadline_.reset();
    penDown_ = false;
    if (!session_) return;
    session_->End(outcome);
    session_.reset();
    forwardingFailure_.reset();
}

void KalmenoWindow::EndForwardingOnceLifted()
{
    if (session_ && penDown_) liftDeadline_ = Now() + kLiftWaitMs;
    else EndForwarding(RunOutcome::Cancelled);
}

void KalmenoWindow::EndForwardingIfLifted()
{
    if (!liftDeadline_) return;
    if (!penDown_ || static_cast<LONG>(Now() - *liftDeadline_) >= 0) EndForwarding(RunOutcome::Cancelled);
}

void KalmenoWindow::TellDriverToReload() const
{
    if (const HWND driver = common::FindDriverWindow()) PostMessageA(driver, msg::kPipeForwardEnd, 0, 0);
}

void KalmenoWindow::BorrowCamera()
{
    // The dark pattern is up before the camera looks, and stays while the
    // camera service lets go and the graph settles.
    ShowNewPattern();
    camview::LoanRules rules;
    rules.program = "Kalmeno";
    rules.restartWithoutCamera = true; // the board is needed again at once
    camera_ = std::make_unique<camview::CameraLoan>(rules);
    if (camera_->Borrow() != camview::LoanState::Lent || !camera_->Graph().Running()) {
        Log("Automatic calibration: the camera could not be opened or sends no pictures; calibrating by touch.");
        camera_.reset(); // given back as borrowed
        flow_.CameraUnavailable(Now());
        return;
    }
    frames_ = std::make_unique<CameraFrames>(window_.Get(), camera_->Graph());
    frames_->Start();
}

void KalmenoWindow::GiveCameraBack()
{
    if (!camera_) return;
    const bool stopped = !frames_ || frames_->Stop();
    if (!stopped) {
        // Kept, never freed under its thread, with the graph it reads.
        CameraFrames* const keptForTheProcess = frames_.release();
        static_cast<void>(keptForTheProcess);
        Log("The camera's frames did not stop within " + std::to_string(CameraFrames::kStopWait.count()) +
            " ms (the camera's filter does not return); the camera is let go when Kalmeno ends.");
    }
    frames_.reset();
    camera_->GiveBack(stopped ? camview::FrameReaders::Stopped : camview::FrameReaders::LeftRunning);
    camera_.reset();
    if (flow_.Measurement()) Log(calibration::CameraLine(flow_));
}

void KalmenoWindow::ShowNewPattern()
{
    if (flow_.Stage() != FlowStage::Camera) return;
    const unsigned number = flow_.PatternNumber();
    if (number == patternTold_) return;
    Show(true);
    // Drawn on the screen, not only queued, before the run counts frames.
    GdiFlush();
    patternTold_ = number;
    flow_.OnPatternShown(number, Now());
}

// The driver reads USE_KEY only when it starts; the keys just taught are
// to work now.
void KalmenoWindow::TellDriverKeysAreOn() const
{
    if (const HWND driver = common::FindDriverWindow()) PostMessageA(driver, msg::kSetUseKey, 1, 1);
}

BoardPicture KalmenoWindow::Picture() const
{
    BoardPicture picture;
    picture.words = calibration::DescribeScreen(flow_, setup_.texts, setup_.perUserCopy);
    if (connecting_) {
        // No target before its touches can come: one touched now would
        // reach the mouse instead.
        picture.words.title = setup_.texts.Get(calibration::texts::kConnecting);
        picture.words.hint.clear();
        picture.words.notice.clear();
        return picture;
    }
    if (flow_.Stage() == FlowStage::Camera) {
        const calibration::ShownPattern shown = flow_.CurrentPattern();
        PatternPicture pattern;
        pattern.number = flow_.PatternNumber();
        if (shown.kind == calibration::ShownPattern::Kind::Target) {
            pattern.disc = Rounded(shown.screen);
            pattern.radius = static_cast<int>(std::lround(shown.radiusPx));
        }
        picture.pattern = pattern;
        return picture;
    }
    const calibration::FlowTarget target = flow_.CurrentTarget();
    if (target.screen) picture.target = Rounded(*target.screen);
    picture.resting = flow_.Touch() == calibration::TakeState::Touching;
    switch (flow_.Stage()) {
    case FlowStage::Done:
        picture.tone = flow_.Verdict() == calibration::AccuracyCheck::Verdict::Good ? Tone::Good : Tone::Bad;
        break;
    case FlowStage::Failed:
    case FlowStage::Untrusted: picture.tone = Tone::Bad; break;
    case FlowStage::Cancelled: picture.tone = calibration::LeavesAtOnce(flow_.Cause()) ? Tone::Running : Tone::Bad; break;
    default: break;
    }
    return picture;
}

// The caption is what a screen reader speaks and what the board's own
// tests read: the title and the notice, as on the screen.
void KalmenoWindow::Show(bool now)
{
    if (!window_) return;
    const BoardPicture picture = Picture();
    if (picture == shown_ && !now) return;
    if (calibration::CaptionOf(picture.words) != calibration::CaptionOf(shown_.words) || now)
        SetWindowTextW(window_.Get(), common::Wide(calibration::CaptionOf(picture.words)).c_str());
    shown_ = picture;
    InvalidateRect(window_.Get(), nullptr, FALSE);
    if (now) UpdateWindow(window_.Get());
}

void KalmenoWindow::Log(const std::string& line)
{
    log_.Append({common::CodePageFromUtf8(line)});
}

} // namespace kalmeno
