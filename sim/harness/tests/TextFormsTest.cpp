#include "sim/TextForms.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(TextForms, PathsWidenAndTextsBecomeUtf8)
{
    EXPECT_EQ(WidePath("Z:\\work\\bin\\FakeCamera.dll"), L"Z:\\work\\bin\\FakeCamera.dll");
    EXPECT_EQ(WidePath(""), L"");
    EXPECT_EQ(Utf8(L"Tilmaro - \u767D\u677F"), "Tilmaro - \xE7\x99\xBD\xE6\x9D\xBF");
    EXPECT_EQ(Utf8(L"plain"), "plain");
    EXPECT_EQ(Utf8(L""), "");
}

} // namespace
} // namespace sim
