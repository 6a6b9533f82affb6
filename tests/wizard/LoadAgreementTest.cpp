// LoadAgreement with the agreement document this test program carries (the sample's, as in
// setup.exe): the text and space reach the installer object, and no temporary file stays.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "installer/ExcelToolInstallerDlg.h"
#include "resources/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/wizard/WizardDriver.h"

using namespace testing_support;

namespace {

size_t Count(const std::wstring& text, const std::wstring& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::wstring::npos; at = text.find(piece, at + piece.size())) ++count;
    return count;
}

// Answers the installer's message box should one appear (a failed load shows one and waits),
// so that a failing test ends instead of hanging.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer()
        : m_thread([this] {
              while (!m_stop) {
                  if (const HWND box = wizard_driver::FindProcessWindow(::GetCurrentProcessId(), wizard_driver::kMessageBoxTitle)) {
                      m_answered = true;
                      wizard_driver::PostClick(box, IDC_BTN_MSG_OK);
                  }
                  ::Sleep(100);
              }
          })
    {
    }
    ~MessageBoxAnswerer()
    {
        m_stop = true;
        m_thread.join();
    }
    bool answered() const { return m_answered; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_answered{false};
    std::thread m_thread;
};

TEST(LoadAgreement, TheEmbeddedDocumentFillsTheAgreementAndTheRequiredSpace)
{
    const MessageBoxAnswerer answerer;
    CExcelToolInstallerDlg installer(L"");
    ASSERT_TRUE(installer.LoadAgreement());
    EXPECT_FALSE(answerer.answered());
    EXPECT_DOUBLE_EQ(installer.RequiredMB(), 153.7);
    const std::wstring& text = installer.Agreement();
    EXPECT_EQ(text.rfind(L"\t\t\t\t绘途 软件许可协议\n请您在安装本软件前仔细阅读以下条款。", 0), 0u);
    EXPECT_NE(text.find(L"\n    一、许可范围：本软件供您在个人计算机上"), std::wstring::npos);
    EXPECT_EQ(Count(text, L"\n    "), 4u);
    const std::wstring ending = L"\n\nCorvane 保留对本协议的最终解释权。";
    ASSERT_GE(text.size(), ending.size());
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
    EXPECT_FALSE(FileExists(installer.TempDir() + L"~temp.install.conf"));
}

}  // namespace
