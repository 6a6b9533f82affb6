// Where the message box puts its text, with a fake measure: every character is 10 pixels wide
// except 'W' (30) and '|' (4), so that 22 ordinary characters fill a row exactly.
#include <gtest/gtest.h>

#include "controls/MsgTextLayout.h"

namespace {

int FakeWidth(const std::wstring& text)
{
    int width = 0;
    for (wchar_t c : text) width += c == L'W' ? 30 : c == L'|' ? 4 : 10;
    return width;
}

const MeasureText kMeasure = FakeWidth;

// n characters "abcd...", cycling through the lower-case alphabet (10 pixels each).
std::wstring Letters(size_t n, wchar_t first = L'a')
{
    std::wstring text;
    for (size_t i = 0; i < n; ++i) text += static_cast<wchar_t>(first + i % 26);
    return text;
}

struct Row {
    std::wstring text;
    int top, bottom;
};

std::vector<Row> Rows(int mode, const std::wstring& text, int errorCode = -1)
{
    std::vector<Row> rows;
    for (const TextRow& row : LayoutMessageText(mode, text, errorCode, kMeasure)) {
        EXPECT_EQ(row.rect.left, 60);
        EXPECT_EQ(row.rect.right, 280);
        rows.push_back(Row{row.text, row.rect.top, row.rect.bottom});
    }
    return rows;
}

void ExpectRows(const std::vector<Row>& actual, const std::vector<Row>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].text, expected[i].text) << "row " << i + 1;
        EXPECT_EQ(actual[i].top, expected[i].top) << "row " << i + 1;
        EXPECT_EQ(actual[i].bottom, expected[i].bottom) << "row " << i + 1;
    }
}

TEST(MessageTextWrap, TextOfExactlyTheLimitIsOneRowCentredOnTheBox)
{
    const std::wstring text = Letters(22);  // 220 pixels: the limit itself fits
    ExpectRows(Rows(MSGDLG_NOTICE, text), {{text, 60, 78}});
}

TEST(MessageTextWrap, OnePixelOverTheLimitWrapsTheLastCharacter)
{
    const std::wstring text = Letters(21) + L"W";  // 240 pixels
    ExpectRows(Rows(MSGDLG_NOTICE, text), {{Letters(21), 51, 69}, {L"W", 69, 87}});
}

TEST(MessageTextWrap, LongTextFillsTwoRowsAndDropsTheRest)
{
    const std::wstring text = Letters(60);
    ExpectRows(Rows(MSGDLG_NOTICE, text), {{text.substr(0, 22), 51, 69}, {text.substr(22, 22), 69, 87}});
}

TEST(MessageTextWrap, FirstRowIsTheLongestPrefixThatFitsWithMixedWidths)
{
    // 19 × 10 + 30 = 220 fits; the next 'W' does not and opens the second row.
    const std::wstring text = Letters(19) + L"WW" + L"|||||";
    ExpectRows(Rows(MSGDLG_NOTICE, text), {{Letters(19) + L"W", 51, 69}, {L"W|||||", 69, 87}});
}

TEST(MessageTextWrap, SecondRowEndsAtTheFirstCharacterThatDoesNotFit)
{
    // The second row measures from its own first character: 'W' + 19 letters = 220 fits, then a
    // narrow '|' no longer does, and nothing after it is shown.
    const std::wstring text = Letters(22) + L"W" + Letters(19) + L"|||";
    ExpectRows(Rows(MSGDLG_NOTICE, text), {{Letters(22), 51, 69}, {L"W" + Letters(19), 69, 87}});
}

TEST(MessageTextWrap, OuterLineFeedsAreRemovedAndInnerOnesAreOrdinaryCharacters)
{
    ExpectRows(Rows(MSGDLG_NOTICE, L"\n\nword\n"), {{L"word", 60, 78}});
    ExpectRows(Rows(MSGDLG_NOTICE, L"ab\ncd"), {{L"ab\ncd", 60, 78}});
    // An inner line feed is measured like any character: it can be where the row breaks.
    const std::wstring text = Letters(21) + L"\n" + L"xyz";
    ExpectRows(Rows(MSGDLG_NOTICE, text), {{Letters(21) + L"\n", 51, 69}, {L"xyz", 69, 87}});
}

TEST(MessageTextWrap, QuestionModeWrapsLikeTheNotice)
{
    for (const std::wstring& text : {Letters(5), Letters(60), std::wstring(L"\nab\ncd\n")}) {
        ExpectRows(Rows(MSGDLG_YESNO, text), Rows(MSGDLG_NOTICE, text));
    }
}

TEST(MessageTextWrap, EmptyTextIsOneEmptyRow)
{
    ExpectRows(Rows(MSGDLG_NOTICE, L""), {{L"", 60, 78}});
    ExpectRows(Rows(MSGDLG_NOTICE, L"\n\n"), {{L"", 60, 78}});
}

TEST(MessageTextModes, ModesOutsideOneToFourBehaveAsTheNotice)
{
    EXPECT_EQ(EffectiveMsgMode(7), MSGDLG_NOTICE);
    EXPECT_EQ(EffectiveMsgMode(-1), MSGDLG_NOTICE);
    EXPECT_EQ(EffectiveMsgMode(5), MSGDLG_NOTICE);
    EXPECT_EQ(EffectiveMsgMode(MSGDLG_RETRY_CANCEL), MSGDLG_RETRY_CANCEL);
    EXPECT_EQ(EffectiveMsgMode(MSGDLG_ERROR), MSGDLG_ERROR);
    EXPECT_EQ(EffectiveMsgMode(MSGDLG_YESNO), MSGDLG_YESNO);
    EXPECT_EQ(EffectiveMsgMode(MSGDLG_CONTINUE_QUIT), MSGDLG_CONTINUE_QUIT);
    // Texts that the other modes would lay out differently: a line feed split, fixed slices.
    for (const std::wstring& text : {Letters(30) + L"\n" + Letters(5), std::wstring(L"\nabc"), Letters(40)}) {
        for (int mode : {7, -1, 5, 100}) {
            ExpectRows(Rows(mode, text, -1), Rows(MSGDLG_NOTICE, text, -1));
            ExpectRows(Rows(mode, text, 12), Rows(MSGDLG_NOTICE, text, 12));
        }
    }
}

TEST(MessageTextRequest, TheRequestTakesOneRowAndTheProgramsTwo)
{
    const std::wstring request = Letters(25), programs = Letters(30, L'0');
    // The request cut to a row; the list wrapped into two, the rest dropped; centred as a block.
    ExpectRows(Rows(MSGDLG_RETRY_CANCEL, request + L"\n" + programs + Letters(30)),
               {{Letters(22), 42, 60}, {programs.substr(0, 22), 60, 78}, {programs.substr(22) + Letters(14), 78, 96}});
    ExpectRows(Rows(MSGDLG_RETRY_CANCEL, L"abc\nExcel"), {{L"abc", 51, 69}, {L"Excel", 69, 87}});
    ExpectRows(Rows(MSGDLG_RETRY_CANCEL, L"abc"), {{L"abc", 60, 78}});
}

TEST(MessageTextSplit, TwoPartsAreCutToOneRowEach)
{
    const std::wstring first = Letters(30);
    const std::wstring second = Letters(25, L'a') + L"W";
    ExpectRows(Rows(MSGDLG_ERROR, first + L"\n" + second),
               {{first.substr(0, 22), 51, 69}, {second.substr(0, 22), 69, 87}});
}

TEST(MessageTextSplit, OnlyTheFirstLineFeedSplitsAndTheSecondPartIsTrimmed)
{
    ExpectRows(Rows(MSGDLG_ERROR, L"one\n\ntwo\nthree\n\n"), {{L"one", 51, 69}, {L"two\nthree", 69, 87}});
}

TEST(MessageTextSplit, WordFollowedByLineFeedsIsWrappedLikeTheWordAlone)
{
    ExpectRows(Rows(MSGDLG_ERROR, L"word\n\n"), {{L"word", 60, 78}});
    // Wrapped, not cut: a long first part continues on the second row.
    const std::wstring text = Letters(30);
    ExpectRows(Rows(MSGDLG_ERROR, text + L"\n\n"), {{text.substr(0, 22), 51, 69}, {text.substr(22), 69, 87}});
}

TEST(MessageTextSplit, LeadingLineFeedLeavesTheFirstRowEmpty)
{
    ExpectRows(Rows(MSGDLG_ERROR, L"\nabc"), {{L"", 51, 69}, {L"abc", 69, 87}});
}

TEST(MessageTextSplit, TextWithoutLineFeedKeepsItsCarriageReturns)
{
    ExpectRows(Rows(MSGDLG_ERROR, L"ab\rcd"), {{L"ab\rcd", 60, 78}});
}

TEST(MessageTextSlices, TwentyCharactersGiveOverlappingSlices)
{
    const std::wstring text = Letters(20);
    ExpectRows(Rows(MSGDLG_CONTINUE_QUIT, text),
               {{text.substr(0, 18), 46, 64}, {text.substr(18, 2), 64, 82}, {text.substr(9, 11), 82, 100}});
}

TEST(MessageTextSlices, ThirtyNineCharactersArePartitioned)
{
    const std::wstring text = Letters(39);
    ExpectRows(Rows(MSGDLG_CONTINUE_QUIT, text),
               {{text.substr(0, 18), 46, 64}, {text.substr(18, 10), 64, 82}, {text.substr(28), 82, 100}});
}

TEST(MessageTextSlices, WidthIsNotChecked)
{
    const std::wstring wide(50, L'W');  // 18 × 30 pixels is far beyond the row
    ExpectRows(Rows(MSGDLG_CONTINUE_QUIT, wide),
               {{wide.substr(0, 18), 46, 64}, {wide.substr(18, 10), 64, 82}, {wide.substr(39), 82, 100}});
}

TEST(MessageTextSlices, ShortTextAndOuterLineFeeds)
{
    ExpectRows(Rows(MSGDLG_CONTINUE_QUIT, L"\n\nabcde\n"), {{L"abcde", 46, 64}, {L"", 64, 82}, {L"abcde", 82, 100}});
}

TEST(MessageTextSlices, ErrorCodeGetsAFourthRowInsteadOfHidingTheText)
{
    const std::wstring text = Letters(39);
    ExpectRows(Rows(MSGDLG_CONTINUE_QUIT, text, 42), {{text.substr(0, 18), 46, 64},
                                                      {text.substr(18, 10), 64, 82},
                                                      {text.substr(28), 82, 100},
                                                      {L"错误码：042", 100, 118}});
}

TEST(MessageTextErrorCode, OneRowTextAndCodeAreTwoRows)
{
    ExpectRows(Rows(MSGDLG_NOTICE, L"short", 5), {{L"short", 51, 69}, {L"错误码：005", 69, 87}});
    ExpectRows(Rows(MSGDLG_ERROR, L"short", 5), {{L"short", 51, 69}, {L"错误码：005", 69, 87}});
}

TEST(MessageTextErrorCode, TwoRowTextAndCodeAreThreeRows)
{
    const std::wstring text = Letters(30);
    ExpectRows(Rows(MSGDLG_NOTICE, text, 5),
               {{text.substr(0, 22), 42, 60}, {text.substr(22), 60, 78}, {L"错误码：005", 78, 96}});
    ExpectRows(Rows(MSGDLG_ERROR, L"one\ntwo", 5), {{L"one", 42, 60}, {L"two", 60, 78}, {L"错误码：005", 78, 96}});
}

TEST(MessageTextErrorCode, CodeIsZeroPaddedToThreeDigits)
{
    EXPECT_EQ(GetErrorCodeLine(7), L"错误码：007");
    EXPECT_EQ(GetErrorCodeLine(0), L"错误码：000");
    EXPECT_EQ(GetErrorCodeLine(1234), L"错误码：1234");
    EXPECT_EQ(GetErrorCodeLine(-2), L"错误码：-02");
}

TEST(MessageTextPieces, CutKeepsWhatFitsBeforeTheFirstCharacterThatDoesNot)
{
    EXPECT_EQ(CutToOneLine(Letters(22), kMeasure), Letters(22));
    EXPECT_EQ(CutToOneLine(Letters(21) + L"Wab", kMeasure), Letters(21));
    EXPECT_EQ(CutToOneLine(L"", kMeasure), L"");
    const MeasureText tooWide = [](const std::wstring& text) { return 300 * static_cast<int>(text.size()); };
    EXPECT_EQ(CutToOneLine(L"abc", tooWide), L"");
}

TEST(MessageTextPieces, TrimRemovesOnlyLineFeeds)
{
    EXPECT_EQ(TrimLineFeeds(L"\n\n a \r\n"), L" a \r");
    EXPECT_EQ(TrimLineFeeds(L"\n\n\n"), L"");
    EXPECT_EQ(TrimLineFeeds(L"a\nb"), L"a\nb");
}

}  // namespace
