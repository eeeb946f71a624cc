// The package's check of its install properties, run before anything is
// written: each option's property that is given (common/Options.h) must
// hold a value the option allows. A bad one ends the install with a message
// that names the property, its value and what it takes; with a user
// interface it is shown, with /qn it goes to the installer's log.
//
// Windows Installer calls the export from its Binary table (custom action
// type 1), as the installing user, before InstallValidate.
#include "common/Options.h"

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

namespace {

std::string PropertyValue(MSIHANDLE install, const char* name)
{
    char probe[1] = "";
    DWORD size = 0;
    const UINT asked = MsiGetPropertyA(install, name, probe, &size);
    if (asked != ERROR_MORE_DATA && asked != ERROR_SUCCESS) return std::string();
    std::string value(size + 1, '\0');
    size += 1;
    if (MsiGetPropertyA(install, name, &value[0], &size) != ERROR_SUCCESS) return std::string();
    value.resize(size);
    return value;
}

void Say(MSIHANDLE install, INSTALLMESSAGE kind, const std::string& text)
{
    PMSIHANDLE record = MsiCreateRecord(1);
    // Field 0 is a template the installer formats; the text goes in as a
    // field of its own. Some installers format the field too, so the texts
    // hold no brackets of their own.
    MsiRecordSetStringA(record, 0, "[1]");
    MsiRecordSetStringA(record, 1, text.c_str());
    MsiProcessMessage(install, kind, record);
}

} // namespace

extern "C" UINT __stdcall CheckSettingsProperties(MSIHANDLE install)
{
    UINT result = ERROR_SUCCESS;
    for (const common::Option* option : common::kOptions) {
        const std::string value = PropertyValue(install, option->property);
        if (value.empty()) continue;
        if (common::IsAllowedValue(*option, value)) {
            Say(install, INSTALLMESSAGE_INFO,
                std::string(option->property) + "=" + value + " goes into WBInit.ini in the program folder, section " +
                    option->section + ", key " + option->key + ".");
            continue;
        }
        Say(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR),
            std::string("The install property ") + option->property + "=" + value + " cannot be used: " +
                option->property + " takes " + common::AllowedValues(*option) + ". Nothing was installed or changed.");
        result = ERROR_INSTALL_FAILURE;
    }
    return result;
}
