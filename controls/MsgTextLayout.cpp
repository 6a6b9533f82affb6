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

// Line A, line B when it is not empty and the error-code row when there is one, as a block
// centred on y 69.
std::vector<TextRow> CentredRows(const std::wstring& lineA, const std::wstring& lineB, int errorCode)
{
    std::vector<std::wstring> lines{lineA};
    if (!lineB.empty()) lines.push_back(lineB);
    if (errorCode != -1) lines.push_back(GetErrorCodeLine(errorCode));
    const int height = kRowHeight * static_cast<int>(lines.size());
    return StackRows(lines, kBlockCentre - height / 2);
}

// Line feeds at either end removed, the rest wrapped into at most two rows.
std::vector<TextRow> WrappedLayout(const std::wstring& text, int errorCode, const MeasureText& measure)
{
    std::wstring lineA, lineB;
    WrapIntoTwoLines(TrimLineFeeds(text), measure, lineA, lineB);
    return CentredRows(lineA, lineB, errorCode);
}

// Split at the first line feed: two parts cut to one row each, or one part wrapped when there is
// nothing after the line feed.
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
    return CentredRows(lineA, lineB, errorCode);
}

// A request cut to one row, and what follows the first line feed (a list of programs) wrapped
// into two.
std::vector<TextRow> RequestAndListLayout(const std::wstring& text, int errorCode, const MeasureText& measure)
{
    const size_t feed = text.find(L'\n');
    std::wstring request = CutToOneLine(TrimLineFeeds(text.substr(0, feed)), measure);
    std::wstring listA, listB;
    if (feed != std::wstring::npos) WrapIntoTwoLines(TrimLineFeeds(text.substr(feed + 1)), measure, listA, listB);
    std::vector<std::wstring> lines{request};
    for (const std::wstring* line : {&listA, &listB}) {
        if (!line->empty()) lines.push_back(*line);
    }
    if (errorCode != -1) lines.push_back(GetErrorCodeLine(errorCode));
    return StackRows(lines, kBlockCentre - kRowHeight * static_cast<int>(lines.size()) / 2);
}

// Three slices of fixed length, however long the text is: the first 18 characters, the 10 after
// them and the last 11. Their rows start at y 46 and take no width into account.
std::vector<TextRow> FixedSplitLayout(const std::wstring& text, int errorCode)
{
    const std::wstring trimmed = TrimLineFeeds(text);
    std::vector<std::wstring> lines{
        trimmed.substr(0, 18),
        trimmed.size() > 18 ? trimmed.substr(18, 10) : std::wstring(),
        trimmed.size() > 11 ? trimmed.substr(trimmed.size() - 11) : trimmed,
    };
    // The error code gets a fourth row below the slices rather than hiding the message.
    if (errorCode != -1) lines.push_back(GetErrorCodeLine(errorCode));
    return StackRows(lines, kFixedRowsTop);
}

}  // namespace

MeasureText MeasureIn(HDC dc)
{
    return [dc](const std::wstring& text) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
}

MsgDlgMode EffectiveMsgMode(int mode)
{
    switch (mode) {
    case MSGDLG_ERROR:
    case MSGDLG_YESNO:
    case MSGDLG_CONTINUE_QUIT:
    case MSGDLG_RETRY_CANCEL: return static_cast<MsgDlgMode>(mode);
    default: return MSGDLG_NOTICE;
    }
}

std::vector<TextRow> LayoutMessageText(int mode, const std::wstring& text, int errorCode, const MeasureText& measure)
{
    switch (EffectiveMsgMode(mode)) {
    case MSGDLG_ERROR: return SplitLayout(text, errorCode, measure);
    case MSGDLG_CONTINUE_QUIT: return FixedSplitLayout(text, errorCode);
    case MSGDLG_RETRY_CANCEL: return RequestAndListLayout(text, errorCode, measure);
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
