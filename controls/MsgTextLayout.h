// Where the message box puts its text: pure functions over a measuring callback, so that the
// rules (two wrapped rows, the split at the first line feed, the fixed slices of mode 3, the
// request and its list of mode 4, the error-code row) can be checked without a window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The message box's display modes. Any other value behaves as MSGDLG_NOTICE.
enum MsgDlgMode {
    MSGDLG_NOTICE = 0,          // one 确定 button
    MSGDLG_ERROR = 1,           // one 确定 button, the text split at its first line feed
    MSGDLG_YESNO = 2,           // 是 / 否
    MSGDLG_CONTINUE_QUIT = 3,   // 继续安装 / 退出安装, the text in three fixed slices
    MSGDLG_RETRY_CANCEL = 4,    // 重试 / 取消, one row up to the first line feed, two rows after it
};

// Width in pixels of a text in the font the box draws with.
using MeasureText = std::function<int(const std::wstring&)>;

constexpr int LINE_WIDTH_LIMIT = 220;

// Widths in the font selected into dc at the time of each measurement.
MeasureText MeasureIn(HDC dc);

struct TextRow {
    std::wstring text;
    RECT rect;
};

// MSGDLG_ERROR, MSGDLG_YESNO, MSGDLG_CONTINUE_QUIT and MSGDLG_RETRY_CANCEL as given; every other value as MSGDLG_NOTICE.
MsgDlgMode EffectiveMsgMode(int mode);

// The rows to draw for a message, top to bottom.
std::vector<TextRow> LayoutMessageText(int mode, const std::wstring& text, int errorCode, const MeasureText& measure);

// The pieces the layouts are made of.
std::wstring TrimLineFeeds(const std::wstring& text);
void WrapIntoTwoLines(const std::wstring& text, const MeasureText& measure, std::wstring& lineA, std::wstring& lineB);
std::wstring CutToOneLine(const std::wstring& text, const MeasureText& measure);
std::wstring GetErrorCodeLine(int errorCode);
