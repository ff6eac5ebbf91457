#include "scenario/adventure/VoiceBank.h"

#include "platform/classes/Format.h"

AnsiString VoiceBank::PackName(std::int32_t pack) { return Format("Voice\\ev%05d.pak", pack); }

AnsiString VoiceBank::FileName(std::int32_t voice) { return Format("%010u.ogg", static_cast<unsigned>(voice)); }

std::optional<AnsiString> VoiceBank::Find(std::int32_t voice)
{
    const std::int32_t pack = PackOf(voice);
    if (pack_ != pack) {
        // A pack that fails to bind is tried again with the next voice.
        pack_.reset();
        files_.Finish();
        ++binds_;
        if (!files_.InitPack(root_ + PackName(pack)))
            return std::nullopt;
        pack_ = pack;
    }
    AnsiString name = FileName(voice);
    if (!files_.FileIsExist(name))
        return std::nullopt;
    return name;
}
