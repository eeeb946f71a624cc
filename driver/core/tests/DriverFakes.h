#pragma once
// Recording stand-ins for the seams of the touch pipeline: a desktop with a
// manual clock, a hook library, a byte channel, a board-key test and a
// calibration with a simple, predictable mapping.
#include "driver/BoardKeyTest.h"
#include "driver/ByteChannel.h"
#include "driver/CalibrationView.h"
#include "driver/ChannelPorts.h"
#include "driver/Desktop.h"
#include "common/AdminEvents.h"
#include "driver/FaultLog.h"
#include "driver/HookControl.h"
#include "driver/TouchRecord.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace driver::testing {

struct MouseEvent {
    std::uint32_t flags;
    int ax;
    int ay;
    bool operator==(const MouseEvent& o) const { return flags == o.flags && ax == o.ax && ay == o.ay; }
};

struct PostedMessage {
    WindowRef window;
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const PostedMessage& o) const
    {
        return window == o.window && message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};

struct TimerStart {
    unsigned id;
    unsigned periodMs;
    bool operator==(const TimerStart& o) const { return id == o.id && periodMs == o.periodMs; }
};

class FakeDesktop final : public Desktop {
public:
    struct Window {
        std::string windowClass;
        std::string caption;
    };

    // Windows that "exist"; a window's ref is its index + 1.
    std::vector<Window> windows;
    std::vector<MouseEvent> mouseEvents;
    std::vector<PostedMessage> posts;
    std::vector<TimerStart> timers;
    std::vector<ScreenPosition> cursorSets;
    std::vector<unsigned> sleeps;
    std::vector<unsigned> kills;
    // Folder and program of every start.
    std::vector<std::pair<std::string, std::string>> programStarts;
    // Programs not in the program folder; every other one is.
    std::set<std::string> missingPrograms;
    ScreenPosition cursor;
    WindowRef foreground = 0;
    // Runs inside KillDriverTimer, where another thread's work may interleave.
    std::function<void(unsigned)> onKill;
    // Timers started and not killed since, with their periods.
    std::map<unsigned, unsigned> armed;
    std::uint32_t now = 100000;

    WindowRef AddWindow(const std::string& windowClass, const std::string& caption)
    {
        windows.push_back({windowClass, caption});
        return windows.size();
    }

    WindowRef FindWindowByClass(const char* windowClass, const char* caption) override
    {
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (windows[i].windowClass == windowClass && (caption == nullptr || windows[i].caption == caption)) {
                return i + 1;
            }
        }
        return 0;
    }
    // Runs after each post is recorded, where another thread's work may interleave.
    std::function<void(const PostedMessage&)> onPost;
    void PostToWindow(WindowRef window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        posts.push_back({window, message, wParam, lParam});
        if (onPost) onPost(posts.back());
    }
    std::intptr_t SendToWindow(WindowRef window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        posts.push_back({window, message, wParam, lParam});
        return 0;
    }
    void InjectMouseEvent(std::uint32_t flags, int ax, int ay) override { mouseEvents.push_back({flags, ax, ay}); }
    void SetCursorPosition(int x, int y) override
    {
        cursorSets.push_back({x, y});
        cursor = {x, y};
    }
    ScreenPosition CursorPosition() override { return cursor; }
    WindowRef ForegroundWindow() override { return foreground; }
    ScreenSize screen{1024, 768};
    ScreenSize PrimaryScreenSize() override { return screen; }
    // The desktop's monitors; the primary screen alone unless a test sets them.
    std::optional<common::DisplayLayout> layout;
    common::DisplayLayout Monitors() override
    {
        return layout ? *layout : common::SingleMonitorLayout(screen.width, screen.height);
    }
    void StartDriverTimer(unsigned timerId, unsigned periodMs) override
    {
        timers.push_back({timerId, periodMs});
        armed[timerId] = periodMs;
    }
    void KillDriverTimer(unsigned timerId) override
    {
        kills.push_back(timerId);
        armed.erase(timerId);
        if (onKill) onKill(timerId);
    }
    std::string ProgramFolder() override { return "C:\\Board\\"; }
    bool ProgramExists(const std::string& folder, const std::string& program) override
    {
        return folder == ProgramFolder() && missingPrograms.count(program) == 0;
    }
    void OpenProgram(const std::string& folder, const std::string& program) override
    {
        programStarts.emplace_back(folder, program);
    }
    void SleepMs(unsigned milliseconds) override
    {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    std::uint32_t TickCount() override { return now; }
};

class RecordingFaultLog final : public FaultLog {
public:
    std::vector<std::string> lines;
    std::vector<common::AdminEvent> events;
    void Note(const char* line) override { lines.emplace_back(line); }
    void Report(const common::AdminEvent& event) override { events.push_back(event); }
    // Lines that contain `text`.
    std::size_t Count(const std::string& text) const
    {
        std::size_t n = 0;
        for (const std::string& line : lines) n += line.find(text) != std::string::npos ? 1 : 0;
        return n;
    }
};

class FakeHook final : public HookControl {
public:
    // 1 and 0 for the switches, 'H' for the rear pen button, 'R' for a refresh.
    std::vector<int> calls;
    void SetDoubleTapHelp(bool on) override { calls.push_back(on ? 1 : 0); }
    void RearPenButtonSeen() override { calls.push_back('H'); }
    void Refresh() override { calls.push_back('R'); }
};

class RecordingChannel final : public ByteChannel {
public:
    std::vector<std::vector<std::uint8_t>> writes;
    bool Write(const std::uint8_t* data, std::size_t length) override
    {
        writes.emplace_back(data, data + length);
        return true;
    }
};

// A pipe instance that records its writes and whether it was closed; the
// test moves its link along as the client would.
class FakePipeInstance final : public PipeInstance {
public:
    std::vector<std::vector<std::uint8_t>> writes;
    bool closed = false;
    Link link = Link::AwaitingClient;
    // Writes fail while set, as when the client stops reading.
    bool stalled = false;
    std::uint64_t delivered = 0;

    bool Write(const std::uint8_t* data, std::size_t length) override
    {
        writes.emplace_back(data, data + length);
        if (closed || stalled || link != Link::Connected) return false;
        ++delivered;
        return true;
    }
    Link CurrentLink() const override { return closed ? Link::Lost : link; }
    std::uint64_t DeliveredWrites() const override { return delivered; }
    void Close() override { closed = true; }
};

// Hands out instances and keeps weak references to all of them, so a test
// can tell which are still alive.
class FakePipeHost final : public ForwardingPipeHost {
public:
    bool failCreate = false;
    std::vector<std::weak_ptr<FakePipeInstance>> created;

    std::shared_ptr<PipeInstance> CreateAndAwaitClient() override
    {
        if (failCreate) return nullptr;
        auto instance = std::make_shared<FakePipeInstance>();
        created.push_back(instance);
        return instance;
    }
    std::shared_ptr<FakePipeInstance> Instance(std::size_t n) const { return created.at(n).lock(); }
    std::shared_ptr<FakePipeInstance> Last() const { return created.empty() ? nullptr : created.back().lock(); }
    int Alive() const
    {
        int alive = 0;
        for (const auto& instance : created) alive += instance.expired() ? 0 : 1;
        return alive;
    }
};

class FakeSocketFactory final : public SocketChannelFactory {
public:
    bool failOpen = false;
    std::vector<std::pair<std::string, int>> opened;
    std::vector<std::weak_ptr<RecordingChannel>> channels;

    std::shared_ptr<ByteChannel> OpenStream(const char* address, int port) override
    {
        opened.emplace_back(address, port);
        if (failOpen) return nullptr;
        auto channel = std::make_shared<RecordingChannel>();
        channels.push_back(channel);
        return channel;
    }
};

class FakeBoardKeys final : public BoardKeyTest {
public:
    std::function<bool(const Point&)> hits = [](const Point&) { return false; };
    std::vector<Point> asked;
    bool TryBoardKey(const Point& screenPoint, const CalibrationView&) override
    {
        asked.push_back(screenPoint);
        return hits(screenPoint);
    }
};

// Camera units map to screen pixels by a fixed scale (1 by default, so tests
// read in pixels). Points with camera x at or beyond `boardEndX` lie in no
// cell and come back unchanged; mapped points off the screen come back
// mapped. Both answer false.
class FakeCalibration final : public CalibrationView {
public:
    double scale = 1.0;
    double boardEndX = 3200;
    int upright = 1;
    ScreenSize screen{1024, 768};
    std::array<Point, CCalibration::kKeyPoints> keys{};
    int tolerance = 0;

    bool MapPoint(Point& point) const override
    {
        if (point.x >= boardEndX) return false;
        point.x *= scale;
        point.y *= scale;
        return point.x >= 0 && point.y >= 0 && point.x <= screen.width && point.y <= screen.height;
    }
    int Upright() const override { return upright; }
    ScreenSize Screen() const override { return screen; }
    // The primary screen of `screen` unless a test puts the board on
    // another monitor (of the size `screen`).
    const BoardScreen& Board() const override
    {
        if (board) return *board;
        const ScreenSize size = primary.Size();
        if (size.width != screen.width || size.height != screen.height) primary = BoardScreen::PrimaryOnly(screen);
        return primary;
    }
    std::optional<BoardScreen> board;
    mutable BoardScreen primary;
    Point KeyPoint(int n) const override { return keys[static_cast<std::size_t>(n)]; }
    bool KeyUsable(int) const override { return true; }
    int KeyTolerance() const override { return tolerance; }
};

// A record built slot by slot.
class RecordBuilder {
public:
    RecordBuilder& Slot(int s, std::uint8_t status, unsigned x = 0, unsigned y = 0)
    {
        std::uint8_t* p = bytes_ + 5 * s;
        p[0] = status;
        p[1] = static_cast<std::uint8_t>(x >> 8);
        p[2] = static_cast<std::uint8_t>(x);
        p[3] = static_cast<std::uint8_t>(y >> 8);
        p[4] = static_cast<std::uint8_t>(y);
        return *this;
    }
    RecordBuilder& Contact(int s, unsigned x, unsigned y) { return Slot(s, 1, x, y); }
    RecordBuilder& Release(int s) { return Slot(s, 2); }
    RecordBuilder& Event(std::uint8_t code) { return Slot(0, code); }

    const TouchRecordBytes& Bytes() const { return bytes_; }
    TouchRecord Decoded(int upright = 1) const { return DecodeTouchRecord(bytes_, upright); }

private:
    TouchRecordBytes bytes_ = {};
};

inline std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint8_t> values)
{
    return values;
}

} // namespace driver::testing
