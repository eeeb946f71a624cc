// The policy values as Group Policy leaves them in the registry (the 64-bit
// view of HKLM\Software\Policies), read back as the text WBInit.ini would
// hold; a value of a type no option can take is named, not used.
#include "common/PolicyRegistry.h"
#include "common/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// Beside the real key, so that drivers started by other tests read nothing;
// one key per case, as ctest runs the cases side by side in one prefix.
const char* const kPolicyKeys = "Software\\Policies\\CvSoftware\\BrelvinPolicyRegistryTest";

class PolicyRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Named by the case's line: short, as a problem's text names the key and is kept short.
        const int line = ::testing::UnitTest::GetInstance()->current_test_info()->line();
        policyKey_ = std::string(kPolicyKeys) + "\\" + std::to_string(line);
        multitouchPolicy_ = policyKey_ + "\\Multitouch";
        // What a case stopped before its end left in the prefix is gone first.
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteTreeA(root, policyKey_.c_str());
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, multitouchPolicy_.c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        key_.Reset(key);
    }
    void TearDown() override
    {
        key_.Reset();
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, multitouchPolicy_.c_str(), KEY_WOW64_64KEY, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, PolicyKey(), KEY_WOW64_64KEY, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kPolicyKeys, KEY_WOW64_64KEY, 0); // fails while another case holds one
    }
    void SetDword(const char* name, DWORD value)
    {
        RegSetValueExA(key_.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    void SetText(const char* name, const std::string& text, DWORD type = REG_SZ)
    {
        RegSetValueExA(key_.Get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }

    const char* PolicyKey() const { return policyKey_.c_str(); }

    std::string policyKey_;
    std::string multitouchPolicy_;
    common::UniqueRegistryKey key_;
};

TEST_F(PolicyRegistry, ReadsEachTypeAsTheFilesText)
{
    EXPECT_TRUE(common::ReadPolicies(PolicyKey()).values.Empty()) << "a key without values sets nothing";

    SetDword("TUIO", 1);
    SetDword("TUIO_PORT", 4000);
    SetText("TUIO_HOST", "10.0.0.9");
    SetText("TOUCH_INJECTION", "01", REG_BINARY);
    const common::PolicyReading reading = common::ReadPolicies(PolicyKey());
    ASSERT_NE(reading.values.Find(common::options::kTuio), nullptr);
    EXPECT_EQ(*reading.values.Find(common::options::kTuio), "1");
    EXPECT_EQ(*reading.values.Find(common::options::kTuioPort), "4000");
    EXPECT_EQ(*reading.values.Find(common::options::kTuioHost), "10.0.0.9");
    EXPECT_EQ(reading.values.Find(common::options::kTouchInjection), nullptr);
    ASSERT_EQ(reading.problems.size(), 1u);
    EXPECT_NE(reading.problems[0].find("TOUCH_INJECTION is not a REG_DWORD"), std::string::npos) << reading.problems[0];
}

// A text as long as the files' longest value is read whole; one character
// more is named and ignored, never cut short.
TEST_F(PolicyRegistry, ATextUpToTheFilesLongestValueIsReadWholeAndALongerOneIsRefused)
{
    const std::string longest(259, '1');
    SetText("TUIO_HOST", longest);
    const common::PolicyReading fits = common::ReadPolicies(PolicyKey());
    ASSERT_NE(fits.values.Find(common::options::kTuioHost), nullptr);
    EXPECT_EQ(*fits.values.Find(common::options::kTuioHost), longest);

    SetText("TUIO_HOST", longest + "1");
    const common::PolicyReading tooLong = common::ReadPolicies(PolicyKey());
    EXPECT_EQ(tooLong.values.Find(common::options::kTuioHost), nullptr);
    ASSERT_EQ(tooLong.problems.size(), 1u);
    EXPECT_NE(tooLong.problems[0].find("longer than 259 characters"), std::string::npos) << tooLong.problems[0];
}

// The smoothing is a user's choice: a user's policy stands where the
// machine's is silent, and the machine's wins where it speaks.
TEST_F(PolicyRegistry, AUsersPolicyCountsOnlyForAUsersOptionAndOnlyWhereTheMachineIsSilent)
{
    const std::string section = std::string(PolicyKey()) + "\\Filter";
    HKEY user = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, section.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              nullptr, &user, nullptr),
              ERROR_SUCCESS);
    const common::UniqueRegistryKey userKey(user);
    for (const char* value : {"MODE", "BETA"}) {
        const std::string text = value == std::string("MODE") ? "adaptive" : "0.5";
        RegSetValueExA(userKey.Get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
    common::PolicyReading reading = common::ReadPolicies(PolicyKey());
    ASSERT_NE(reading.values.Find(common::options::kFilterMode), nullptr);
    EXPECT_EQ(*reading.values.Find(common::options::kFilterMode), "adaptive");
    EXPECT_EQ(reading.values.Find(common::options::kFilterBeta), nullptr) << "a machine's option";

    HKEY machine = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, section.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              nullptr, &machine, nullptr),
              ERROR_SUCCESS);
    const common::UniqueRegistryKey machineKey(machine);
    RegSetValueExA(machineKey.Get(), "MODE", 0, REG_SZ, reinterpret_cast<const BYTE*>("fixed"), 6);
    reading = common::ReadPolicies(PolicyKey());
    EXPECT_EQ(*reading.values.Find(common::options::kFilterMode), "fixed");

    RegDeleteKeyExA(HKEY_CURRENT_USER, section.c_str(), KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_CURRENT_USER, PolicyKey(), KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_CURRENT_USER, kPolicyKeys, KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, section.c_str(), KEY_WOW64_64KEY, 0);
}

} // namespace
