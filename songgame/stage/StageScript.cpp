#include "songgame/stage/StageScript.h"

#include "songgame/chart/ChartFields.h"
#include "songgame/stage/StagePictures.h"

#include "base/packs/TFileMan.h"
#include "platform/classes/Exception.h"
#include "platform/classes/StringList.h"
#include "shell/helpers/OpenedFile.h"
#include "shell/helpers/VolumeCurve.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 5> SectionHeaders = {"[Load]", "[Init]", "[Before]", "[Perform]", "[After]"};
constexpr int NoSection = -1;
constexpr int LoadSection = 0;
constexpr int AfterSection = 4;
// The largest entry (7 words) still fits while the write index is at most this.
constexpr std::int32_t LastWriteIndex = StagePoolWords - 7;
constexpr std::int32_t AnimationDuration = 10;

bool InRange(int value, int count) { return value >= 0 && value < count; }

// "CHAR" + two digits and the like: the digits' value, or -1 when the command is not of that form.
int NumberedCommand(const AnsiString& command, std::string_view name)
{
    if (command.size() != name.size() + 2 || command.compare(0, name.size(), name) != 0)
        return -1;
    const char tens = command[name.size()];
    const char units = command[name.size() + 1];
    if (tens < '0' || tens > '9' || units < '0' || units > '9')
        return -1;
    return (tens - '0') * 10 + (units - '0');
}

} // namespace

// One read of a stage script into a StageScript and its resources.
class StageReader {
public:
    StageReader(StageScript& script, StageLoadContext& context, StageResources& resources)
        : script_(script), context_(context), resources_(resources)
    {
    }

    bool Run(const TStringList& lines)
    {
        script_.write_ = 0;
        script_.starts_ = {};
        script_.end_ = 0;
        script_.pointer_ = -1;
        resources_.tempo = DefaultTempo;
        const bool complete = ReadAll(lines) && section_ == AfterSection;
        // Sections never reached are empty, so a walk after a failed read stays inside the pool.
        for (int n = section_ + 1; n <= AfterSection; ++n)
            if (n >= 2)
                script_.starts_[static_cast<std::size_t>(n - 1)] = script_.write_;
        script_.end_ = script_.write_;
        return complete && !failed_;
    }

private:
    bool ReadAll(const TStringList& lines)
    {
        try {
            for (int i = 0; i < lines.Count(); ++i) {
                AnsiString line = lines[i];
                if (!StripStageComment(line))
                    continue;
                if (line[0] == '[') {
                    if (!EnterSection(line))
                        return false;
                } else if (section_ == LoadSection) {
                    LoadLine(line);
                } else if (section_ > LoadSection && !TimedLine(line)) {
                    return false;
                }
            }
        } catch (const EConvertError&) {
            return false;
        }
        return true;
    }

    bool EnterSection(const AnsiString& line)
    {
        if (section_ + 1 > AfterSection || line != SectionHeaders[static_cast<std::size_t>(section_ + 1)])
            return false;
        ++section_;
        if (section_ >= 2)
            script_.starts_[static_cast<std::size_t>(section_ - 1)] = script_.write_;
        return true;
    }

    void Note(bool ok)
    {
        if (!ok)
            failed_ = true;
    }

    void LoadLine(AnsiString rest)
    {
        const AnsiString command = UpperCase(TrimField(rest));
        if (command == "TEMPO") {
            const int tempo = StrToInt(TrimField(rest));
            if (tempo > 0)
                resources_.tempo = tempo;
        } else if (command == "BGPIC") {
            const int slot = StrToInt(TrimField(rest));
            if (InRange(slot, BackgroundSlots))
                Note(OpenStagePicture(context_.songFiles, TrimField(rest), resources_.backgrounds[static_cast<std::size_t>(slot)]));
        } else if (command == "BGANIM") {
            const int slot = StrToInt(TrimField(rest));
            if (InRange(slot, AnimationSlots))
                LoadAnimation(resources_.animations[static_cast<std::size_t>(slot)], rest);
        } else if (command == "WAVE") {
            const int slot = StrToInt(TrimField(rest));
            if (InRange(slot, EffectSlots))
                Note(LoadEffect(resources_.effects[static_cast<std::size_t>(slot)], TrimField(rest)));
        } else {
            CharacterLine(command, rest);
        }
    }

    void CharacterLine(const AnsiString& command, AnsiString& rest)
    {
        if (const int c = NumberedCommand(command, "CHAR"); c >= 0) {
            if (PictureEntry* entry = EntryOf(c, StrToInt(TrimField(rest))))
                Note(LoadPictureEntry(context_.songFiles, rest, *entry));
        } else if (const int c = NumberedCommand(command, "CERR"); c >= 0) {
            if (InRange(c, StageCharacters))
                Note(LoadPictureEntry(context_.songFiles, rest, Character(c).miss));
        } else if (const int c = NumberedCommand(command, "ECHAR"); c >= 0) {
            if (PictureEntry* entry = EntryOf(c, StrToInt(TrimField(rest))))
                Note(LoadDefinitionEntry(context_.songFiles, TrimField(rest), resources_.tempo, *entry));
        } else if (const int c = NumberedCommand(command, "ECERR"); c >= 0) {
            if (InRange(c, StageCharacters))
                Note(LoadDefinitionEntry(context_.songFiles, TrimField(rest), resources_.tempo, Character(c).miss));
        }
    }

    StageCharacter& Character(int c) { return resources_.characters[static_cast<std::size_t>(c)]; }

    PictureEntry* EntryOf(int character, int entry)
    {
        if (!InRange(character, StageCharacters) || !InRange(entry, CharacterEntries))
            return nullptr;
        return &Character(character).entries[static_cast<std::size_t>(entry)];
    }

    void LoadAnimation(BackgroundAnimation& animation, AnsiString& rest)
    {
        for (StagePicture& frame : animation.frames)
            StageResources::ClosePicture(context_.songFiles, frame);
        animation.frameCount = 0;
        for (const AnsiString& name : ExpandNamePattern(TrimField(rest), AnimationFrames)) {
            if (!OpenStagePicture(context_.songFiles, name, animation.frames[static_cast<std::size_t>(animation.frameCount)])) {
                failed_ = true;
                break;
            }
            ++animation.frameCount;
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(animation.frameCount); ++i)
            animation.durations[i] = rest.empty() ? AnimationDuration : std::max(StrToInt(TrimField(rest)), 1);
    }

    bool LoadEffect(std::unique_ptr<SongSound>& effect, const AnsiString& fileName)
    {
        const OpenedFile file(&context_.songFiles, fileName);
        if (file.get() == nullptr || context_.sounds == nullptr)
            return false;
        auto sound = context_.sounds->CreateBuffer(SoundKindOfName(fileName), file.get());
        if (!sound)
            return false;
        sound->SetVolume(VolumeToAttenuation(context_.keyVolume));
        effect = std::move(sound);
        return true;
    }

    // A value the table reads as an integer: a bad one is noted and stored as 0.
    std::int32_t Value(AnsiString& rest)
    {
        try {
            return StrToInt(TrimField(rest));
        } catch (const EConvertError&) {
            failed_ = true;
            return 0;
        }
    }
    static std::int32_t Optional(AnsiString& rest) { return StrToIntDef(TrimField(rest), 0); }

    bool TimedLine(AnsiString rest)
    {
        if (script_.write_ > LastWriteIndex)
            return false;
        const AnsiString timeField = TrimField(rest);
        if (timeField.empty())
            return true;
        const std::int32_t time = section_ == 1 ? 0 : ParseFixed3(timeField);
        const AnsiString command = UpperCase(TrimField(rest));
        if (command == "BGPIC" || command == "BGANIM") {
            const std::int32_t slot = Value(rest);
            Store({time, command == "BGPIC" ? sekBackground : sekAnimation, slot, Optional(rest)});
        } else if (command == "WAVE") {
            Store({time, sekEffect, Value(rest)});
        } else if (command == "END") {
            Store({time, sekEnd});
        } else if (const int c = NumberedCommand(command, "CHAR"); c >= 0) {
            Store({time, sekCharacter, c, Value(rest)});
        } else if (const int c = NumberedCommand(command, "CINT"); c >= 0) {
            Store({time, sekSecondPicture, c, Value(rest)});
        } else if (const int c = NumberedCommand(command, "POS"); c >= 0) {
            const std::int32_t x = Value(rest);
            const std::int32_t y = Value(rest);
            Store({time, sekPosition, c, x, y, Optional(rest)});
        } else {
            Store({time, sekUnknown});
            failed_ = true;
        }
        return true;
    }

    // Writes the size and then the words given.
    void Store(std::initializer_list<std::int32_t> words)
    {
        auto& pool = script_.pool_;
        pool[static_cast<std::size_t>(script_.write_)] = static_cast<std::int32_t>(words.size()) + 1;
        std::copy(words.begin(), words.end(), pool.begin() + script_.write_ + 1);
        script_.write_ += static_cast<std::int32_t>(words.size()) + 1;
    }

    StageScript& script_;
    StageLoadContext& context_;
    StageResources& resources_;
    int section_ = NoSection;
    bool failed_ = false;
};

void StageScript::SetPool(std::span<std::int32_t> pool)
{
    pool_ = pool;
    write_ = 0;
    starts_ = {};
    end_ = 0;
    pointer_ = -1;
}

bool StageScript::ReadLines(const TStringList& lines, StageLoadContext& context, StageResources& resources)
{
    if (pool_.size() < static_cast<std::size_t>(StagePoolWords)) {
        SetPool(pool_);
        return false;
    }
    return StageReader(*this, context, resources).Run(lines);
}

bool StageScript::Read(StageLoadContext& context, StageResources& resources)
{
    TStringList lines;
    {
        const OpenedFile file(&context.songFiles, "Anime.txt");
        if (file.get() == nullptr)
            return false;
        lines.LoadFromStream(*file.get());
    }
    return ReadLines(lines, context, resources);
}

std::int32_t StageScript::SectionEnd(int n) const
{
    return n == ssAfter ? end_ : starts_[static_cast<std::size_t>(n + 1)];
}

void StageScript::SetSection(int n)
{
    pointer_ = -1;
    if (InRange(n, 4) && starts_[static_cast<std::size_t>(n)] < SectionEnd(n))
        pointer_ = starts_[static_cast<std::size_t>(n)];
}

std::int32_t StageScript::EntryTime() const
{
    return pointer_ < 0 ? 0 : pool_[static_cast<std::size_t>(pointer_) + 1];
}

std::span<const std::int32_t> StageScript::EntryAt(std::int32_t index) const
{
    if (index < 0 || index >= end_)
        return {};
    const auto at = static_cast<std::size_t>(index);
    return std::span<const std::int32_t>(pool_).subspan(at, static_cast<std::size_t>(pool_[at]));
}

void StageScript::DoAnimeEntry(int n, const StageConditions& conditions, StageActions& actions)
{
    if (pointer_ < 0)
        return;
    if (!InRange(n, 4) || pointer_ >= SectionEnd(n)) {
        pointer_ = -1;
        return;
    }
    const std::span<const std::int32_t> entry = EntryAt(pointer_);
    const std::int32_t kind = entry[2];
    if (kind == sekEnd) {
        pointer_ = -1;
        return;
    }
    const bool stage = conditions.stageAnime || !conditions.performing;
    const bool chara = conditions.charaAnime || !conditions.performing;
    switch (kind) {
    case sekBackground:
        if (stage && InRange(entry[3], BackgroundSlots))
            actions.ChangeBackground(entry[3], entry[4]);
        break;
    case sekAnimation:
        if (stage && InRange(entry[3], AnimationSlots))
            actions.StartAnimation(entry[3], entry[4]);
        break;
    case sekCharacter:
    case sekSecondPicture:
        if (chara && InRange(entry[3], StageCharacters) && InRange(entry[4], CharacterEntries)) {
            if (kind == sekCharacter)
                actions.SetCharacterPicture(entry[3], entry[4]);
            else
                actions.SetCharacterSecondPicture(entry[3], entry[4]);
        }
        break;
    case sekPosition:
        if (chara && InRange(entry[3], StageCharacters))
            actions.PlaceCharacter(entry[3], entry[4], entry[5], conditions.charaAnime ? std::max(entry[6], 0) : 0);
        break;
    case sekEffect:
        if (InRange(entry[3], EffectSlots))
            actions.PlayEffect(entry[3]);
        break;
    default:
        break;
    }
    pointer_ += entry[0];
    if (pointer_ >= SectionEnd(n))
        pointer_ = -1;
}
