// Where the message box puts its text: pure functions over a measuring callback, so that the
// rules (two wrapped rows, the split at the first line feed, the fixed slices of mode 3, the
// error-code row) can be checked without a window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Width in pixels of a text in the font the box draws with.
using MeasureText = std::function<int(const std::wstring&)>;

constexpr int LINE_WIDTH_LIMIT = 220;

struct TextRow {
    std::wstring text;
    RECT rect;
};

// Mode 1, 2 and 3 as given; every other value behaves as mode 0.
int EffectiveMsgMode(int mode);

// The rows to draw for a message, top to bottom.
std::vector<TextRow> LayoutMessageText(int mode, const std::wstring& text, int errorCode, const MeasureText& measure);

// The pieces the layouts are made of.
std::wstring TrimLineFeeds(const std::wstring& text);
void WrapIntoTwoLines(const std::wstring& text, const MeasureText& measure, std::wstring& lineA, std::wstring& lineB);
std::wstring CutToOneLine(const std::wstring& text, const MeasureText& measure);
std::wstring GetErrorCodeLine(int errorCode);
