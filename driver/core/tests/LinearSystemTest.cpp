#include "driver/LinearSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

using driver::SolveLinearSystem;

constexpr int kN = 8;

void Multiply(const double a[kN][kN], const double x[kN], double out[kN])
{
    for (int r = 0; r < kN; ++r) {
        out[r] = 0;
        for (int k = 0; k < kN; ++k) out[r] += a[r][k] * x[k];
    }
}

TEST(LinearSystem, SolvesAndInvertsRandomSystems)
{
    std::mt19937 rng(8);
    std::uniform_real_distribution<double> entry(-1000, 1000);
    for (int round = 0; round < 200; ++round) {
        double a[kN][kN], work[kN][kN], solution[kN], rhs[kN];
        for (int r = 0; r < kN; ++r) {
            solution[r] = entry(rng);
            for (int k = 0; k < kN; ++k) a[r][k] = work[r][k] = entry(rng);
        }
        Multiply(a, solution, rhs);
        testing::internal::CaptureStdout();
        SolveLinearSystem(&work[0][0], kN, rhs);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        for (int r = 0; r < kN; ++r) EXPECT_NEAR(rhs[r], solution[r], 1e-6 * (1 + std::fabs(solution[r])));
        // work now holds the inverse: a x inverse is the identity.
        for (int r = 0; r < kN; ++r)
            for (int c = 0; c < kN; ++c) {
                double sum = 0;
                for (int k = 0; k < kN; ++k) sum += a[r][k] * work[k][c];
                EXPECT_NEAR(sum, r == c ? 1.0 : 0.0, 1e-8);
            }
    }
}

TEST(LinearSystem, SingularSystemReportsAndGoesOn)
{
    double a[kN][kN];
    double rhs[kN];
    for (int r = 0; r < kN; ++r) {
        rhs[r] = r;
        for (int k = 0; k < kN; ++k) a[r][k] = (r == kN - 1) ? a[0][k] : (r == k ? 2.0 : 0.0);
    }
    testing::internal::CaptureStdout();
    SolveLinearSystem(&a[0][0], kN, rhs);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Singual Matrix\n"), std::string::npos);
    bool anyNonFinite = false;
    for (double v : rhs) anyNonFinite = anyNonFinite || !std::isfinite(v);
    EXPECT_TRUE(anyNonFinite);
}

TEST(LinearSystem, MatrixWithoutNumbersReportsAPivotUsedTwice)
{
    double a[kN][kN];
    double rhs[kN];
    for (int r = 0; r < kN; ++r) {
        rhs[r] = 1;
        for (int k = 0; k < kN; ++k) a[r][k] = std::nan("");
    }
    testing::internal::CaptureStdout();
    SolveLinearSystem(&a[0][0], kN, rhs);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("1Singual matrix\n"), std::string::npos);
    for (double v : rhs) EXPECT_FALSE(std::isfinite(v));
}

} // namespace
