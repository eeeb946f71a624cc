#include "ActionImageList.h"

#include "resource.h"

namespace pentool {

namespace {

constexpr int kPictureSize = 32;
constexpr int kPictureCount = 22;
// Black marks the background of every picture.
constexpr COLORREF kMaskColour = RGB(0, 0, 0);

// Owns one loaded bitmap until the image list has taken its copy.
class LoadedBitmap {
public:
    LoadedBitmap(HINSTANCE instance, int id)
        : bitmap_(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)))
    {}
    ~LoadedBitmap()
    {
        if (bitmap_) DeleteObject(bitmap_);
    }
    LoadedBitmap(const LoadedBitmap&) = delete;
    LoadedBitmap& operator=(const LoadedBitmap&) = delete;
    HBITMAP Handle() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

} // namespace

const std::array<PenAction, 11> kPenActions = {{
    {L"IDC_BMP1", IDB_BLANK_PAGE, IDB_BLANK_PAGE_SELECTED},
    {L"IDC_BMP2", IDB_FLOPPY_DISK, IDB_FLOPPY_DISK_SELECTED},
    {L"IDC_BMP3", IDB_ARROW_LEFT, IDB_ARROW_LEFT_SELECTED},
    {L"IDC_BMP4", IDB_ARROW_RIGHT, IDB_ARROW_RIGHT_SELECTED},
    {L"IDC_BMP5", IDB_MOUSE_POINTER, IDB_MOUSE_POINTER_SELECTED},
    {L"IDC_BMP6", IDB_PEN, IDB_PEN_SELECTED},
    {L"IDC_BMP7", IDB_ERASER, IDB_ERASER_SELECTED},
    {L"IDC_BMP8", IDB_OPEN_HAND, IDB_OPEN_HAND_SELECTED},
    {L"IDC_BMP9", IDB_MAGNIFIER, IDB_MAGNIFIER_SELECTED},
    {L"IDC_BMP10", IDB_FULL_SCREEN, IDB_FULL_SCREEN_SELECTED},
    {L"IDC_BMP11", IDB_SPOTLIGHT, IDB_SPOTLIGHT_SELECTED},
}};

ActionImageList::ActionImageList(HINSTANCE instance)
    : list_(ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR24 | ILC_MASK, 0, kPictureCount))
{
    if (!list_) return;
    for (const PenAction& action : kPenActions) {
        for (int id : {action.normalBitmap, action.selectedBitmap}) {
            LoadedBitmap bitmap(instance, id);
            if (bitmap.Handle()) ImageList_AddMasked(list_, bitmap.Handle(), kMaskColour);
        }
    }
}

ActionImageList::~ActionImageList()
{
    if (list_) ImageList_Destroy(list_);
}

int ActionImageList::Count() const
{
    return list_ ? ImageList_GetImageCount(list_) : 0;
}

void FillActionList(HWND comboBoxEx, const ActionImageList& images, const std::array<std::wstring, 11>& names)
{
    SendMessageW(comboBoxEx, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Handle()));
    for (int n = 0; n < static_cast<int>(kPenActions.size()); ++n) {
        std::wstring text = names[n];
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = n;
        item.pszText = text.data();
        item.iImage = 2 * n;
        item.iSelectedImage = 2 * n + 1;
        SendMessageW(comboBoxEx, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

} // namespace pentool
