// Any bytes as WBInit.ini: the load must finish and the model must map
// points without undefined behaviour (the sanitizers watch every cast).
#include "CalibrationMemoryProfile.h"
#include "common/DecimalNumber.h"
#include "driver/Calibration.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Singular cells are reported on standard output; keep the log readable.
    std::freopen("/dev/null", "w", stdout);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    calibration_testing::MemoryProfile settings(text);
    driver::CCalibration calibration;
    calibration.Load(settings, driver::BoardScreen::PrimaryOnly({1024, 768}));

    for (double x = -100; x <= 3300; x += 170)
        for (double y = -100; y <= 2500; y += 130) {
            driver::Point p{x, y};
            calibration.MapPoint(p);
        }
    // Points from the input itself: edges, huge values, not-a-number.
    for (std::size_t at = 0; at + 2 * sizeof(double) <= size && at < 256; at += 2 * sizeof(double)) {
        driver::Point p;
        std::memcpy(&p.x, data + at, sizeof(double));
        std::memcpy(&p.y, data + at + sizeof(double), sizeof(double));
        calibration.MapPoint(p);
    }
    for (int n = 0; n < driver::CCalibration::kKeyPoints; ++n) calibration.KeyPoint(n);

    double value = 0;
    common::ParseNumber(text.c_str(), value);
    return 0;
}
