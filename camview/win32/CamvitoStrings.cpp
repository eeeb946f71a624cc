#include "CamvitoStrings.h"

#include "common/Win32Profile.h"
#include "common/Win32System.h"

namespace camview {

namespace {

std::wstring LanguageFile()
{
    return common::ProgramFolderW() + L"Language.ini";
}

} // namespace

AlreadyRunningTexts LoadAlreadyRunningTexts()
{
    const std::wstring file = LanguageFile();
    return {common::ReadLanguageTextW(file, L"String", L"IDS_MSBCAP"),
            common::ReadLanguageTextW(file, L"String", L"IDS_SERRUNNING")};
}

DialogTexts LoadDialogTexts()
{
    const std::wstring file = LanguageFile();
    DialogTexts texts;
    texts.noCameraCaption = common::ReadLanguageTextW(file, L"String", L"IDS_CONNECTCAP");
    texts.noCameraText = common::ReadLanguageTextW(file, L"Camvito", L"IDS_CAMVITONOINIT");
    texts.hint = common::ReadLanguageTextW(file, L"Camvito", L"IDS_CAMVITOCAP");
    texts.sliderLabel = common::ReadLanguageTextW(file, L"Camvito", L"IDS_CAMVITOSET");
    texts.caption = common::ReadLanguageTextW(file, L"Camvito", L"IDS_TOTEL");
    texts.turnButton = common::ReadLanguageTextW(file, L"Camvito", L"IDS_BTNIMAGE");
    texts.closeButton = common::ReadLanguageTextW(file, L"Camvito", L"IDS_BTNCANCEL");
    return texts;
}

} // namespace camview
