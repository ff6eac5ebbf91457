#include "songgame/MusicScreen.h"

namespace songtest {

MusicScreen::MusicScreen()
{
    for (const char* bmp :
         {"SongSheet.bmp", "SongScoreFrame.bmp", "SongPopLarge.bmp", "SongPopSmall.bmp", "SongScore.bmp", "SongHitLamp.bmp"})
        tree.Write(std::string(GameData) + "\\" + bmp, shelltest::BmpOfPattern(8, 6));
    for (const char* png :
         {"SongCurtain.png", "SongNote.png", "SongAlphabet.png", "SongGclef.png", "SongCapAuto.png", "SongCapDemo.png"})
        tree.Write(std::string(GameData) + "\\" + png, Png(8, 6, true));
    gameFiles.InitDir(GameData);
    tree.WriteIdentity(SongData, "VER1.50", "TV01");
    WriteChart("100,1,CLAP,a,Hi\r\n200,1,DRUM,s\r\n");
    WriteStage("[Load]\nWAVE,0,se.wav\n[Init]\n0,WAVE,0\n0,POS00,10,20\n[Before]\n[Perform]\n[After]\n");
    tree.Write(std::string(SongData) + "\\se.wav", WaveOfRamp(4));
    tree.Write(std::string(SongData) + "\\curtain.png", Png(480, 188));
    tree.Write("Song\\TV01\\key\\Clap.wav", WaveOfRamp(4));
    tree.Write("Song\\TV01\\key\\drum.wav", WaveOfRamp(4));
    tree.WriteText("Song\\TV01\\song.wav", "RIFFmusic");
    devices.sounds = &device;
    devices.playMute = [this] { ++mutes; };
    devices.input = &input;
}

std::unique_ptr<TMusicUnit> MusicScreen::Unit()
{
    auto unit = std::make_unique<TMusicUnit>(nullptr);
    unit->SetDevices(devices);
    return unit;
}

bool MusicScreen::SetupOnce(TMusicUnit& unit)
{
    return unit.Setup(&gameFiles, TSongID::FromText("TV01"));
}

SoundLog* MusicScreen::Music() const
{
    for (const auto& log : device.made)
        if (log->stream)
            return log.get();
    return nullptr;
}

int MusicScreen::KeyPlays() const
{
    int plays = 0;
    for (const auto& log : device.made)
        plays += log->stream ? 0 : log->plays;
    return plays;
}

} // namespace songtest
