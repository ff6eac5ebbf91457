#include "songgame/sound/SongSoundDevice.h"

#include "songgame/chart/ChartFields.h"

SongSoundKind SoundKindOfName(std::string_view fileName)
{
    AnsiString base;
    AnsiString ext;
    SplitFileExt(fileName, base, ext);
    ext = UpperCase(ext);
    if (ext == ".ADP")
        return SongSoundKind::Adpcm;
    if (ext == ".OGG")
        return SongSoundKind::Ogg;
    return SongSoundKind::Wave;
}
