// The application's exception display: an exception's message is read in the code page it names.
#include "platform/classes/Application.h"

#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(TApplication, ShowsAnExceptionInItsOwnCodePage)
{
    const TestSupport::CapturedApplication application;
    const TestSupport::ScopedAnsiCodePage gbk(CodePage::Gbk);
    Application().ShowException(EOutOfResources(CodePage::FromUtf8("ﾀｲﾏｰ", CodePage::ShiftJis), CodePage::ShiftJis));
    Application().ShowException(Exception(CodePage::FromUtf8("计时器", CodePage::Gbk)));
    Application().ShowException(std::runtime_error(CodePage::FromUtf8("计时器", CodePage::Gbk)));
    EXPECT_EQ(application.shown, (std::vector<std::string>{"ﾀｲﾏｰ", "计时器", "计时器"}));
}
