// The message box's text layouts measured as the box measures them: DEFAULT_GUI_FONT selected
// into a memory device context, under the zh-CN code page the harness runs with.
#include <gtest/gtest.h>

#include "controls/MsgTextLayout.h"
#include "framework/Gdi.h"

namespace {

class RealFont : public ::testing::Test {
protected:
    RealFont() : m_dc(static_cast<HDC>(nullptr)), m_font(m_dc.get(), ::GetStockObject(DEFAULT_GUI_FONT)) {}

    int Width(const std::wstring& text) const { return Measure()(text); }

    MeasureText Measure() const { return MeasureIn(m_dc.get()); }

    // A row is as long as it can be: it fits, and one more character of the text would not.
    void ExpectLongestFit(const std::wstring& row, const std::wstring& rest) const
    {
        EXPECT_LE(Width(row), LINE_WIDTH_LIMIT) << "row does not fit";
        ASSERT_FALSE(rest.empty());
        EXPECT_GT(Width(row + rest[0]), LINE_WIDTH_LIMIT) << "row could have taken one more character";
    }

    framework::MemoryDC m_dc;
    framework::SelectScope m_font;
};

const std::wstring kLong =
    L"安装程序无法连接到更新服务器，请检查您的网络连接是否正常，然后重新启动安装程序再试一次。"
    L"如果问题仍然存在，请联系技术支持并提供错误码。";

TEST_F(RealFont, ChineseTextHasWidthAndAShortMessageIsOneRow)
{
    EXPECT_GT(Width(L"安"), 6);
    const std::wstring text = L"安装程序已在运行中，请勿重复启动。";
    ASSERT_LE(Width(text), LINE_WIDTH_LIMIT);
    const std::vector<TextRow> rows = LayoutMessageText(MSGDLG_NOTICE, text, -1, Measure());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, text);
    EXPECT_EQ(rows[0].rect.top, 60);
}

TEST_F(RealFont, LongTextWrapsAtTheLongestPrefixAndDropsWhatIsLeft)
{
    ASSERT_GT(Width(kLong), 2 * LINE_WIDTH_LIMIT);
    const std::vector<TextRow> rows = LayoutMessageText(MSGDLG_NOTICE, kLong, -1, Measure());
    ASSERT_EQ(rows.size(), 2u);
    const std::wstring& first = rows[0].text;
    const std::wstring& second = rows[1].text;
    ASSERT_EQ(kLong.compare(0, first.size(), first), 0) << "the first row is a prefix";
    ExpectLongestFit(first, kLong.substr(first.size()));
    ASSERT_EQ(kLong.compare(first.size(), second.size(), second), 0) << "the second row continues it";
    ExpectLongestFit(second, kLong.substr(first.size() + second.size()));
    EXPECT_LT(first.size() + second.size(), kLong.size());
}

TEST_F(RealFont, FailureTextIsSplitAtItsLineFeedAndEachPartCut)
{
    const std::wstring partOne = kLong.substr(0, 30);
    const std::wstring partTwo = kLong.substr(30, 30);
    const std::vector<TextRow> rows = LayoutMessageText(MSGDLG_ERROR, partOne + L"\n" + partTwo, 3, Measure());
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(partOne.compare(0, rows[0].text.size(), rows[0].text), 0);
    ExpectLongestFit(rows[0].text, partOne.substr(rows[0].text.size()));
    ASSERT_EQ(partTwo.compare(0, rows[1].text.size(), rows[1].text), 0);
    ExpectLongestFit(rows[1].text, partTwo.substr(rows[1].text.size()));
    EXPECT_EQ(rows[2].text, L"错误码：003");
    EXPECT_LE(Width(rows[2].text), LINE_WIDTH_LIMIT);
    EXPECT_EQ(rows[0].rect.top, 42);
}

}  // namespace
