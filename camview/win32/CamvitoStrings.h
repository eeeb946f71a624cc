#pragma once
// The texts Camvito takes from Language.ini beside the program.
#include <string>

namespace camview {

struct AlreadyRunningTexts {
    std::wstring caption; // "String" / IDS_MSBCAP
    std::wstring text;    // "String" / IDS_SERRUNNING
};

struct DialogTexts {
    std::wstring noCameraCaption; // "String" / IDS_CONNECTCAP
    std::wstring noCameraText;    // "Camvito" / IDS_CAMVITONOINIT
    std::wstring hint;            // "Camvito" / IDS_CAMVITOCAP
    std::wstring sliderLabel;     // "Camvito" / IDS_CAMVITOSET
    std::wstring caption;         // "Camvito" / IDS_TOTEL
    std::wstring turnButton;      // "Camvito" / IDS_BTNIMAGE
    std::wstring closeButton;     // "Camvito" / IDS_BTNCANCEL
};

AlreadyRunningTexts LoadAlreadyRunningTexts();
DialogTexts LoadDialogTexts();

} // namespace camview
