// Scope guards for the process-wide state tests change.
#include "support/ScopedState.h"

#include "platform/codepage/CodePage.h"

namespace TestSupport {

ScopedAnsiCodePage::ScopedAnsiCodePage(int codePage) : saved_(CodePage::Ansi()) { CodePage::SetAnsi(codePage); }

ScopedAnsiCodePage::~ScopedAnsiCodePage() { CodePage::SetAnsi(saved_); }

void ScopedAnsiCodePage::Set(int codePage) { CodePage::SetAnsi(codePage); }

CapturedApplication::CapturedApplication(int answer)
    : answer(answer), savedBox_(Application().OnMessageBox), savedShow_(Application().OnShowException),
      savedHandle_(Application().OnHandleException), savedTitle_(Application().Title)
{
    Application().OnMessageBox = [this](const std::string& text, const std::string& caption, int flags) {
        boxes.push_back({text, caption, flags});
        return this->answer;
    };
    Application().OnShowException = [this](const std::string& message) { shown.push_back(message); };
    Application().OnHandleException = nullptr;
}

CapturedApplication::~CapturedApplication()
{
    Application().OnMessageBox = savedBox_;
    Application().OnShowException = savedShow_;
    Application().OnHandleException = savedHandle_;
    Application().Title = savedTitle_;
}

} // namespace TestSupport
