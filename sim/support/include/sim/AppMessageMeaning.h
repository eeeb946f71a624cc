#pragma once
// What a message the driver posted to the drawing application means, in
// words, for the run job's summary.
#include <string>

namespace sim {

// Empty when the message is not one the driver sends.
std::string AppMessageMeaning(unsigned message, unsigned long long wParam, long long lParam);

} // namespace sim
