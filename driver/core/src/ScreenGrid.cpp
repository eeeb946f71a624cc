#include "driver/ScreenGrid.h"

namespace driver {

Point ScreenGridPoint(double column, double row, int columns, int rows, int width, int height)
{
    const double sx = width * kGridSpan / (columns - 1);
    const double sy = height * kGridSpan / (rows - 1);
    return {column * sx + width * kScreenMargin, row * sy + height * kScreenMargin};
}

} // namespace driver
