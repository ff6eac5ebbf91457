// TApplication: the process's replaceable user-facing hooks (message box, exception display).
#include "platform/classes/Application.h"

#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"

#include <cstdio>

namespace {

int FirstButton(int flags) { return (flags & 0x0F) == mbYesNo ? idYes : idOK; }

} // namespace

TApplication::TApplication()
    : OnMessageBox([](const std::string& text, const std::string& caption, int flags) {
          std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
          return FirstButton(flags);
      }),
      OnShowException([](const std::string& message) { std::fprintf(stderr, "Exception: %s\n", message.c_str()); })
{
}

int TApplication::MessageBox(std::string_view text, std::string_view caption, int flags, int codePage)
{
    if (!OnMessageBox)
        return FirstButton(flags);
    return OnMessageBox(CodePage::ToUtf8(text, codePage), CodePage::ToUtf8(caption, codePage), flags);
}

int TApplication::MessageBox(std::string_view text, std::string_view caption, int flags)
{
    return MessageBox(text, caption, flags, CodePage::Ansi());
}

void TApplication::ShowException(const std::exception& error)
{
    if (!OnShowException)
        return;
    const auto* own = dynamic_cast<const Exception*>(&error);
    OnShowException(CodePage::ToUtf8(error.what(), own != nullptr && own->MessageCodePage != 0 ? own->MessageCodePage : CodePage::Ansi()));
}

void TApplication::HandleException(TObject* sender, const std::exception& error)
{
    if (OnHandleException)
        OnHandleException(sender, error);
    else
        ShowException(error);
}

TApplication& Application()
{
    static TApplication application;
    return application;
}
