#pragma once
// Asks the running driver for its status as the board check does, twice a
// second on a thread of its own, and keeps each round trip's time: the
// driver's cost to the board while somebody watches it is measured beside.
#include <atomic>
#include <thread>
#include <vector>

namespace sim {

class BoardCheckAsker {
public:
    static constexpr unsigned kPeriodMs = 500;

    BoardCheckAsker();
    ~BoardCheckAsker();
    BoardCheckAsker(const BoardCheckAsker&) = delete;
    BoardCheckAsker& operator=(const BoardCheckAsker&) = delete;

    // Milliseconds from each request posted to its answer; call once stopped.
    std::vector<double> RoundTrips() const { return roundTrips_; }
    int Unanswered() const { return unanswered_; }
    void Stop();

private:
    void Run();

    std::atomic<bool> stop_{false};
    std::vector<double> roundTrips_;
    int unanswered_ = 0;
    std::thread thread_;
};

} // namespace sim
