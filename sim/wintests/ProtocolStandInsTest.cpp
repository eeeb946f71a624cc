// The protocol stand-ins on their own, with the test in the driver's place:
// the drawing application's socket end, the calibration program's pipe end
// and the device-change route.
#include "Waits.h"
#include "common/Messages.h"
#include "common/UniqueHandle.h"
#include "common/UniqueSocket.h"
#include "sim/BoardRig.h"
#include "sim/DeviceChange.h"
#include "sim/LineLog.h"
#include "sim/LogFiles.h"
#include "sim/TouchRecord.h"
#include "sim/Waiting.h"
#include "sim/WindowSearch.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace sim {
namespace {

// How long the test keeps a go-ahead open: many times the calibrator's 5 ms
// look at its folder.
constexpr unsigned kGoAheadHeldMs = 300;

class WinsockSession {
public:
    WinsockSession() { ok_ = WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
    ~WinsockSession()
    {
        if (ok_) WSACleanup();
    }
    bool Ok() const { return ok_; }

private:
    WSADATA data_{};
    bool ok_ = false;
};

class ClientSocket {
public:
    ClientSocket()
        : socket_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP))
    {}
    bool Connect()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(6171);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return connect(socket_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    bool Send(const std::string& bytes)
    {
        return send(socket_.Get(), bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
    }
    void Close() { socket_.Reset(); }

private:
    common::UniqueSocket socket_;
};

// The driver's window as the calibrator finds it, owned by the test thread:
// what is posted to it is taken from the queue while the test waits.
class StandInDriverWindow {
public:
    StandInDriverWindow()
    {
        window_ = CreateWindowExA(0, wnd::kDriverClass, wnd::kDriverCaption, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    ~StandInDriverWindow()
    {
        if (window_) DestroyWindow(window_);
    }
    bool Ok() const { return window_ != nullptr; }

    // Waits for a posted message of the given number; its MSG, or a zero
    // message after the time-out.
    MSG WaitForPosted(UINT number, unsigned timeoutMs = kWaitMs)
    {
        MSG found{};
        WaitUntil(
            [&] {
                MSG message;
                while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) {
                    if (message.message == number) {
                        found = message;
                        return true;
                    }
                    DispatchMessageA(&message);
                }
                return false;
            },
            timeoutMs);
        return found;
    }

private:
    HWND window_ = nullptr;
};

// One forwarding pipe instance of the driver's kind, waited on without
// blocking.
class ForwardingPipeServer {
public:
    ForwardingPipeServer()
        : pipe_(CreateNamedPipeA("\\\\.\\Pipe\\Kelvado", PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 50, 0, 0, 1000, nullptr)),
          connected_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        overlapped_.hEvent = connected_.Get();
        if (pipe_ && !ConnectNamedPipe(pipe_.Get(), &overlapped_) && GetLastError() == ERROR_PIPE_CONNECTED)
            SetEvent(connected_.Get());
    }
    ~ForwardingPipeServer()
    {
        CancelIo(pipe_.Get());
        DisconnectNamedPipe(pipe_.Get());
    }
    bool WaitForClient() const { return WaitForSingleObject(connected_.Get(), kWaitMs) == WAIT_OBJECT_0; }
    bool Write(const std::string& bytes)
    {
        OVERLAPPED overlapped{};
        common::UniqueHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        overlapped.hEvent = done.Get();
        DWORD written = 0;
        if (!WriteFile(pipe_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        return GetOverlappedResult(pipe_.Get(), &overlapped, &written, TRUE) && written == bytes.size();
    }
    void Disconnect() { DisconnectNamedPipe(pipe_.Get()); }

private:
    common::UniqueHandle pipe_;
    common::UniqueHandle connected_;
    OVERLAPPED overlapped_{};
};

std::string RecordBytes(const TouchRecord& record)
{
    return std::string(record.begin(), record.end());
}

class ProtocolStandInsTest : public ::testing::Test {
protected:
    ProtocolStandInsTest()
        : folder_(OwnFolder() + "scratch\\", "protocol-standins")
    {}

    ChildProcess StartProgram(const std::string& name, const std::string& arguments = std::string())
    {
        EXPECT_TRUE(folder_.CopyIn(OwnFolder() + name, name)) << name;
        return ChildProcess::Start(folder_.File(name), folder_.Path(), arguments);
    }
    bool WaitForLine(const char* log, const std::string& line) const
    {
        return WaitForLogLine(folder_.File(log), line, kWaitMs);
    }
    std::string Log(const char* log) const { return ReadWholeFile(folder_.File(log)); }
    void Close(const char* className, ChildProcess& process)
    {
        PostMessageA(FindWindowA(className, nullptr), WM_CLOSE, 0, 0);
        EXPECT_TRUE(process.WaitForExit(kWaitMs));
    }

    ScratchFolder folder_;
};

TEST_F(ProtocolStandInsTest, ListeningDrawingAppLogsPacketsPerConnection)
{
    WinsockSession winsock;
    ASSERT_TRUE(winsock.Ok());
    ChildProcess app = StartProgram(kDrawingAppProgram, "/listen");
    ASSERT_TRUE(WaitForLine(kDrawingAppSocketLog, "listening")) << Log(kDrawingAppSocketLog);

    ClientSocket first;
    ASSERT_TRUE(first.Connect());
    ASSERT_TRUE(WaitForLine(kDrawingAppSocketLog, "accept 1"));
    // Packets cut at odd places still come out whole.
    const std::string packets("\xEE\xEE\x81\x05\x00\x02\xD0\x56\xEE\xEE\x83\x03\xE8\x02\xBC\xD6", 16);
    ASSERT_TRUE(first.Send(packets.substr(0, 5)));
    ASSERT_TRUE(first.Send(packets.substr(5)));
    ASSERT_TRUE(WaitForLine(kDrawingAppSocketLog, "packet 1 EEEE8303E802BCD6")) << Log(kDrawingAppSocketLog);

    ClientSocket second;
    ASSERT_TRUE(second.Connect());
    ASSERT_TRUE(WaitForLine(kDrawingAppSocketLog, "accept 2"));
    first.Close();
    ASSERT_TRUE(WaitForLine(kDrawingAppSocketLog, "closed 1"));
    ASSERT_TRUE(second.Send(std::string("\xEE\xEE\x88\x00\x10\x00\x20\x00", 8)));
    ASSERT_TRUE(WaitForLine(kDrawingAppSocketLog, "packet 2 EEEE880010002000"));

    Close(wnd::kDrawingAppClass, app);
    const std::vector<std::string> lines = LogLines(folder_.File(kDrawingAppSocketLog));
    const std::vector<std::string> expected = {
        "listening", "accept 1", "packet 1 EEEE81050002D056", "packet 1 EEEE8303E802BCD6",
        "accept 2",  "closed 1", "packet 2 EEEE880010002000"};
    EXPECT_EQ(lines, expected);
}

TEST_F(ProtocolStandInsTest, DrawingAppWithoutSwitchLeavesThePortAlone)
{
    WinsockSession winsock;
    ASSERT_TRUE(winsock.Ok());
    ChildProcess app = StartProgram(kDrawingAppProgram);
    ASSERT_TRUE(WaitForWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption, kWaitMs));
    ClientSocket client;
    EXPECT_FALSE(client.Connect());
    Close(wnd::kDrawingAppClass, app);
    EXPECT_TRUE(Log(kDrawingAppSocketLog).empty());
}

// Wine carries the device-interface record of a sent WM_DEVICECHANGE across
// processes; the end-to-end scenarios rely on it to plug cameras.
TEST_F(ProtocolStandInsTest, DeviceChangeRecordsReachAnotherProcessWhole)
{
    ChildProcess app = StartProgram(kDrawingAppProgram);
    HWND window = WaitForWindow(wnd::kDrawingAppClass, wnd::kDrawingAppCaption, kWaitMs);
    ASSERT_TRUE(window);
    const std::string listed = ListedCameraInterfaceName(0);
    ASSERT_TRUE(SendDeviceChange(window, DeviceChange::Arrival, listed, kWaitMs));
    ASSERT_TRUE(SendDeviceChange(window, DeviceChange::RemoveComplete, LowerCasePrefixInterfaceName(3), kWaitMs));
    Close(wnd::kDrawingAppClass, app);

    std::vector<std::string> devices;
    for (const std::string& line : LogLines(folder_.File(kDrawingAppLog))) {
        if (line.compare(0, 7, "device ") == 0) devices.push_back(line);
    }
    ASSERT_EQ(devices.size(), 2u) << Log(kDrawingAppLog);
    EXPECT_EQ(devices[0], "device 32768 " + listed);
    EXPECT_EQ(devices[1], "device 32772 " + LowerCasePrefixInterfaceName(3));
    EXPECT_EQ(listed.substr(0, 8), "\\\\?\\USB#");
    EXPECT_EQ(listed.substr(8, 4), "VID_");
    EXPECT_EQ(LowerCasePrefixInterfaceName(3).substr(8, 4), "vid_");
    EXPECT_NE(UnlistedCameraInterfaceName().substr(8, 17), listed.substr(8, 17));
}

TEST_F(ProtocolStandInsTest, CalibratorReadsEachRunAndEndsItAsScripted)
{
    StandInDriverWindow driver;
    ASSERT_TRUE(driver.Ok());
    ASSERT_TRUE(folder_.Write("new.ini", "[coordinate]\r\nwdot=3\r\n"));
    ASSERT_TRUE(folder_.Write(kCalibratorScript, "start 8\nnonzero 2\nrecords 5\nsettings new.ini\nend 0 0\n"
                                                 "start 0\nwait go\nend 0 1\n"));
    ChildProcess calibrator = StartProgram(kCalibratorProgram);

    // Run 1: plain forwarding; two touch records among zero ones, the bytes
    // cut across the record boundaries.
    MSG start = driver.WaitForPosted(msg::kPipeForwardStart);
    ASSERT_EQ(start.message, msg::kPipeForwardStart);
    EXPECT_EQ(start.lParam, 8);
    {
        ForwardingPipeServer pipe;
        ASSERT_TRUE(pipe.WaitForClient());
        TouchRecord touch{};
        PutSlot(touch, 0, PointSlot{status::kContact, 1600, 1200});
        PutSlot(touch, 3, PointSlot{status::kRelease, 0x1234, 0x0567});
        TouchRecord zero{};
        const std::string stream =
            RecordBytes(zero) + RecordBytes(touch) + RecordBytes(zero) + RecordBytes(touch) + RecordBytes(zero);
        ASSERT_TRUE(pipe.Write(stream.substr(0, 27)));
        ASSERT_TRUE(pipe.Write(stream.substr(27)));
        MSG end = driver.WaitForPosted(msg::kPipeForwardEnd);
        ASSERT_EQ(end.message, msg::kPipeForwardEnd);
        EXPECT_EQ(end.wParam, 0u);
        EXPECT_EQ(end.lParam, 0);
        pipe.Disconnect();
        ASSERT_TRUE(WaitForLine(kCalibratorLog, "end 1 records 5 nonzero 2 disconnected")) << Log(kCalibratorLog);
        EXPECT_EQ(FindLogLine(folder_.File(kCalibratorLog), "record 1 "), "record 1 " + ToHex(touch));
    }
    EXPECT_EQ(ReadWholeFile(folder_.File(kSettingsFile)), "[coordinate]\r\nwdot=3\r\n");

    // Run 2: the driver keeps the connection until the end is posted; the
    // calibrator gives up waiting for it and says so.
    start = driver.WaitForPosted(msg::kPipeForwardStart);
    ASSERT_EQ(start.message, msg::kPipeForwardStart);
    EXPECT_EQ(start.lParam, 0);
    ForwardingPipeServer pipe;
    ASSERT_TRUE(pipe.WaitForClient());
    ASSERT_TRUE(WaitForLine(kCalibratorLog, "connected 2"));
    ASSERT_TRUE(pipe.Write(std::string(20, '\0')));
    // The go-ahead counts once the calibrator has taken the file away: while
    // the test still has it open for writing the run goes on, and no file is
    // left behind for a later wait of the same name.
    {
        const common::UniqueHandle writing(CreateFileA(folder_.File("go").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                       nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writing);
        EXPECT_EQ(driver.WaitForPosted(msg::kPipeForwardEnd, kGoAheadHeldMs).message, 0u)
            << "the run ended on a go-ahead still being written";
    }
    MSG end = driver.WaitForPosted(msg::kPipeForwardEnd);
    EXPECT_EQ(end.lParam, 1);
    EXPECT_FALSE(folder_.Holds("go"));
    ASSERT_TRUE(WaitForLine(kCalibratorLog, "end 2 records 1 nonzero 0 connected")) << Log(kCalibratorLog);
    ASSERT_TRUE(WaitForLine(kCalibratorLog, "script done"));

    // The calibration key's close leaves the window; a plain close ends it.
    HWND dialog = FindWindowA(wnd::kCalibrationDialogClass, nullptr);
    ASSERT_TRUE(dialog);
    PostMessageA(dialog, WM_CLOSE, 1, 1);
    ASSERT_TRUE(WaitForLine(kCalibratorLog, "close 1 1"));
    EXPECT_TRUE(IsWindow(dialog));
    Close(wnd::kCalibrationDialogClass, calibrator);
    EXPECT_EQ(LogLines(folder_.File(kCalibratorLog)).back(), "exit");
}

TEST_F(ProtocolStandInsTest, CalibratorRefusesAFaultyScriptAndGivesUpWithoutTheDriver)
{
    ASSERT_TRUE(folder_.Write(kCalibratorScript, "start 0\nrecords 0\n"));
    ChildProcess faulty = StartProgram(kCalibratorProgram);
    EXPECT_TRUE(WaitForLine(kCalibratorLog, "script error line 2: records needs a count of at least 1"));
    ASSERT_TRUE(WaitForWindow(wnd::kCalibrationDialogClass, nullptr, kWaitMs));
    Close(wnd::kCalibrationDialogClass, faulty);

    ASSERT_TRUE(DeleteFileA(folder_.File(kCalibratorLog).c_str()));
    ASSERT_TRUE(folder_.Write(kCalibratorScript, "start 0\nend 0 0\n"));
    ChildProcess alone = StartProgram(kCalibratorProgram);
    EXPECT_TRUE(WaitForLine(kCalibratorLog, "error no driver window"));
    EXPECT_TRUE(WaitForLine(kCalibratorLog, "script failed line 1"));
    ASSERT_TRUE(WaitForWindow(wnd::kCalibrationDialogClass, nullptr, kWaitMs));
    Close(wnd::kCalibrationDialogClass, alone);
}

} // namespace
} // namespace sim
