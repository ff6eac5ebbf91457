// The application's exception display: an exception's message is read in the code page it names.
#include "platform/classes/Application.h"

#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(TApplication, ShowsAnExceptionInItsOwnCodePage)
{
    const TApplication::ShowExceptionHook saved = Application().OnShowException;
    std::vector<std::string> shown;
    Application().OnShowException = [&](const std::string& message) { shown.push_back(message); };
    const int ansi = CodePage::Ansi();
    CodePage::SetAnsi(CodePage::Gbk);
    Application().ShowException(EOutOfResources(CodePage::FromUtf8("ﾀｲﾏｰ", CodePage::ShiftJis), CodePage::ShiftJis));
    Application().ShowException(Exception(CodePage::FromUtf8("计时器", CodePage::Gbk)));
    Application().ShowException(std::runtime_error(CodePage::FromUtf8("计时器", CodePage::Gbk)));
    CodePage::SetAnsi(ansi);
    Application().OnShowException = saved;
    EXPECT_EQ(shown, (std::vector<std::string>{"ﾀｲﾏｰ", "计时器", "计时器"}));
}
