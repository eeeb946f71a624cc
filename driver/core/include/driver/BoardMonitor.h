#pragma once
// Which monitor the board is on, decided again at every load (start-up, a
// change of the desktop or of the policies, the end of a calibration run):
// section [Display] as it is in force, a policy's value first (see
// common/DisplaySettings.h), against the monitors the desktop has at that
// moment. Window thread only.
//
// A chosen monitor that is not there puts the board on the primary screen;
// the support log gets one line when that happens and one when the monitor
// is back and the board with it, not one per load.
#include "common/PolicyValues.h"
#include "common/Profile.h"
#include "driver/BoardScreen.h"
#include "driver/Desktop.h"
#include "driver/FaultLog.h"

#include <string>

namespace driver {

class BoardMonitor {
public:
    // `settingsInForce` is the file the driver reads; `programFolderCopy`
    // the program folder's WBInit.ini (the same file for an administrator);
    // `policies` those in force now, looked at again at every Place().
    BoardMonitor(Desktop& desktop, const common::Profile& settingsInForce, const common::Profile& programFolderCopy,
                 const common::PolicyValues& policies, FaultLog& faults)
        : desktop_(desktop),
          settingsInForce_(settingsInForce),
          programFolderCopy_(programFolderCopy),
          policies_(policies),
          faults_(faults)
    {}

    // Reads [Display] and the desktop's monitors now.
    BoardPlacement Place();
    // The settings as last read, against the desktop's monitors now: for a
    // look at the desktop between loads.
    BoardPlacement PlaceOnCurrentDesktop();
    // Whether the settings as last read put the board on the primary screen,
    // whose changes always come with a display-change message.
    bool ChoosesPrimary() const { return settings_.IsDefault(); }

private:
    void NoteChange(const BoardPlacement& placement);

    Desktop& desktop_;
    const common::Profile& settingsInForce_;
    const common::Profile& programFolderCopy_;
    const common::PolicyValues& policies_;
    FaultLog& faults_;
    common::DisplaySettings settings_;
    // What the support log was last told.
    bool noted_ = false;
    bool fellBack_ = false;
    std::string why_;
    std::string device_;
    common::PixelRect rect_;
};

} // namespace driver
