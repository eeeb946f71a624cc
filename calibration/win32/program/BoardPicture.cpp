#include "BoardPicture.h"

#include "GdiObjects.h"

#include "common/TextEncoding.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kalmeno {
namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kRing = RGB(0, 0, 0);
constexpr COLORREF kRingResting = RGB(0, 150, 40);
constexpr COLORREF kCross = RGB(210, 0, 0);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kQuiet = RGB(90, 90, 90);
constexpr COLORREF kNotice = RGB(190, 70, 0);
constexpr COLORREF kGood = RGB(0, 130, 40);
constexpr COLORREF kBad = RGB(190, 0, 0);
constexpr COLORREF kPatternDark = RGB(0, 0, 0);
constexpr COLORREF kPatternDisc = RGB(255, 255, 255);
constexpr COLORREF kPatternProgress = RGB(48, 48, 48);

struct Line {
    std::string text;
    int heightDivisor; // font height: the client height divided by this
    bool bold;
    COLORREF colour;
};

UniqueGdiObject MakeFont(int height, bool bold)
{
    // The system substitutes a face with the script's glyphs where this one
    // lacks them (Chinese texts).
    return UniqueGdiObject(CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                       DEFAULT_PITCH | FF_SWISS, L"Segoe UI"));
}

void DrawTarget(HDC dc, const RECT& client, POINT at, bool resting)
{
    const int unit = std::min(client.right - client.left, client.bottom - client.top);
    const int radius = std::max(20, unit / 14);
    const UniqueGdiObject ringPen(CreatePen(PS_SOLID, std::max(4, radius / 7), resting ? kRingResting : kRing));
    const UniqueGdiObject crossPen(CreatePen(PS_SOLID, std::max(3, radius / 12), kCross));
    const UniqueGdiObject centre(CreateSolidBrush(kRing));
    {
        const Selection pen(dc, ringPen.Get());
        const Selection hollow(dc, GetStockObject(NULL_BRUSH));
        Ellipse(dc, at.x - radius, at.y - radius, at.x + radius + 1, at.y + radius + 1);
    }
    {
        const Selection pen(dc, crossPen.Get());
        const int arm = radius * 8 / 5;
        MoveToEx(dc, at.x - arm, at.y, nullptr);
        LineTo(dc, at.x + arm + 1, at.y);
        MoveToEx(dc, at.x, at.y - arm, nullptr);
        LineTo(dc, at.x, at.y + arm + 1);
    }
    const int dot = std::max(3, radius / 10);
    const Selection fill(dc, centre.Get());
    const Selection noEdge(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, at.x - dot, at.y - dot, at.x + dot + 1, at.y + dot + 1);
}

COLORREF TitleColour(Tone tone)
{
    switch (tone) {
    case Tone::Good: return kGood;
    case Tone::Bad: return kBad;
    case Tone::Running: break;
    }
    return kText;
}

std::vector<Line> LinesOf(const BoardPicture& picture)
{
    const calibration::FlowScreen& w = picture.words;
    std::vector<Line> lines = {{w.title, 14, true, TitleColour(picture.tone)}, {w.notice, 24, true, kNotice},
                               {w.hint, 28, false, kText}};
    for (const std::string& result : w.results) lines.push_back({result, 28, false, kText});
    lines.push_back({w.outcome, 28, false, kText});
    lines.push_back({w.help, 36, false, kQuiet});
    lines.push_back({w.file, 42, false, kQuiet});
    lines.push_back({w.ownCopy, 42, false, kQuiet});
    return lines;
}

// The words on the half of the screen the target leaves free.
void DrawWords(HDC dc, const RECT& client, const BoardPicture& picture)
{
    const int width = client.right - client.left, height = client.bottom - client.top;
    const bool targetAbove = picture.target && picture.target->y < height / 2;
    int y = picture.target ? (targetAbove ? height * 11 / 20 : height / 10) : height / 6;
    const int left = width / 10, right = width - width / 10;
    SetBkMode(dc, TRANSPARENT);
    for (const Line& line : LinesOf(picture)) {
        if (line.text.empty()) continue;
        const UniqueGdiObject font = MakeFont(std::max(12, height / line.heightDivisor), line.bold);
        const Selection selected(dc, font.Get());
        SetTextColor(dc, line.colour);
        const std::wstring text = common::Wide(line.text);
        RECT box = {left, y, right, y};
        const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
        DrawTextW(dc, text.c_str(), -1, &box, format | DT_CALCRECT);
        box.left = left;
        box.right = right;
        DrawTextW(dc, text.c_str(), -1, &box, format);
        y = box.bottom + height / 80;
    }
}

// The pattern fills the screen; its progress line sits small at the bottom
// edge, the one place no target is near.
void DrawPattern(HDC dc, const RECT& client, const PatternPicture& pattern, const std::string& progress)
{
    const UniqueGdiObject dark(CreateSolidBrush(kPatternDark));
    FillRect(dc, &client, static_cast<HBRUSH>(dark.Get()));
    if (pattern.disc) {
        const UniqueGdiObject white(CreateSolidBrush(kPatternDisc));
        const Selection fill(dc, white.Get());
        const Selection noEdge(dc, GetStockObject(NULL_PEN));
        const POINT at = *pattern.disc;
        Ellipse(dc, at.x - pattern.radius, at.y - pattern.radius, at.x + pattern.radius + 1, at.y + pattern.radius + 1);
    }
    if (progress.empty()) return;
    const int height = client.bottom - client.top;
    const UniqueGdiObject font = MakeFont(std::max(10, height / 60), false);
    const Selection selected(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kPatternProgress);
    const std::wstring text = common::Wide(progress);
    RECT box = {client.left, client.bottom - height / 30, client.right, client.bottom};
    DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
}

bool SamePoint(const std::optional<POINT>& a, const std::optional<POINT>& b)
{
    return a.has_value() == b.has_value() && (!a || (a->x == b->x && a->y == b->y));
}

} // namespace

bool PatternPicture::operator==(const PatternPicture& other) const
{
    return number == other.number && SamePoint(disc, other.disc) && radius == other.radius;
}

bool BoardPicture::operator==(const BoardPicture& other) const
{
    const bool sameTarget = SamePoint(target, other.target);
    const bool samePattern = pattern.has_value() == other.pattern.has_value() && (!pattern || *pattern == *other.pattern);
    const calibration::FlowScreen &a = words, &b = other.words;
    return sameTarget && samePattern && resting == other.resting && tone == other.tone && a.title == b.title &&
           a.hint == b.hint &&
           a.notice == b.notice && a.results == b.results && a.outcome == b.outcome && a.help == b.help &&
           a.file == b.file && a.ownCopy == b.ownCopy;
}

void PaintBoardPicture(HDC dc, const RECT& client, const BoardPicture& picture)
{
    const int width = client.right - client.left, height = client.bottom - client.top;
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    const UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, width, height));
    // Without room in memory the picture is drawn straight onto the screen.
    const bool buffered = memory && bitmap;
    const HDC target = buffered ? memory.Get() : dc;
    std::optional<Selection> canvas;
    if (buffered) canvas.emplace(memory.Get(), bitmap.Get());

    if (picture.pattern) {
        DrawPattern(target, client, *picture.pattern, picture.words.title);
    } else {
        const UniqueGdiObject background(CreateSolidBrush(kBackground));
        FillRect(target, &client, static_cast<HBRUSH>(background.Get()));
        if (picture.target) DrawTarget(target, client, *picture.target, picture.resting);
        DrawWords(target, client, picture);
    }
    if (buffered) BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

} // namespace kalmeno
