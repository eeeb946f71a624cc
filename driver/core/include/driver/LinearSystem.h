#pragma once
// The solver behind the calibration's cell transforms.

namespace driver {

// Gauss-Jordan elimination with full pivoting on an n x n system stored row
// by row: on return `rhs` holds the solution and `matrix` the inverse. A
// singular system is reported on standard output and leaves values that are
// infinite or not a number. n is at most 8.
void SolveLinearSystem(double* matrix, int n, double* rhs);

} // namespace driver
