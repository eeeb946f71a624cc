#pragma once
// The suite's shared geometry (common/Geometry.h) under the names the
// driver and the tools built on it use: a header that needs only a point or
// a screen size includes this and nothing of the driver.
#include "common/Geometry.h"

namespace driver {

using common::Point;
using common::ScreenPosition;
using common::ScreenSize;

} // namespace driver
