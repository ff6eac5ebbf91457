// Code pages: the process's ANSI code page, lead-byte tests, and conversion to and from UTF-8 (iconv).
#include "platform/codepage/CodePage.h"

#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"

#include <atomic>
#include <cerrno>
#include <iconv.h>

namespace CodePage {
namespace {

std::atomic<int> ansiCodePage{Gbk};

std::string IconvName(int codePage)
{
    switch (codePage) {
    case Utf8: return "UTF-8";
    case ShiftJis: return "CP932";
    case Gbk: return "CP936";
    default: return "CP" + std::to_string(codePage);
    }
}

// One iconv conversion descriptor, closed on every path out.
class Converter {
public:
    Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str()))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw EConvertError(Format("No conversion from %s to %s", from.c_str(), to.c_str()));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; an input character that cannot be converted is skipped and
    // `replacement` written instead. A UTF-8 input character is skipped whole.
    std::string Run(std::string_view in, std::string_view replacement, bool utf8Input)
    {
        std::string out;
        char buffer[1024];
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a character cut short at the end): replace one byte and go on.
            out.append(replacement);
            std::size_t skip = 1;
            while (utf8Input && skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80)
                ++skip;
            src += skip;
            srcLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

int Ansi() { return ansiCodePage.load(std::memory_order_relaxed); }

void SetAnsi(int codePage) { ansiCodePage.store(codePage, std::memory_order_relaxed); }

bool IsLeadByte(unsigned char byte, int codePage)
{
    switch (codePage) {
    case ShiftJis: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case Gbk:
    case 949:
    case 950: return byte >= 0x81 && byte <= 0xFE;
    default: return false;
    }
}

std::string ToUtf8(std::string_view text, int codePage)
{
    return Converter("UTF-8", IconvName(codePage)).Run(text, "\xEF\xBF\xBD", codePage == Utf8);
}

std::string FromUtf8(std::string_view utf8, int codePage)
{
    return Converter(IconvName(codePage), "UTF-8").Run(utf8, "?", true);
}

} // namespace CodePage
