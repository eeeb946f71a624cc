// Our TUIO bundles as a real OSC client reads them: liblo's oscdump, started
// on a free port, must print every message of every bundle with the values
// the tracker gave the contacts. Skipped where oscdump is not installed.
#include "DriverFakes.h"

#include "driver/ContactTracker.h"
#include "driver/MultitouchOutputs.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace driver {
namespace {

using testing::FakeCalibration;
using testing::RecordBuilder;

bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = folders.find(':', start);
        const std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

// A UDP port nobody uses right now.
int FreePort()
{
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof local;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&local), &length) == 0)
        port = ntohs(local.sin_port);
    close(probe);
    return port;
}

class UdpChannel final : public ByteChannel {
public:
    explicit UdpChannel(int port)
        : socket_(socket(AF_INET, SOCK_DGRAM, 0))
    {
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        peer.sin_port = htons(static_cast<std::uint16_t>(port));
        connected_ = connect(socket_, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0;
    }
    ~UdpChannel() override { close(socket_); }
    bool Write(const std::uint8_t* data, std::size_t length) override
    {
        // A refusal reported from an earlier datagram costs this one a retry.
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (send(socket_, data, length, 0) == static_cast<ssize_t>(length)) return true;
        }
        return false;
    }
    bool Connected() const { return connected_; }

private:
    int socket_;
    bool connected_ = false;
};

// oscdump with its standard output on a pipe; stopped by its process id.
class Oscdump {
public:
    explicit Oscdump(int port)
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        const std::string portText = std::to_string(port);
        char* argv[] = {const_cast<char*>("oscdump"), const_cast<char*>("-L"), const_cast<char*>(portText.c_str()),
                        nullptr};
        if (posix_spawnp(&pid_, "oscdump", &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        output_ = pipeEnds[0];
    }
    ~Oscdump()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) close(output_);
    }
    bool Running() const { return pid_ > 0; }

    // Complete lines that arrive within `waitMs`.
    std::vector<std::string> Lines(int waitMs)
    {
        std::vector<std::string> lines;
        pollfd readable{output_, POLLIN, 0};
        if (poll(&readable, 1, waitMs) != 1) return lines;
        char chunk[4096];
        const ssize_t n = read(output_, chunk, sizeof chunk);
        if (n > 0) pending_.append(chunk, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos; pending_.erase(0, end + 1)) {
            lines.push_back(pending_.substr(0, end));
        }
        return lines;
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
};

// The message part of a line: oscdump puts its own time stamp first.
std::string Message(const std::string& line)
{
    const std::size_t space = line.find(' ');
    return space == std::string::npos ? line : line.substr(space + 1);
}

TEST(OscdumpTest, ARealOscClientReadsEveryMessageOfOurBundles)
{
    if (!OnPath("oscdump")) GTEST_SKIP() << "oscdump (liblo-tools) is not installed";
    const int port = FreePort();
    ASSERT_NE(port, 0);
    Oscdump oscdump(port);
    ASSERT_TRUE(oscdump.Running());
    UdpChannel channel(port);
    ASSERT_TRUE(channel.Connected());
    NoFaultLog faults;

    // Until oscdump listens, bundles of a probe source go nowhere: send them
    // until one comes back as lines.
    TuioOutput probe(channel, "probe@127.0.0.1", "oscdump", faults);
    ContactSnapshot empty;
    empty.sampled = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool listening = false;
    while (!listening && std::chrono::steady_clock::now() < deadline) {
        probe.Publish(empty);
        listening = !oscdump.Lines(50).empty();
    }
    ASSERT_TRUE(listening) << "oscdump printed nothing";

    // Two contacts: slot 0 moves, slot 2 is released, then everything ends.
    FakeCalibration calibration;
    calibration.screen = {1000, 500};
    ContactTracker tracker;
    TuioOutput tuio(channel, "Brelvin@127.0.0.1", "oscdump", faults);
    const RecordBuilder both = RecordBuilder().Contact(0, 100, 100).Contact(2, 500, 250);
    tuio.Publish(tracker.Update(both.Decoded(), 10, calibration));
    tuio.Publish(tracker.Update(both.Decoded(), 10, calibration));
    tuio.Publish(tracker.Update(RecordBuilder().Contact(0, 200, 100).Release(2).Decoded(), 10, calibration));
    tuio.Publish(tracker.EndAll());
    ASSERT_EQ(tuio.BundlesSent(), 4u);

    // Every line after the probes, up to our last frame.
    std::vector<std::string> ours;
    bool inOurs = false;
    while (std::chrono::steady_clock::now() < deadline &&
           (ours.empty() || ours.back() != "/tuio/2Dcur si \"fseq\" 4")) {
        for (const std::string& line : oscdump.Lines(100)) {
            const std::string message = Message(line);
            if (message.find("\"source\"") != std::string::npos) inOurs = message.find("Brelvin@") != std::string::npos;
            if (inOurs) ours.push_back(message);
        }
    }
    const std::vector<std::string> expected = {
        "/tuio/2Dcur ss \"source\" \"Brelvin@127.0.0.1\"",
        "/tuio/2Dcur s \"alive\"",
        "/tuio/2Dcur si \"fseq\" 1",
        "/tuio/2Dcur ss \"source\" \"Brelvin@127.0.0.1\"",
        "/tuio/2Dcur sii \"alive\" 1 2",
        "/tuio/2Dcur sifffff \"set\" 1 0.100000 0.200000 0.000000 0.000000 0.000000",
        "/tuio/2Dcur sifffff \"set\" 2 0.500000 0.500000 0.000000 0.000000 0.000000",
        "/tuio/2Dcur si \"fseq\" 2",
        "/tuio/2Dcur ss \"source\" \"Brelvin@127.0.0.1\"",
        "/tuio/2Dcur si \"alive\" 1",
        "/tuio/2Dcur sifffff \"set\" 1 0.200000 0.200000 10.000000 0.000000 1000.000000",
        "/tuio/2Dcur si \"fseq\" 3",
        "/tuio/2Dcur ss \"source\" \"Brelvin@127.0.0.1\"",
        "/tuio/2Dcur s \"alive\"",
        "/tuio/2Dcur si \"fseq\" 4",
    };
    EXPECT_EQ(ours, expected);
}

} // namespace
} // namespace driver
