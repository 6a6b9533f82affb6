#include "controls/MsgTextLayout.h"

#include "framework/Text.h"

namespace {

constexpr int kRowLeft = 60;
constexpr int kRowRight = 280;
constexpr int kRowHeight = 18;
constexpr int kBlockCentre = 69;
constexpr int kFixedRowsTop = 46;

bool Fits(const std::wstring& text, const MeasureText& measure)
{
    return measure(text) <= LINE_WIDTH_LIMIT;
}

// Rows of 18 pixels, starting at top.
std::vector<TextRow> StackRows(const std::vector<std::wstring>& lines, int top)
{
    std::vector<TextRow> rows;
    for (const std::wstring& line : lines) {
        rows.push_back(TextRow{line, RECT{kRowLeft, top, kRowRight, top + kRowHeight}});
        top += kRowHeight;
    }
    return rows;
}

// Rows centred on y 69, with the error-code row last when there is one.
std::vector<TextRow> CentredRows(std::vector<std::wstring> lines, int errorCode)
{
    if (errorCode != -1) lines.push_back(GetErrorCodeLine(errorCode));
    const int height = kRowHeight * static_cast<int>(lines.size());
    return StackRows(lines, kBlockCentre - height / 2);
}

std::vector<TextRow> WrappedLayout(const std::wstring& text, int errorCode, const MeasureText& measure)
{
    std::wstring lineA, lineB;
    WrapIntoTwoLines(TrimLineFeeds(text), measure, lineA, lineB);
    std::vector<std::wstring> lines{lineA};
    if (!lineB.empty()) lines.push_back(lineB);
    return CentredRows(lines, errorCode);
}

std::vector<TextRow> SplitLayout(const std::wstring& text, int errorCode, const MeasureText& measure)
{
    const size_t feed = text.find(L'\n');
    const std::wstring partOne = feed == std::wstring::npos ? text : text.substr(0, feed);
    const std::wstring partTwo = feed == std::wstring::npos ? std::wstring() : TrimLineFeeds(text.substr(feed + 1));
    std::wstring lineA, lineB;
    if (partTwo.empty()) {
        WrapIntoTwoLines(partOne, measure, lineA, lineB);
    } else {
        lineA = CutToOneLine(partOne, measure);
        lineB = CutToOneLine(partTwo, measure);
    }
    std::vector<std::wstring> lines{lineA};
    if (!lineB.empty()) lines.push_back(lineB);
    return CentredRows(lines, errorCode);
}

std::vector<TextRow> FixedSplitLayout(const std::wstring& text, int errorCode)
{
    // This layout has no place for an error code: the box then shows no text at all.
    if (errorCode != -1) return {};
    const std::wstring trimmed = TrimLineFeeds(text);
    const std::wstring lineA = trimmed.substr(0, 18);
    const std::wstring lineB = trimmed.size() > 18 ? trimmed.substr(18, 10) : std::wstring();
    const std::wstring lineC = trimmed.size() > 11 ? trimmed.substr(trimmed.size() - 11) : trimmed;
    return StackRows({lineA, lineB, lineC}, kFixedRowsTop);
}

}  // namespace

int EffectiveMsgMode(int mode)
{
    return mode >= 1 && mode <= 3 ? mode : 0;
}

std::vector<TextRow> LayoutMessageText(int mode, const std::wstring& text, int errorCode, const MeasureText& measure)
{
    switch (EffectiveMsgMode(mode)) {
    case 1: return SplitLayout(text, errorCode, measure);
    case 3: return FixedSplitLayout(text, errorCode);
    default: return WrappedLayout(text, errorCode, measure);
    }
}

std::wstring TrimLineFeeds(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L'\n');
    if (first == std::wstring::npos) return std::wstring();
    const size_t last = text.find_last_not_of(L'\n');
    return text.substr(first, last - first + 1);
}

void WrapIntoTwoLines(const std::wstring& text, const MeasureText& measure, std::wstring& lineA, std::wstring& lineB)
{
    lineA.clear();
    lineB.clear();
    if (Fits(text, measure)) {
        lineA = text;
        return;
    }
    std::wstring measured;
    for (const wchar_t c : text) {
        measured += c;
        if (Fits(measured, measure)) {
            (lineB.empty() ? lineA : lineB) += c;
        } else if (lineB.empty()) {
            measured.assign(1, c);  // c opens the second line
            lineB.assign(1, c);
        } else {
            return;  // what does not fit on the second line is not shown
        }
    }
}

std::wstring CutToOneLine(const std::wstring& text, const MeasureText& measure)
{
    if (Fits(text, measure)) return text;
    std::wstring line;
    for (const wchar_t c : text) {
        if (!Fits(line + c, measure)) break;
        line += c;
    }
    return line;
}

std::wstring GetErrorCodeLine(int errorCode)
{
    return framework::Format(L"错误码：%03d", errorCode);
}
