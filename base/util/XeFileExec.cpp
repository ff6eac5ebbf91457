// XeFileExec: opens a document with its associated program, reporting a failure in a message box.
#include "base/util/XeFileExec.h"

#include "platform/classes/Application.h"
#include "platform/codepage/CodePage.h"
#include "platform/fs/FileSystem.h"
#include "platform/system/DocumentLauncher.h"

const char* FileExecErrorText(int code)
{
    switch (code) {
    case 0: return "システムに､ メモリまたはリソースが足りません。";
    case 2: return "指定されたファイルが見つかりませんでした。";
    case 3: return "指定されたパスが見つかりませんでした。";
    case 11: return ".EXEファイルが無効です (Win32 .EXEではないか､ .EXEイメージ内のエラーです)。";
    case 26: return "共有違反が発生しました。";
    case 27: return "ファイル名の関連付けが不完全､ または無効です。";
    case 28: return "要求タイム アウトのためにDDEトランザクションを完了できませんでした。";
    case 29: return "DDEトランザクションが失敗しました。";
    case 30: return "ほかのDDEトランザクションが処理されているために､ DDEトランザクションを完了できませんでした。";
    case 31: return "指定されたファイル名拡張子には､ アプリケーションが関連付けられていません。";
    default: return "不明なエラー";
    }
}

void XeFileExec(const AnsiString& file)
{
    if (file.empty())
        return;
    const int code = OpenDocument(FileSystem::NativePath(file), FileSystem::NativePath(ExtractFileDir(file)));
    if (code < 32)
        Application().MessageBox(FileExecErrorText(code), "エラー", mbOK | mbIconStop, CodePage::Utf8);
}
