#pragma once
// What the driver's close and destroy handling owes the programs around it.
#include "driver/Desktop.h"
#include "driver/DriverState.h"

namespace driver {

// Only when the drawing application was told a camera is connected, tells
// it the board is gone.
void AnnounceDriverClosing(Desktop& desktop, DriverState& state);

} // namespace driver
