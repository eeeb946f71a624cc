// The package's check of its install properties, run before anything is
// written: each option's property that is given (common/Options.h) must
// hold a value the option allows, and LANGUAGE must name one of the texts
// the package carries. A bad one ends the install with a message that names
// the property, its value and what it takes; with a user interface it is
// shown, with /qn it goes to the installer's log.
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

void Refuse(MSIHANDLE install, const std::string& property, const std::string& value, const std::string& takes)
{
    Say(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR),
        "The install property " + property + "=" + value + " cannot be used: " + property + " takes " + takes +
            ". Nothing was installed or changed.");
}

bool CheckOption(MSIHANDLE install, const common::Option& option)
{
    const std::string value = PropertyValue(install, option.property);
    if (value.empty()) return true;
    if (!common::IsAllowedValue(option, value)) {
        Refuse(install, option.property, value, common::AllowedValues(option));
        return false;
    }
    Say(install, INSTALLMESSAGE_INFO,
        std::string(option.property) + "=" + value + " goes into WBInit.ini in the program folder, section " +
            option.section + ", key " + option.key + ".");
    return true;
}

// The texts the package carries, as LANGUAGE names them. The component
// conditions of package-tables.sql pick the Chinese Language.ini for "zh"
// and the English one for anything else, so without this check a mistyped
// value ("zh-CN", "chs") would quietly give a school English menus.
struct PackagedTexts {
    const char* value;
    const char* name;
};
constexpr PackagedTexts kPackagedTexts[] = {{"en", "English"}, {"zh", "Simplified Chinese"}};

// As the installer's ~= compares: letter case ignored, nothing else.
char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return i == a.size() && !b[i];
}

// An empty LANGUAGE is the property not given: the English texts, as for
// every option left empty.
bool CheckLanguage(MSIHANDLE install)
{
    const std::string value = PropertyValue(install, "LANGUAGE");
    if (value.empty()) return true;
    std::string takes;
    for (const PackagedTexts& texts : kPackagedTexts) {
        if (SameIgnoringCase(value, texts.value)) return true;
        if (!takes.empty()) takes += " or ";
        takes += std::string(texts.value) + " (" + texts.name + " texts)";
    }
    Refuse(install, "LANGUAGE", value, takes);
    return false;
}

} // namespace

extern "C" UINT __stdcall CheckSettingsProperties(MSIHANDLE install)
{
    // Every property is looked at, so that one run names every bad value.
    bool allGood = CheckLanguage(install);
    for (const common::Option* option : common::kOptions) {
        allGood = CheckOption(install, *option) && allGood;
    }
    return allGood ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}
