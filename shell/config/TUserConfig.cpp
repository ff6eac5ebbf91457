#include "shell/config/TUserConfig.h"

#include "base/util/PathUtils.h"
#include "platform/classes/IniFile.h"
#include "platform/fs/FileSystem.h"

#include <array>
#include <span>

namespace {

constexpr const char* kSection = "Game";
constexpr const char* kFileName = "Tvqe.ini";

// One word of a flag or code key: as read (compared with the upper-cased text), as written.
struct Word {
    const char* read;
    const char* write;
    std::uint8_t value;
};

constexpr std::array<Word, 2> kOnOff = {{{"ON", "ON", 1}, {"OFF", "OFF", 0}}};
constexpr std::array<Word, 2> kAuto = {{{"NOAUTO", "NoAuto", 0}, {"AUTO", "Auto", 1}}};
constexpr std::array<Word, 3> kRank = {{{"NORMAL", "Normal", 0}, {"HARD", "Hard", 1}, {"EASY", "Easy", 2}}};
constexpr std::array<Word, 3> kWords = {
    {{"NORMAL", "Normal", 1}, {"HIGHQUALITY", "HighQuality", 2}, {"NOTHING", "Nothing", 0}}};
constexpr std::array<Word, 2> kTiming = {{{"WAVE", "Wave", 1}, {"TIMER", "Timer", 0}}};

// One key: a number with its default and range, or a flag or code with its words. A flag writes
// "ON" for any value but 0.
struct Row {
    const char* key;
    std::int32_t TUserConfig::*number;
    std::int32_t fallback, low, high;
    std::uint8_t TUserConfig::*code;
    std::span<const Word> words;
    bool flag;
};

constexpr Row Number(const char* key, std::int32_t TUserConfig::*field, std::int32_t fallback, std::int32_t low,
                     std::int32_t high)
{
    return {key, field, fallback, low, high, nullptr, {}, false};
}

constexpr Row Flag(const char* key, std::uint8_t TUserConfig::*field)
{
    return {key, nullptr, 0, 0, 0, field, kOnOff, true};
}

constexpr Row Code(const char* key, std::uint8_t TUserConfig::*field, std::span<const Word> words)
{
    return {key, nullptr, 0, 0, 0, field, words, false};
}

// The keys in the order they are read and written.
const std::array<Row, 19> kRows = {
    Number("MesBoxTrans", &TUserConfig::MesBoxTrans, 25, 0, 100),
    Number("UserTextSpeed", &TUserConfig::UserTextSpeed, 100, 0, 200),
    Number("AutoSkipWait", &TUserConfig::AutoSkipWait, 2000, 0, 5000),
    Flag("SimpleDisplay", &TUserConfig::SimpleDisplay),
    Flag("ShowPlaceName", &TUserConfig::ShowPlaceName),
    Flag("AllTextSkip", &TUserConfig::AllTextSkip),
    Flag("EffectCanSkip", &TUserConfig::EffectCanSkip),
    Number("RightClickType", &TUserConfig::RightClickType, 0, 0, 4),
    Flag("ExitConfirm", &TUserConfig::ExitConfirm),
    Flag("SaveConfirm", &TUserConfig::SaveConfirm),
    Flag("LoadConfirm", &TUserConfig::LoadConfirm),
    Code("AvgAutoMode", &TUserConfig::AvgAutoMode, kAuto),
    Number("VolumeMainPlay", &TUserConfig::VolumeMainPlay, 100, 0, 100),
    Number("VolumeKeyboard", &TUserConfig::VolumeKeyboard, 100, 0, 100),
    Code("MusicRankMode", &TUserConfig::MusicRankMode, kRank),
    Code("MusicAutoMode", &TUserConfig::MusicAutoMode, kAuto),
    Code("MusicWordMode", &TUserConfig::MusicWordMode, kWords),
    Flag("MusicAnime", &TUserConfig::MusicAnime),
    Code("MusicTimingMode", &TUserConfig::MusicTimingMode, kTiming),
};

void ReadRow(const Row& row, const AnsiString& text, TUserConfig& config)
{
    if (row.number != nullptr) {
        std::int32_t& value = config.*row.number;
        if (!text.empty())
            value = StrToIntDef(text, row.fallback);
        if (value < row.low || value > row.high)
            value = row.fallback;
        return;
    }
    const AnsiString upper = UpperCase(text);
    for (const Word& word : row.words)
        if (upper == word.read) {
            config.*row.code = word.value;
            return;
        }
}

// The text to write, or null for a code value without a word.
const char* WrittenText(const Row& row, const TUserConfig& config, AnsiString& number)
{
    if (row.number != nullptr) {
        number = std::to_string(config.*row.number);
        return number.c_str();
    }
    const std::uint8_t value = config.*row.code;
    if (row.flag)
        return value != 0 ? "ON" : "OFF";
    for (const Word& word : row.words)
        if (word.value == value)
            return word.write;
    return nullptr;
}

} // namespace

TUserConfig::TUserConfig()
    : MesBoxTrans(25), UserTextSpeed(100), AutoSkipWait(2000), SimpleDisplay(0), ShowPlaceName(0), AllTextSkip(0),
      EffectCanSkip(1), RightClickType(0), ExitConfirm(1), SaveConfirm(1), LoadConfirm(1), AvgAutoMode(0),
      VolumeMainPlay(100), VolumeKeyboard(100), MusicRankMode(0), MusicAutoMode(0), MusicWordMode(1), MusicAnime(1),
      MusicTimingMode(1)
{
}

AnsiString UserConfigPath()
{
    return FileSystem::ProgramFolder() + kFileName;
}

void LoadUserConfig(TUserConfig& config)
{
    LoadUserConfig(config, UserConfigPath());
}

void LoadUserConfig(TUserConfig& config, const AnsiString& path)
{
    if (!FileIsExist(path.c_str()))
        return;
    const TIniFile ini(path);
    for (const Row& row : kRows)
        ReadRow(row, ini.ReadString(kSection, row.key, ""), config);
}

void SaveUserConfig(const TUserConfig& config)
{
    SaveUserConfig(config, UserConfigPath());
}

void SaveUserConfig(const TUserConfig& config, const AnsiString& path)
{
    TIniFile ini(path);
    AnsiString number;
    for (const Row& row : kRows)
        if (const char* text = WrittenText(row, config, number))
            ini.WriteString(kSection, row.key, text);
}
