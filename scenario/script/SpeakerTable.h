// SpeakerTable: the speaker number of each character picture number, from "SpeakTbl.csv".
#pragma once

#include <array>

class TFileMan;

class SpeakerTable {
public:
    static constexpr int Size = 1000;
    static constexpr int None = -1;

    SpeakerTable() { speakers_.fill(None); }

    // Every speaker None, then the file's rows when it exists (column 0 the picture number, column 1
    // the speaker; rows whose picture number lies outside 0 to 999 are skipped, a later row wins).
    void Load(TFileMan& files);
    // None for an unknown picture or one outside the table.
    int SpeakerOf(int picture) const { return picture >= 0 && picture < Size ? speakers_[static_cast<std::size_t>(picture)] : None; }

private:
    std::array<int, Size> speakers_;
};
