#include "scenario/script/SpeakerTable.h"

#include "base/packs/TFileMan.h"
#include "base/util/TXeCsvRead.h"

void SpeakerTable::Load(TFileMan& files)
{
    speakers_.fill(None);
    TStream* stream = files.Open("SpeakTbl.csv");
    if (stream == nullptr)
        return;
    TXeCsvRead csv;
    const bool read = csv.Read(stream);
    files.Close(stream);
    if (!read)
        return;
    for (int row = 0; row < csv.GetSizeY(); ++row) {
        const int picture = csv.GetValue(0, row);
        if (picture >= 0 && picture < Size)
            speakers_[static_cast<std::size_t>(picture)] = csv.GetValue(1, row);
    }
}
