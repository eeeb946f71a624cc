#pragma once
// A board camera filming the calibration's patterns, for the automatic
// calibration's tests: the room's light with some texture, the projector's
// dark picture and its white disc seen in perspective through TestCamera,
// sampled over each pixel's area, blurred as a lens does and with the
// sensor's noise. A camera lags behind the screen by a few frames, and the
// frame during a change is exposed row by row, the rows above the change
// with the new picture, the rest with the old one.
#include "CalibrationTestKit.h"

#include "calibration/CameraMeasurement.h"
#include "calibration/CameraPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace calibration_testing {

using calibration::CameraPicture;
using calibration::ShownPattern;

struct FilmedLight {
    double room = 40;          // the room's light on the board, grey levels
    double texture = 10;       // its unevenness (the board's marks, a window's light)
    double projectorBlack = 6; // what the projector's black adds
    double disc = 170;         // what its white adds
    double blurSigmaPx = 0.7;  // the lens, camera pixels
    double noiseSigma = 2;     // the sensor, grey levels
};

class FilmedBoard {
public:
    FilmedBoard(TestCamera camera, int width = 320, int height = 240, FilmedLight light = {}, unsigned seed = 7)
        : camera_(camera),
          width_(width),
          height_(height),
          light_(light),
          pick_(seed)
    {
        // The sensor's noise drawn once, each frame reading it from another
        // place: as random as a frame needs, at a fraction of the cost.
        std::mt19937 random(seed);
        std::normal_distribution<float> normal(0, static_cast<float>(light_.noiseSigma));
        noise_.resize(Size() + kNoiseSpare);
        for (float& n : noise_) n = normal(random);
        room_.resize(Size());
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                room_[Index(x, y)] = static_cast<float>(light_.room * (0.8 + 0.4 * x / width_) +
                                                        light_.texture * std::sin(x * 0.71) * std::cos(y * 0.53));
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Where the camera sees a point of the board's monitor, in picture positions.
    Point PictureOf(const Point& screen) const
    {
        const Point camera = camera_.See(screen);
        return {camera.x / 10 * width_ / 320.0, camera.y / 10 * height_ / 240.0};
    }

    // The light the projector adds for `pattern` (none for a hidden target).
    std::vector<float> LightOf(const ShownPattern& pattern, const std::set<int>& hidden = {}) const
    {
        std::vector<float> light(Size(), static_cast<float>(light_.projectorBlack));
        if (pattern.kind != ShownPattern::Kind::Target || hidden.count(pattern.target)) return light;
        // The disc in the picture: the screen's disc through the camera's
        // local (affine) view of it.
        const Point c = PictureOf(pattern.screen);
        const Point ex = PictureOf({pattern.screen.x + 1, pattern.screen.y});
        const Point ey = PictureOf({pattern.screen.x, pattern.screen.y + 1});
        const double a = ex.x - c.x, b = ey.x - c.x, cc = ex.y - c.y, d = ey.y - c.y;
        const double det = a * d - b * cc;
        // The disc and the blur's reach around it.
        const double reach = pattern.radiusPx * std::max(std::hypot(a, cc), std::hypot(b, d)) + 2 + 3 * BlurSigma();
        const int x0 = std::max(0, static_cast<int>(c.x - reach)),
                  x1 = std::min(width_ - 1, static_cast<int>(c.x + reach));
        const int y0 = std::max(0, static_cast<int>(c.y - reach)),
                  y1 = std::min(height_ - 1, static_cast<int>(c.y + reach));
        std::vector<float> cover(Size(), 0);
        constexpr int kSub = 6;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                int inside = 0;
                for (int sy = 0; sy < kSub; ++sy)
                    for (int sx = 0; sx < kSub; ++sx) {
                        const double px = x + (sx + 0.5) / kSub - c.x, py = y + (sy + 0.5) / kSub - c.y;
                        const double u = (d * px - b * py) / det, v = (-cc * px + a * py) / det;
                        if (u * u + v * v <= pattern.radiusPx * pattern.radiusPx) ++inside;
                    }
                cover[Index(x, y)] = static_cast<float>(inside) / (kSub * kSub);
            }
        Blur(cover, x0, x1, y0, y1);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) light[Index(x, y)] += static_cast<float>(light_.disc) * cover[Index(x, y)];
        return light;
    }

    // What the monitor showed before the calibration's window: a desktop
    // of windows and text, bright in places.
    std::vector<float> DesktopLight() const
    {
        std::vector<float> light(Size());
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) light[Index(x, y)] = ((x / 20 + y / 15) % 2) ? 120.0f : 20.0f;
        return light;
    }

    // A frame: the room plus `light` in the rows above `changeRow` and
    // `before` in the rest (a rolling shutter during a change).
    CameraPicture Frame(const std::vector<float>& light, const std::vector<float>& before, int changeRow)
    {
        CameraPicture picture{width_, height_, std::vector<std::uint8_t>(Size())};
        const float* noise = noise_.data() + std::uniform_int_distribution<std::size_t>(0, kNoiseSpare)(pick_);
        const float* room = room_.data();
        std::uint8_t* out = picture.grey.data();
        const std::size_t change = Index(0, std::clamp(changeRow, 0, height_));
        for (std::size_t i = 0; i < picture.grey.size(); ++i) {
            const float grey = room[i] + (i < change ? light[i] : before[i]) + noise[i] + 0.5f;
            out[i] = static_cast<std::uint8_t>(grey < 0 ? 0.0f : grey > 255 ? 255.0f : grey);
        }
        return picture;
    }
    CameraPicture Frame(const std::vector<float>& light) { return Frame(light, light, height_); }

private:
    std::size_t Size() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

    double BlurSigma() const { return light_.blurSigmaPx * width_ / 320.0; }

    void Blur(std::vector<float>& image, int x0, int x1, int y0, int y1) const
    {
        const double sigma = BlurSigma();
        const int r = static_cast<int>(std::ceil(3 * sigma));
        std::vector<double> kernel;
        double sum = 0;
        for (int k = -r; k <= r; ++k) sum += kernel.emplace_back(std::exp(-k * k / (2 * sigma * sigma)));
        for (double& k : kernel) k /= sum;
        std::vector<float> pass(image.size(), 0);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                double v = 0;
                for (int k = -r; k <= r; ++k)
                    v += kernel[static_cast<std::size_t>(k + r)] * image[Index(std::clamp(x + k, 0, width_ - 1), y)];
                pass[Index(x, y)] = static_cast<float>(v);
            }
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                double v = 0;
                for (int k = -r; k <= r; ++k)
                    v += kernel[static_cast<std::size_t>(k + r)] * pass[Index(x, std::clamp(y + k, 0, height_ - 1))];
                image[Index(x, y)] = static_cast<float>(v);
            }
    }

    static constexpr std::size_t kNoiseSpare = 65536;

    TestCamera camera_;
    int width_;
    int height_;
    FilmedLight light_;
    std::mt19937 pick_;
    std::vector<float> noise_;
    std::vector<float> room_;
};

// What the window and the camera do together, frame by frame at 30 frames
// a second: the window paints a new pattern `paintFrames` frames after it
// was asked for, and the camera's frame shows the screen `lagFrames` frames
// late, the frame of a change new down to the disc's middle row and old
// below it: half a disc, where it hurts most.
struct CameraRig {
    std::function<unsigned()> patternNumber;
    std::function<ShownPattern()> pattern;
    std::function<void(unsigned, std::uint32_t)> shown;
    std::function<void(const CameraPicture&, std::uint32_t)> frame;
    std::function<void(std::uint32_t)> tick;
    std::function<bool()> running;

    int lagFrames = 2;
    int paintFrames = 1;
    std::set<int> hidden;
    // Instead of filming the board (a camera of another kind): the picture
    // it delivers, whatever the screen shows.
    std::function<CameraPicture()> fixedPicture;

    static constexpr std::uint32_t kFrameMs = 33;

    // Runs until `running` says no or `limitMs` passed; the time it ended.
    std::uint32_t Run(FilmedBoard& board, std::uint32_t nowMs, std::uint32_t limitMs = 60000)
    {
        struct Shown {
            std::vector<float> light;
            int changeRow; // where a frame during the change to it changes
        };
        using Light = std::shared_ptr<const Shown>;
        std::deque<Light> screen; // what the screen showed at each frame, newest last
        unsigned asked = 0, painted = 0;
        int askedAgo = 0;
        Light onScreen = std::make_shared<const Shown>(Shown{board.DesktopLight(), board.Height() / 2});
        const std::uint32_t end = nowMs + limitMs;
        std::uint32_t last = nowMs;
        for (; running() && nowMs < end; nowMs += kFrameMs) {
            last = nowMs;
            if (patternNumber() != asked) {
                asked = patternNumber();
                askedAgo = 0;
            }
            if (painted != asked && askedAgo++ >= paintFrames) {
                const ShownPattern now = pattern();
                const int row = now.kind == ShownPattern::Kind::Target
                                    ? static_cast<int>(std::lround(board.PictureOf(now.screen).y))
                                    : board.Height() / 2;
                onScreen = std::make_shared<const Shown>(Shown{board.LightOf(now, hidden), row});
                painted = asked;
                shown(painted, nowMs);
            }
            screen.push_back(onScreen);
            if (screen.size() > static_cast<std::size_t>(lagFrames + 2)) screen.pop_front();
            if (fixedPicture) {
                frame(fixedPicture(), nowMs);
            } else {
                const std::size_t at =
                    screen.size() > static_cast<std::size_t>(lagFrames) ? screen.size() - 1 - lagFrames : 0;
                const Light& seen = screen[at];
                const Light& before = at > 0 ? screen[at - 1] : seen;
                frame(board.Frame(seen->light, before->light, seen == before ? board.Height() : seen->changeRow),
                      nowMs);
            }
            tick(nowMs);
        }
        return last;
    }
};

} // namespace calibration_testing
