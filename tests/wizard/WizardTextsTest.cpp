// The wizard's messages fit the message box: its layout keeps at most two rows of 220 pixels
// and drops silently what does not fit, so every text must come out whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/MsgTextLayout.h"
#include "controls/MyMsgDlg.h"
#include "framework/Gdi.h"
#include "framework/Text.h"
#include "resources/resource.h"

namespace {

std::wstring ShownText(int mode, const std::wstring& text)
{
    const framework::MemoryDC measuring(nullptr);
    const framework::SelectScope font(measuring.get(), ::GetStockObject(DEFAULT_GUI_FONT));
    std::wstring shown;
    for (const TextRow& row : LayoutMessageText(mode, text, -1, MeasureIn(measuring.get()))) shown += row.text;
    return shown;
}

std::wstring WithoutLineFeeds(std::wstring text)
{
    text.erase(std::remove(text.begin(), text.end(), L'\n'), text.end());
    return text;
}

TEST(WizardTexts, EveryMessageOfTheWizardIsShownWhole)
{
    const struct {
        int mode;
        UINT id;
    } messages[] = {
        {MSGDLG_YESNO, IDS_CONFIRM_CANCEL},
        {MSGDLG_ERROR, IDS_INSTALLCONF_ERROR},
        {MSGDLG_NOTICE, IDS_ALREADY_RUNNING},
        {MSGDLG_ERROR, IDS_INSTALL_FAILED},
    };
    for (const auto& message : messages) {
        const std::wstring text = framework::LoadStringResource(message.id);
        ASSERT_FALSE(text.empty()) << message.id;
        EXPECT_EQ(ShownText(message.mode, text), WithoutLineFeeds(text)) << message.id;
    }
    const std::wstring productRunning = L"绘途正在运行中，请退出后重试安装！";
    EXPECT_EQ(ShownText(MSGDLG_NOTICE, productRunning), productRunning);
}

TEST(WizardTexts, FailureTextsSayWhatHappenedAndWhatToDo)
{
    // Error mode shows the part before the first line feed and the part after it on rows of
    // their own: the failure, then the remedy.
    for (const UINT id : {IDS_INSTALLCONF_ERROR, IDS_INSTALL_FAILED}) {
        const std::wstring text = framework::LoadStringResource(id);
        const size_t feed = text.find(L'\n');
        ASSERT_NE(feed, std::wstring::npos) << id;
        EXPECT_GT(feed, 0u) << id;
        EXPECT_LT(feed + 1, text.size()) << id;
    }
    EXPECT_NE(framework::LoadStringResource(IDS_FINISH_FAILED).find(L"%ls"), std::wstring::npos);
}

}  // namespace
