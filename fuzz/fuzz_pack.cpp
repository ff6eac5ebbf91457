// Fuzzes the pack archive reader: the input is an archive; it is loaded (with the whole-file check
// when the first byte is odd) and every entry is checked, opened decoded and raw, and read.
#include "base/packs/TXePack.h"
#include "platform/classes/Application.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        Application().OnMessageBox = [](const std::string&, const std::string&, int) { return idOK; };
        return true;
    }();
    (void)quiet;
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int>(size));
    TXePack pack(nullptr);
    pack.SetCrcMode(size > 0 && (data[0] & 1) ? cmPackAll : cmEachFile);
    if (!pack.LoadPackStream(&stream))
        return 0;
    char name[XePackFullNameSize];
    unsigned char buffer[64];
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        if (!pack.GetFileName(i, name) || name[0] == '\0')
            continue;
        pack.VerifyFileCrc(i);
        std::unique_ptr<TStream> decoded(pack.XeMakeStream(name));
        if (decoded && decoded->GetSize() != pack.GetFileSize(pack.CheckFileName(name)))
            __builtin_trap();
        XeFILE* raw = pack.XefopenComp(name, false);
        if (raw == nullptr)
            continue;
        pack.Xefseek(raw, -7, 2);
        pack.Xefread(buffer, 3, 5, raw);
        pack.Xefseek(raw, 1 << 30, 1);
        pack.Xefread(buffer, 1, sizeof buffer, raw);
        pack.Xefclose(raw);
    }
    return 0;
}
