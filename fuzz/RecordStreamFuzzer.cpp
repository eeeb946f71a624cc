// Random touch records interleaved with the window thread's changes of
// routing (socket on and off in both variants, forwarding runs, camera
// arrivals and removals, calibration reloads) and jumps of the clock,
// driven through the real touch worker. Whatever the stream, after every
// record:
//   - a left press, or a socket contact, whose records have carried no
//     contact sample for longer than the silence bound has been released
//     (the clock the worker keeps: pen-button records and forwarded records
//     hold it);
// and when the driver closes:
//   - every left press it injected has been released;
//   - no injected event with the move flag lies off the screen;
//   - no packet of a socket contact follows that contact's release: a new
//     contact needs two samples after the release before its first packet
//     (counted generously: every contact slot of the records since);
//   - a socket contact that was announced has been ended by a release packet;
//   - with the contact outputs on (chosen by the input's first byte): every
//     touch pointer that went down came up, every touch lies on the screen,
//     every TUIO position lies in 0..1, and the last bundle's alive list is
//     empty.
// The input's first byte also chooses the adaptive smoothing ([Filter]
// MODE=adaptive) for every pointer and contact; the promises are the same.
// The sanitizers watch the rest.
#include "FuzzInput.h"
#include "CalibrationGridWriter.h"
#include "CalibrationMemoryProfile.h"
#include "DriverFakes.h"
#include "OscDecoder.h"

#include "driver/BoardKeys.h"
#include "driver/CalibrationStore.h"
#include "driver/MouseInput.h"
#include "driver/TouchWorker.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace driver;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

using fuzzing::Violation;

// Mostly on the camera's picture, sometimes anywhere in 16 bits.
unsigned Coordinate(fuzzing::Bytes& input, unsigned range)
{
    const unsigned raw = input.Word();
    return (raw & 0x8000) ? raw : raw % range;
}

std::shared_ptr<const CCalibration> Model(bool turned, bool withKeys)
{
    calibration_testing::MemoryProfile settings;
    if (turned) {
        calibration_testing::WriteRegularGrid(settings, 3, 3, 2800, 2100, 400, 300);
    } else {
        calibration_testing::WriteRegularGrid(settings, 3, 3, 400, 300, 2800, 2100);
    }
    if (withKeys) {
        for (int n = 0; n < CCalibration::kKeyPoints; ++n) {
            calibration_testing::WriteKeyPoint(settings, n, {n < 14 ? 200.0 : 3000.0, 300.0 + 120 * (n % 14)});
        }
    }
    auto model = std::make_shared<CCalibration>();
    model->Load(settings, BoardScreen::PrimaryOnly({kScreenWidth, kScreenHeight}));
    return model;
}

class MouseWatch {
public:
    void Check(const std::vector<testing::MouseEvent>& events)
    {
        for (; seen_ < events.size(); ++seen_) {
            const testing::MouseEvent& e = events[seen_];
            if ((e.flags & mouse_flags::kMove) && (e.ax < 0 || e.ax > 65535 || e.ay < 0 || e.ay > 65535)) {
                Violation("an injected move lies off the screen");
            }
            if (e.flags & mouse_flags::kLeftDown) leftDown_ = true;
            if (e.flags & mouse_flags::kLeftUp) leftDown_ = false;
        }
    }
    bool LeftDown() const { return leftDown_; }

private:
    std::size_t seen_ = 0;
    bool leftDown_ = false;
};

class PacketWatch {
public:
    // After each step, with the number of contact slots its record carried.
    void Check(const testing::RecordingChannel& channel, int contactSlots)
    {
        samplesSinceRelease_ += contactSlots;
        for (; seen_ < channel.writes.size(); ++seen_) {
            const std::uint8_t event = channel.writes[seen_][2];
            if (event == 0x81) {
                if (!inContact_ && haveReleased_ && samplesSinceRelease_ < 2) {
                    Violation("a contact packet followed its contact's release");
                }
                inContact_ = true;
            } else {
                inContact_ = false;
                haveReleased_ = true;
                // The rest of this record may hold the next contact's samples.
                samplesSinceRelease_ = contactSlots;
            }
        }
    }
    bool InContact() const { return inContact_; }

private:
    std::size_t seen_ = 0;
    bool inContact_ = false;
    bool haveReleased_ = false;
    int samplesSinceRelease_ = 0;
};

class TouchWatch final : public TouchInjection {
public:
    bool Inject(const TouchFrame& frame) override
    {
        for (std::size_t n = 0; n < frame.count; ++n) {
            const TouchContact& c = frame.contacts[n];
            if (c.pointerId >= down_.size()) Violation("a touch pointer id out of range");
            if (c.x < 0 || c.x >= kScreenWidth || c.y < 0 || c.y >= kScreenHeight) Violation("a touch off the screen");
            if (c.flags & kTouchDown) down_[c.pointerId] = true;
            if (c.flags & kTouchUp) down_[c.pointerId] = false;
        }
        return true;
    }
    bool AnyDown() const
    {
        for (bool d : down_) {
            if (d) return true;
        }
        return false;
    }

private:
    std::array<bool, kPointSlots> down_{};
};

// The silence the worker judges pointers by: the time of the records that
// reached its gesture machines since the last that carried a contact (or a
// release) in any slot. Counted generously: a sample in any slot counts,
// whichever pointer it went to.
class SilenceWatch {
public:
    explicit SilenceWatch(std::uint32_t now)
        : lastCycleAt_(now)
    {}

    // After each worker cycle at `now`.
    void Cycle(std::uint32_t now, bool reachedGestures, bool carriedSample)
    {
        const std::uint32_t elapsed = now - lastCycleAt_;
        lastCycleAt_ = now;
        if (!reachedGestures) return;
        recordClock_ += elapsed;
        if (carriedSample) lastSampleAt_ = recordClock_;
    }
    bool PastBound() const { return recordClock_ - lastSampleAt_ > kSilenceMs; }

private:
    std::uint32_t lastCycleAt_;
    std::uint64_t recordClock_ = 0;
    std::uint64_t lastSampleAt_ = 0;
};

// The alive list of the last bundle, and every position in range.
bool LastAliveEmpty(const testing::RecordingChannel& udp)
{
    bool empty = true;
    for (const auto& datagram : udp.writes) {
        const auto bundle = osc_testing::DecodeBundle(datagram);
        if (!bundle) Violation("a TUIO bundle that does not decode");
        for (const auto& message : bundle->messages) {
            if (message.Command() == "alive") empty = message.arguments.size() == 1;
            if (message.Command() == "set") {
                const float x = message.Float(2);
                const float y = message.Float(3);
                if (!(x >= 0 && x <= 1 && y >= 0 && y <= 1)) Violation("a TUIO position outside 0..1");
            }
        }
    }
    return empty;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Singular cells are reported on standard output; keep the log readable.
    std::freopen("/dev/null", "w", stdout);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto upright = Model(false, true);
    static const auto turned = Model(true, false);

    testing::FakeDesktop desktop;
    testing::FakeHook hook;
    DriverState state;
    calibration_testing::MemoryProfile settings;
    NoFaultLog faults;
    BoardKeys keys(desktop, state, settings, faults);
    CalibrationStore store;
    store.Publish(upright);
    ChannelSlot socket;
    ChannelSlot pipe;
    auto socketChannel = std::make_shared<testing::RecordingChannel>();
    auto pipeChannel = std::make_shared<testing::RecordingChannel>();
    socket.Publish(socketChannel);
    pipe.Publish(pipeChannel);
    fuzzing::Bytes in(data, size);
    const std::uint8_t outputsWanted = in.Next();
    auto udp = std::make_shared<testing::RecordingChannel>();
    TuioOutput tuio(*udp, "Brelvin@127.0.0.1", "127.0.0.1:3333", faults);
    TouchWatch touches;
    TouchOutput touch(touches, faults);
    ContactOutputs outputs;
    if (outputsWanted & 1) outputs.tuio = &tuio;
    if (outputsWanted & 2) outputs.touch = &touch;
    FilterSettings filter;
    if (outputsWanted & 4) filter.mode = FilterMode::Adaptive;
    TouchWorker worker(
        {desktop, hook, state, [&store] { return store.Current(); }, keys, socket, pipe, faults, outputs, filter});
    worker.Begin();

    // RECORD_STREAM_TRACE=1 prints every step, for reading a failing input.
    static const bool trace = std::getenv("RECORD_STREAM_TRACE") != nullptr;
    std::size_t tracedPackets = 0;
    MouseWatch mouse;
    PacketWatch packets;
    SilenceWatch silence(desktop.now);
    while (!in.Empty()) {
        const std::uint8_t op = in.Next();
        int contactSlots = 0;
        switch (op % 16) {
        case 0:
            state.NoteRoutingChange();
            state.socketRouting = SocketRouting::PairSplit;
            break;
        case 1:
            state.NoteRoutingChange();
            state.socketRouting = SocketRouting::HalfSplit;
            break;
        case 2:
            state.NoteRoutingChange();
            state.socketRouting = SocketRouting::Off;
            break;
        case 3:
            state.NoteRoutingChange();
            state.forwarding = ForwardingState::Forwarding;
            state.forwardPlain = (op & 1) != 0;
            break;
        case 4: state.forwarding = ForwardingState::Idle; break;
        case 5: store.Publish(op & 0x10 ? turned : upright); break;
        case 6:
            state.NoteRoutingChange();
            state.socketRouting = SocketRouting::Off;
            break; // a camera came or went
        case 7: desktop.now += static_cast<std::uint32_t>(in.Next()) * 8; break;
        case 8: state.boardKeysEnabled = op & 0x10 ? 1 : 0; break;
        default: {
            TouchRecordBytes record = {};
            bool carriedSample = false;
            // Op 9 is a cycle in which the camera service wrote nothing.
            if (op % 16 != 9) {
                const std::uint8_t shape = in.Next();
                if (shape % 11 == 0) {
                    record[0] = static_cast<std::uint8_t>(shape & 1 ? 8 : 9); // a pen button
                } else {
                    for (int slot = 0; slot < kPointSlots; ++slot) {
                        static constexpr std::uint8_t kStatuses[] = {0, 1, 1, 1, 2, 0, 3, 4};
                        const std::uint8_t status = kStatuses[(shape >> (slot * 2)) & 7];
                        if (status > 2 && slot != 0) continue;
                        const unsigned x = Coordinate(in, 3200);
                        const unsigned y = Coordinate(in, 2400);
                        std::uint8_t* p = record + 5 * slot;
                        p[0] = status;
                        contactSlots += status == 1 ? 1 : 0;
                        carriedSample = carriedSample || status == 1 || status == 2;
                        p[1] = static_cast<std::uint8_t>(x >> 8);
                        p[2] = static_cast<std::uint8_t>(x);
                        p[3] = static_cast<std::uint8_t>(y >> 8);
                        p[4] = static_cast<std::uint8_t>(y);
                        if (trace) std::fprintf(stderr, "  slot %d: %u (%u, %u)\n", slot, status, x, y);
                    }
                }
            }
            desktop.now += 2;
            const bool reachesGestures = record[0] != 8 && record[0] != 9 && !state.Forwarding();
            worker.Cycle(record);
            silence.Cycle(desktop.now, reachesGestures, carriedSample);
            break;
        }
        }
        if (trace) {
            std::fprintf(stderr, "op %u (%u)", op % 16, op);
            for (std::size_t n = tracedPackets; n < socketChannel->writes.size(); ++n) {
                std::fprintf(stderr, " packet %02x", socketChannel->writes[n][2]);
            }
            tracedPackets = socketChannel->writes.size();
            std::fprintf(stderr, " contacts %d\n", contactSlots);
        }
        mouse.Check(desktop.mouseEvents);
        packets.Check(*socketChannel, contactSlots);
        if (silence.PastBound() && mouse.LeftDown()) Violation("a left press outlived the silence bound");
        if (silence.PastBound() && packets.InContact()) Violation("a socket contact outlived the silence bound");
    }
    worker.End();
    mouse.Check(desktop.mouseEvents);
    packets.Check(*socketChannel, 0);
    if (mouse.LeftDown()) Violation("a left press was never released");
    if (packets.InContact()) Violation("a socket contact was never ended");
    if (touches.AnyDown()) Violation("a touch pointer was never lifted");
    if (!LastAliveEmpty(*udp)) Violation("a TUIO contact was never ended");
    return 0;
}
