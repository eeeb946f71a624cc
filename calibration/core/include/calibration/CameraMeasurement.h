#pragma once
// The automatic calibration's measurement: the window shows a pattern full
// screen on the board's monitor, the camera films it, and each target's
// place in the camera's picture is found as a spot that was not there in
// the pattern before. First a dark picture, the reference of the first
// target; then each target in the file's order, a white disc on black, each
// measured against the pattern before it.
//
// The camera and the projector lag a frame or two behind the window, and a
// frame may be exposed half before and half after a change: a frame counts
// only once the window has painted the pattern it is meant for and
// kLagFrames more have come, and a pattern only once kAgreeingFrames frames
// in a row agree (the same spot, as bright; for the dark picture, still),
// whose average is then measured. A spot is taken for a target only where
// the targets found before put it, as a touch is.
//
//   Measuring --a new pattern (PatternNumber + 1)--> Measuring, its frames no measurement
//   Measuring --OnPatternShown(its number)--> Measuring, its frames compared
//   Measuring --Dark settled, picture nearly all saturated--> Failed (TooBright)
//   Measuring --Dark settled--> Measuring (the first target)
//   Measuring --a target settled, not the last--> Measuring (the next target)
//   Measuring --the last target settled--> Complete
//   Measuring --no frame for kNoPicturesMs--> Failed (NoPictures)
//   Measuring --frames, but not settled kSettleMs after shown--> Failed (TooBright, TooDark,
//                                                                DoesNotFollow or TargetNotFound)
//   Measuring --Cancel--> Cancelled
//
// Not settled means: a picture nearly all saturated is TooBright; one with
// nothing bright in it at all is TooDark; one that never shows a spot where
// no target was found before it either (an infrared filter, a covered lens,
// another camera, a still picture) is DoesNotFollow; a spot missing after
// others were found is TargetNotFound, for that target.
//
// Time is the caller's clock; the measurement reads none of its own.
#include "calibration/CalibrationSession.h"
#include "calibration/CameraPicture.h"
#include "calibration/SpotFinder.h"
#include "calibration/TargetLayout.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace calibration {

// What the window shows now.
struct ShownPattern {
    enum class Kind { Dark, Target } kind = Kind::Dark;
    int target = -1; // the target shown, for Target
    // The disc's centre, a whole pixel of the board's monitor: where the
    // window paints it. The target's own place lies up to half a pixel off;
    // Result() moves each point there.
    Point screen;
    double radiusPx = 0;
};

enum class CameraProblem { None, NoPictures, TooDark, TooBright, DoesNotFollow, TargetNotFound };

const char* Name(CameraProblem problem);

class CameraMeasurement {
public:
    enum class State { Measuring, Complete, Failed, Cancelled };

    // Frames after the paint that still show the pattern before.
    static constexpr int kLagFrames = 2;
    // Frames in a row that must agree before a pattern counts, and are averaged.
    static constexpr int kAgreeingFrames = 3;
    // Agreeing: spots this close (camera pixels) and this near in energy (share).
    static constexpr double kAgreeCameraPx = 0.3;
    static constexpr double kAgreeEnergyShare = 0.08;
    // A dark picture has settled when consecutive frames differ by more than
    // kStillLevel grey levels in fewer than kStillShare of the pixels.
    static constexpr int kStillLevel = 16;
    static constexpr double kStillShare = 0.002;
    // A picture of which this share is saturated is too bright to show a disc.
    static constexpr double kTooBrightShare = 0.8;
    // A picture whose brightest spot stays under this has no light to measure.
    static constexpr double kTooDarkGrey = 24;
    // A pattern settles within a few frames: half a second's lag is already
    // a lot; at this it never will.
    static constexpr std::uint32_t kSettleMs = 1500;
    // A camera delivering frames at all does so several times a second.
    static constexpr std::uint32_t kNoPicturesMs = 3000;
    // The disc's radius in camera pixels: a few pixels to take a centroid
    // over, small beside the distance between targets.
    static constexpr double kDiscCameraPx = 2.5;
    // The window the centroid is taken in, camera pixels.
    static constexpr double kWindowCameraPx = 7;

    CameraMeasurement(const TargetLayout& layout, std::uint32_t nowMs);

    const ShownPattern& Pattern() const { return pattern_; }
    // Counts from 1, one more at every change of Pattern().
    unsigned PatternNumber() const { return patternNumber_; }
    // The window has painted pattern `patternNumber`.
    void OnPatternShown(unsigned patternNumber, std::uint32_t nowMs);
    // Each new camera frame, once.
    void OnFrame(const CameraPicture& picture, std::uint32_t nowMs);
    // The passing of time: the bounds.
    void OnTick(std::uint32_t nowMs);
    void Cancel();

    State Current() const { return state_; }
    CameraProblem Problem() const { return problem_; }
    // The target not found (TargetNotFound), or the one shown when the
    // problem came; -1 for the dark picture.
    int ProblemTarget() const { return problemTarget_; }
    int TargetsDone() const { return targetsDone_; }
    int TargetCount() const { return layout_.Count(); }
    // Camera units, by target index; complete only in Complete. Each point
    // is where the camera sees the target's own place, not the whole pixel
    // its disc was painted at: moved by the offset between the two through
    // the camera's scale there, taken from the neighbouring targets (a
    // picture of 320 camera pixels across a board of 1024 puts up to 1.6
    // camera units between them, the error of a whole 5 x 5 grid).
    MeasuredGrid Result() const;
    // From the start to the end (Complete, Failed, Cancelled), else to the
    // last call.
    std::uint32_t ElapsedMs() const { return lastMs_ - startMs_; }

    // The disc's radius on a board of this size: the board fills about the
    // camera's picture, so a camera pixel spans about size / 320 of it.
    static double DiscRadiusPx(ScreenSize screen);

private:
    std::optional<Point> CameraPerScreenPixel(GridPoint before, GridPoint after, bool alongX) const;

    void Show(ShownPattern pattern, std::uint32_t nowMs);
    void Settled(const GreyImage& average, std::uint32_t nowMs);
    bool Agree(const Spot& a, const Spot& b, int width) const;
    CameraProblem WhyNotSettled() const;
    void Fail(CameraProblem problem, std::uint32_t nowMs);
    void NoteTime(std::uint32_t nowMs);
    SpotSearch SearchFor(int width) const;

    TargetLayout layout_;
    State state_ = State::Measuring;
    CameraProblem problem_ = CameraProblem::None;
    int problemTarget_ = -1;

    ShownPattern pattern_;
    unsigned patternNumber_ = 0;
    std::optional<std::uint32_t> shownMs_; // the current pattern painted
    std::uint32_t patternMs_ = 0;          // the current pattern set
    std::vector<CameraPicture> recent_;    // its latest frames, oldest first
    std::vector<Spot> recentSpots_;        // and their spots (targets only)
    int framesSincePattern_ = 0;           // frames since it was set, painted or not
    int framesSinceShown_ = 0;

    GreyImage reference_; // the pattern before, settled
    std::vector<std::optional<Point>> found_;
    int targetsDone_ = 0;

    std::uint32_t startMs_ = 0;
    std::uint32_t lastMs_ = 0;
    std::uint32_t lastFrameMs_ = 0;
};

} // namespace calibration
