#include "driver/LinearSystem.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace driver {
namespace {

constexpr int kMaxUnknowns = 8;

void SwapRows(double* matrix, int n, int a, int b)
{
    for (int k = 0; k < n; ++k) std::swap(matrix[a * n + k], matrix[b * n + k]);
}

void SwapColumns(double* matrix, int n, int a, int b)
{
    for (int r = 0; r < n; ++r) std::swap(matrix[r * n + a], matrix[r * n + b]);
}

} // namespace

// Singularity does not stop the elimination: the diagnostics go to standard
// output and the solution comes out infinite or not a number, which the
// caller checks.
void SolveLinearSystem(double* matrix, int n, double* rhs)
{
    if (!matrix || !rhs || n <= 0 || n > kMaxUnknowns) return;
    int pivotMarks[kMaxUnknowns] = {};
    int rowIndex[kMaxUnknowns] = {};
    int columnIndex[kMaxUnknowns] = {};
    // A step that finds no candidate (every remaining entry not a number)
    // reuses the previous pivot, as the elimination always has.
    int pivotRow = 0;
    int pivotColumn = 0;
    double* const a = matrix;

    for (int step = 0; step < n; ++step) {
        double big = 0;
        for (int r = 0; r < n; ++r) {
            if (pivotMarks[r] == 1) continue;
            for (int k = 0; k < n; ++k) {
                if (pivotMarks[k] == 0) {
                    const double size = std::fabs(a[r * n + k]);
                    if (size >= big) {
                        big = size;
                        pivotRow = r;
                        pivotColumn = k;
                    }
                } else if (pivotMarks[k] > 1) {
                    std::fputs("1Singual matrix\n", stdout);
                }
            }
        }
        ++pivotMarks[pivotColumn];
        if (pivotRow != pivotColumn) {
            SwapRows(a, n, pivotRow, pivotColumn);
            std::swap(rhs[pivotRow], rhs[pivotColumn]);
        }
        rowIndex[step] = pivotRow;
        columnIndex[step] = pivotColumn;
        double& pivot = a[pivotColumn * n + pivotColumn];
        if (pivot == 0) std::fputs("Singual Matrix\n", stdout);
        const double inverse = 1.0 / pivot;
        pivot = 1.0;
        for (int k = 0; k < n; ++k) a[pivotColumn * n + k] *= inverse;
        rhs[pivotColumn] *= inverse;
        for (int l = 0; l < n; ++l) {
            if (l == pivotColumn) continue;
            const double t = a[l * n + pivotColumn];
            a[l * n + pivotColumn] = 0;
            for (int k = 0; k < n; ++k) a[l * n + k] -= a[pivotColumn * n + k] * t;
            rhs[l] -= rhs[pivotColumn] * t;
        }
    }
    for (int step = n - 1; step >= 0; --step)
        if (rowIndex[step] != columnIndex[step]) SwapColumns(a, n, rowIndex[step], columnIndex[step]);
}

} // namespace driver
