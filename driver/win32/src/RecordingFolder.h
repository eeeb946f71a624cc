#pragma once
// Recordings for the board check go beside the support log, in the user's
// local application data, one file each ("Recording-<date>-<time>.script").
// Only the newest kKept stay: a support desk that records again and again
// never fills the disk.
#include "driver/BoardCheckAnswers.h"

#include <string>
#include <vector>

namespace brelvin {

class RecordingFolder final : public driver::RecordingStorage {
public:
    static constexpr int kKept = 5;

    // `folder` ends with a backslash; `settingsPath` is the WBInit.ini in
    // force; `options` are where the options come from (the profiles and
    // the policies outlive the folder).
    RecordingFolder(std::string folder, std::string settingsPath, common::SettingsSources options);

    std::string SettingsText() override;
    std::vector<driver::OptionInForce> OptionsInForce() override;
    std::string LocalTime() override;
    std::string Save(const std::string& text) override;

private:
    void KeepNewest();

    std::string folder_;
    std::string settingsPath_;
    common::SettingsSources options_;
};

} // namespace brelvin
