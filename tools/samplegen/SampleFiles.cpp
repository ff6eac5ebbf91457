#include "tools/samplegen/SampleFiles.h"

#include <array>

namespace samplegen {
namespace {

using enum SampleStore;
using enum SampleKind;
constexpr SampleMaker P = SampleMaker::Pictures;
constexpr SampleMaker S = SampleMaker::Sounds;
constexpr SampleMaker M = SampleMaker::Movie;
constexpr SampleMaker C = SampleMaker::Scenario;
constexpr SampleMaker G = SampleMaker::Song;

// Sizes follow the screens' panel tables: a button's strip is its blocks stacked downwards.
constexpr SampleFile Files[] = {
    // The main form: cursor sheet (eight 32 x 32 cells), wait sign (header and nine steps), the
    // snapshot logo and notice.
    {GameData, "Cursor.png", P, Png, 256, 32},
    {GameData, "Wait.bmp", P, Bmp, 240, 44 + 9 * 28},
    {GameData, "Cap_Logo.png", P, Png, 120, 32},
    {GameData, "Cap_Copy.png", P, Png, 180, 20},
    // Title menu: base, the title call's two pictures, nine buttons of three 160 x 26 blocks.
    {GameData, "TitleBase.png", P, Png, 640, 480},
    {GameData, "TitleCall01.png", P, Png, 640, 480},
    {GameData, "TitleCall02.png", P, Png, 640, 480},
    {GameData, "TitleStart.png", P, Png, 160, 78},
    {GameData, "TitleLoad.png", P, Png, 160, 78},
    {GameData, "TitleAlbum.png", P, Png, 160, 78},
    {GameData, "TitleSound.png", P, Png, 160, 78},
    {GameData, "TitleFreePlay.png", P, Png, 160, 78},
    {GameData, "TitleScore.png", P, Png, 160, 78},
    {GameData, "TitleNetRanking.png", P, Png, 160, 78},
    {GameData, "TitleConfig.png", P, Png, 160, 78},
    {GameData, "TitleExit.png", P, Png, 160, 78},
    // Yes/no dialog: frame and two buttons of three 46 x 22 blocks.
    {GameData, "DlgF_Exit.png", P, Png, 208, 108},
    {GameData, "DlgYes.png", P, Png, 46, 66},
    {GameData, "DlgNo.png", P, Png, 46, 66},
    // Configuration menu: background, parts sheet and the message-window sample.
    {GameData, "CfgBack.png", P, Png, 640, 480},
    {GameData, "CfgParts.png", P, Png, 522, 224},
    {GameData, "CfgMesBox.bmp", P, Bmp, 84, 60},
    // Save and load menu.
    {GameData, "SaveLoadScreen.png", P, Png, 640, 480},
    {GameData, "SaveSaveScreen.png", P, Png, 640, 480},
    {GameData, "SaveSelect.png", P, Png, 282, 20},
    {GameData, "SaveScrollUp.png", P, Png, 16, 64},
    {GameData, "SaveScrollDown.png", P, Png, 16, 64},
    {GameData, "SaveScrollBar.png", P, Png, 16, 180},
    {GameData, "SaveSaveBtn.png", P, Png, 56, 88},
    {GameData, "SaveLoadBtn.png", P, Png, 56, 88},
    {GameData, "SaveCloseBtn.png", P, Png, 56, 88},
    // Adventure windows: message window, wait sign (7 blocks), hide (4), auto and skip (7),
    // backlog, choice list, calendar digits, side menu (5 blocks each), place plates, choice window.
    {GameData, "MesBack.png", P, Png, 601, 177},
    {GameData, "MesFrame.png", P, Png, 601, 177},
    {GameData, "MesWait.png", P, Png, 20, 140},
    {GameData, "MesHide.png", P, Png, 17, 68},
    {GameData, "MesAuto.png", P, Png, 17, 119},
    {GameData, "MesSkip.png", P, Png, 17, 119},
    {GameData, "BacklogBar.png", P, Png, 20, 340},
    {GameData, "BacklogPos.png", P, Png, 18, 18},
    {GameData, "BacklogUp.png", P, Png, 20, 20},
    {GameData, "BacklogDown.png", P, Png, 20, 20},
    {GameData, "SelWindow.png", P, Png, 540, 120},
    {GameData, "SelCursor.png", P, Png, 520, 20},
    {GameData, "CalDateNum.png", P, Png, 26, 240},
    {GameData, "CalSlash.png", P, Png, 19, 26},
    {GameData, "CalTimeNum.png", P, Png, 22, 260},
    {GameData, "CalColon.png", P, Png, 11, 21},
    {GameData, "Menu01.png", P, Png, 180, 120},
    {GameData, "Menu02.png", P, Png, 180, 120},
    {GameData, "Menu03.png", P, Png, 180, 120},
    {GameData, "Menu04.png", P, Png, 180, 120},
    {GameData, "Menu05.png", P, Png, 180, 120},
    {GameData, "Menu06.png", P, Png, 180, 120},
    {GameData, "Menu07.png", P, Png, 180, 120},
    {GameData, "Menu08.png", P, Png, 180, 120},
    {GameData, "Menu09.png", P, Png, 180, 120},
    {GameData, "AvgPlace01.png", P, Png, 200, 40},
    {GameData, "AvgPlace02.png", P, Png, 200, 40},
    {GameData, "AvgPlace03.png", P, Png, 200, 40},
    {GameData, "ExSelWin.png", P, Png, 640, 480},
    // Stage: snow flakes of 14, 12, 10 and 8 pixels side by side.
    {GameData, "Snow.bmp", P, Bmp, 44, 14},
    // Transitions: the 17 wipe masks, the halo backdrop and sprites, the water tables.
    {GameData, "FadeMask00_BlindR.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask01_BlindL.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask02_VarekR.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask03_VarekL.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask04_Circle.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask05_CircleR.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask06_Clock.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask07_Swirl.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask08_Crystal.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask09_StripesB.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask10_StripesN.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask11_Star.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask12_Radiation.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask13_RadiationR.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask14_Windmill.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask15_Naruto.bmp", P, GreyBmp, 640, 480},
    {GameData, "FadeMask16_Noise.bmp", P, GreyBmp, 640, 480},
    {GameData, "HaloBack.bmp", P, Bmp, 640, 480},
    {GameData, "HaloBlueB.bmp", P, Bmp, 128, 128},
    {GameData, "HaloYellowB.bmp", P, Bmp, 128, 128},
    {GameData, "HaloYellowS.bmp", P, Bmp, 64, 64},
    {GameData, "HaloBlueS.bmp", P, Bmp, 64, 64},
    {GameData, "HaloGreen.bmp", P, Bmp, 96, 96},
    {GameData, "WaterDistTbl.bin", P, Data},
    {GameData, "WaterSinTbl.bin", P, Data},
    {GameData, "WaterMultiTbl.bin", P, Data},
    // Song screen: curtain (3 blocks of 16), sheet, notes (5 x 2 cells of 27 x 66), key letters
    // (10 x 3 cells of 27 x 23), score frame, gauge segments (20 blocks), score digits (10 blocks),
    // stage frame, hit lamp, clef, continue count (12 blocks) and question, captions (2 blocks).
    {GameData, "SongCurtain.png", P, Png, 640, 48},
    {GameData, "SongSheet.bmp", P, Bmp, 486, 180},
    {GameData, "SongNote.png", P, Png, 135, 132},
    {GameData, "SongAlphabet.png", P, Png, 270, 69},
    {GameData, "SongScoreFrame.bmp", P, Bmp, 154, 180},
    {GameData, "SongPopLarge.bmp", P, Bmp, 19, 440},
    {GameData, "SongPopSmall.bmp", P, Bmp, 8, 220},
    {GameData, "SongScore.bmp", P, Bmp, 12, 200},
    {GameData, "SongFrameTop.png", P, Png, 576, 16},
    {GameData, "SongFrameBottom.png", P, Png, 576, 16},
    {GameData, "SongFrameLeft.png", P, Png, 32, 300},
    {GameData, "SongFrameRight.png", P, Png, 32, 300},
    {GameData, "SongHitLamp.bmp", P, Bmp, 25, 27},
    {GameData, "SongGclef.png", P, Png, 96, 240},
    {GameData, "SongCount.png", P, Png, 420, 1440},
    {GameData, "SongCountYN.png", P, Png, 250, 100},
    {GameData, "SongCapAuto.png", P, Png, 166, 192},
    {GameData, "SongCapDemo.png", P, Png, 166, 192},
    // Ranking-name entry: base with the letter grid, the letter buttons' shared look (normal,
    // focus, down), selection frame (4 blocks), alphabet (45 cells of 17 x 34), score digits,
    // ornament (2 blocks).
    {GameData, "NameBase.jpg", P, Jpeg, 640, 480},
    {GameData, "NameBtn.png", P, Png, 50, 150},
    {GameData, "NameFrame.png", P, Png, 50, 200},
    {GameData, "NameAlphabet.png", P, Png, 17, 45 * 34},
    {GameData, "NameNum.png", P, Png, 17, 340},
    {GameData, "NameHane.png", P, Png, 124, 68},
    // Song score screen: background, difficulty tabs (normal, focus, selected, disabled), page
    // buttons (normal, focus, down, disabled), exit button (3 blocks), row base, alphabet, page
    // digits.
    {GameData, "RankBGScore.jpg", P, Jpeg, 640, 480},
    {GameData, "RankBtnEasy.png", P, Png, 100, 128},
    {GameData, "RankBtnNormal.png", P, Png, 100, 128},
    {GameData, "RankBtnHard.png", P, Png, 100, 128},
    {GameData, "RankBtnBack.png", P, Png, 40, 128},
    {GameData, "RankBtnNext.png", P, Png, 40, 128},
    {GameData, "RankBtnExit.png", P, Png, 96, 96},
    {GameData, "RankBase.png", P, Png, 576, 34},
    {GameData, "RankAlphabet.png", P, Png, 17, 45 * 34},
    {GameData, "RankNum.png", P, Png, 16, 240},
    // Backgrounds: a picture in each format the stage takes, the animated background's stand-in
    // picture and definition.
    {EvBG, "bg001.png", P, Png, 640, 480},
    {EvBG, "bg002.png", P, Png, 640, 480},
    {EvBG, "bg003.jpg", P, Jpeg, 640, 480},
    {EvBG, "bg004.bmp", P, Bmp, 640, 480},
    {EvBG, "bg005.png", P, Png, 640, 480},
    {EvBG, "Dammy.jpg", P, Jpeg, 640, 480},
    {EvBG, "an006a.ini", P, Data},
    // Characters: sheets with body, eyes and mouth images and their definitions.
    {EvCG, "chr001.png", P, Png, 320, 480},
    {EvCG, "chr001.ini", P, Data},
    {EvCG, "chr002.png", P, Png, 320, 480},
    {EvCG, "chr002.ini", P, Data},
    // The song's own pictures: title plate, name plate for the score screen, stage backgrounds,
    // a background animation's frames, the dancer's sequence sheet and miss sheet.
    {SongData, "curtain.png", P, Png, 480, 188},
    {SongData, "songname.png", P, Png, 256, 34},
    {SongData, "StageBG01.png", P, Png, 640, 300},
    {SongData, "StageBG02.jpg", P, Jpeg, 640, 300},
    {SongData, "StageAnim1.png", P, Png, 640, 300},
    {SongData, "StageAnim2.png", P, Png, 640, 300},
    {SongData, "StageAnim3.png", P, Png, 640, 300},
    {SongData, "Dancer.png", P, Png, 384, 320},
    {SongData, "DancerMiss.png", P, Png, 192, 160},

    // Sounds (system sounds play from the game data): clicks, answers, the title's greeting, sound
    // effects and ambient loops, voices, BGM tracks and the song's music.
    {GameData, "SysSEClick01.ogg", S, Sound},
    {GameData, "SysSEClick02.ogg", S, Sound},
    {GameData, "SysSEClick03.ogg", S, Sound},
    {GameData, "SysSEClick04.ogg", S, Sound},
    {GameData, "SysSEClick05.ogg", S, Sound},
    {GameData, "SysSEClick06.ogg", S, Sound},
    {GameData, "SysSEOk.ogg", S, Sound},
    {GameData, "SysSEErr.ogg", S, Sound},
    {GameData, "SysSEPage.ogg", S, Sound},
    {GameData, "TitleVoice03.ogg", S, Sound},
    {Bgm, "Track01.bgm", S, Sound},
    {Bgm, "Track02.bgm", S, Sound},
    {Bgm, "Track03.bgm", S, Sound},
    {Bgm, "Track04.bgm", S, Sound},
    {EvSE, "se001.ogg", S, Sound},
    {EvSE, "se002.ogg", S, Sound},
    {EvSE, "se003.ogg", S, Sound},
    {EvSE, "se004.ogg", S, Sound},
    {EvSE, "se005.ogg", S, Sound},
    {EvSE, "se006.ogg", S, Sound},
    {EvSE, "se010.ogg", S, Sound},
    {EvSE, "se011.ogg", S, Sound},
    {Voice, "0000000001.ogg", S, Sound},
    {Voice, "0000000002.ogg", S, Sound},
    {Voice, "0000000003.ogg", S, Sound},
    {Voice, "0000000004.ogg", S, Sound},
    {Voice, "0000000005.ogg", S, Sound},
    {Voice, "0000000006.ogg", S, Sound},
    {Voice, "0000000007.ogg", S, Sound},
    {Voice, "0000000008.ogg", S, Sound},
    {Voice, "0000000009.ogg", S, Sound},
    {Voice, "0000000010.ogg", S, Sound},
    {Voice, "0000000011.ogg", S, Sound},
    {Voice, "0000000012.ogg", S, Sound},
    // Movies: the opening, a numbered movie and the ending.
    {Movie, "TVOP.mpg", M, Mpeg},
    {Movie, "TV01.mpg", M, Mpeg},
    {Movie, "TVED1.mpg", M, Mpeg},
    // Scenario.
    {Script, "Scene.tbl", C, Data},
    {Script, "scr00001.dvo", C, Data},
    {Script, "scr00002.dvo", C, Data},
    {GameData, "SpeakTbl.csv", C, Data}, // read through the data file manager
    // Song: identity, chart, stage script with its definition files and cheer, key sounds (bells
    // in Ogg Vorbis, a clap in ADP1 and a hat in WAVE) and the music beside the packs.
    {SongData, "SONG.ID", G, Data},
    {SongData, "Song.txt", G, Data},
    {SongData, "Anime.txt", G, Data},
    {SongData, "dancer.txt", G, Data},
    {SongData, "dancermiss.txt", G, Data},
    {SongData, "cheer.ogg", G, Sound},
    {SongKey, "C5.ogg", G, Sound},
    {SongKey, "D5.ogg", G, Sound},
    {SongKey, "E5.ogg", G, Sound},
    {SongKey, "G5.ogg", G, Sound},
    {SongKey, "A5.ogg", G, Sound},
    {SongKey, "C6.ogg", G, Sound},
    {SongKey, "D6.ogg", G, Sound},
    {SongKey, "E6.ogg", G, Sound},
    {SongKey, "CLAP.adp", G, Sound},
    {SongKey, "HAT.wav", G, Sound},
    {SongMusic, "song.ogg", G, Sound},
};

struct StoreRow {
    std::string_view folder;
    std::string_view pack;
};

// Indexed by SampleStore.
constexpr std::array<StoreRow, 11> Stores = {{
    {"Game_Pak", "Game.pak"},
    {"Script_Pak", "Script.pak"},
    {"BGM", ""},
    {"EvBG_Pak", "EvBG.pak"},
    {"EvCG_Pak", "EvCG.pak"},
    {"EvSE_Pak", "EvSE.pak"},
    {"Voice/ev00000", "Voice/ev00000.pak"},
    {"Movie", ""},
    {"Song/TV07/song", "Song/TV07/song.pak"},
    {"Song/TV07/key", "Song/TV07/key.pak"},
    {"Song/TV07", ""},
}};

constexpr SampleStore AllStores[] = {GameData, Script, Bgm, EvBG, EvCG, EvSE, Voice, Movie, SongData, SongKey, SongMusic};
static_assert(std::size(AllStores) == Stores.size());

} // namespace

std::span<const SampleFile> SampleFiles() { return Files; }

std::span<const SampleStore> SampleStores() { return AllStores; }

std::string_view StagingFolder(SampleStore store) { return Stores.at(static_cast<std::size_t>(store)).folder; }

std::string_view PackFile(SampleStore store) { return Stores.at(static_cast<std::size_t>(store)).pack; }

} // namespace samplegen
