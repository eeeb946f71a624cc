#include "common/ToolOptions.h"

#include "common/PolicyRegistry.h"
#include "common/SettingsLocator.h"
#include "common/Win32System.h"

namespace common {
namespace {

// Where LocateSettingsFile would point, without making the copy.
std::string SettingsFileInForce()
{
    if (IsUserAdmin() != 0) return ProgramFolderA() + kSettingsFileName;
    return AppDataFolderA() + kPerUserFolder + kSettingsFileName;
}

} // namespace

ToolOptions::ToolOptions()
    : settingsInForce_(SettingsFileInForce()),
      programFolderCopy_(ProgramFolderA() + kSettingsFileName),
      policies_(ReadPolicies().values)
{}

} // namespace common
