// The engine's command instructions (opcodes 64 to 166): each takes its arguments from the value
// stack, changes the record so that a saved game shows and plays the same, and asks the adventure
// screen to act. Commands that start something the player must see yield.
#include "base/util/TRandom.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/ScriptScreen.h"
#include "scenario/script/TScriptEngine.h"
#include "shell/GameExceptions.h"

namespace {

// A value in 0 to n - 1 (n > 0). One draw gives 16 bits, so a larger n takes two, and every value
// below n can occur.
std::int32_t DrawBelow(TRandom& random, std::int32_t n)
{
    if (n <= 65536)
        return random.Random(n);
    std::uint32_t mask = 0xFFFF;
    while (mask < static_cast<std::uint32_t>(n - 1))
        mask = mask * 2 + 1;
    std::uint32_t value;
    do {
        value = ((random.Rnd() << 16) | random.Rnd()) & mask;
    } while (value >= static_cast<std::uint32_t>(n));
    return static_cast<std::int32_t>(value);
}

// The seen bit of a background whose remainder by 1000 lies in 500 to 799.
void MarkSeenBackground(TSystemState& system, std::int32_t background)
{
    const std::int32_t picture = background % 1000;
    if (picture >= 500 && picture < 800)
        system.SetSystemBit(picture - 500);
}

class Commands {
public:
    Commands(TScriptEngine& engine, ScriptScreen& screen, TReadMesTable& readMes)
        : engine_(engine), s_(engine.State()), screen_(screen), readMes_(readMes)
    {
    }

    bool Text(std::uint16_t opcode);
    bool Sound(std::uint16_t opcode);
    bool Stage(std::uint16_t opcode);
    bool Clock(std::uint16_t opcode);
    bool Meter(std::uint16_t opcode);
    bool Flow(std::uint16_t opcode);

private:
    std::int32_t Pop() { return s_.PopValue(); }
    void Push(std::int32_t value) { s_.PushValue(value); }
    void StageChange(std::int32_t kind);
    void CharacterRefresh(std::int32_t kind);
    void RedrawCharacters(std::int32_t mode);
    void SpeakerTalks(std::int32_t speaker);
    void UpdateAmbient();
    void Stop()
    {
        s_.SetStop(true);
        engine_.Yield();
    }

    TScriptEngine& engine_;
    TGameState& s_;
    ScriptScreen& screen_;
    TReadMesTable& readMes_;
};

bool Commands::Text(std::uint16_t opcode)
{
    switch (opcode) {
    case 64: {
        const std::int32_t number = Pop();
        s_.SetCurrentMessage(engine_.ExpandText(engine_.GetStringOperand(number)), number, readMes_);
        if (!s_.GetTextWindow()) {
            s_.SetTextWindow(true);
            screen_.WaitText();
            engine_.Yield();
        }
        return true;
    }
    case 65:
        s_.NewWindowLine();
        s_.AdvanceBacklog();
        screen_.TextNewLine();
        return true;
    case 66:
        s_.ClearWindowLines();
        screen_.TextClear();
        return true;
    case 67:
    case 68:
        if (s_.GetTextWindow() != (opcode == 67)) {
            s_.SetTextWindow(opcode == 67);
            screen_.WaitText();
            engine_.Yield();
        }
        return true;
    case 69: {
        const std::int32_t speed = Pop();
        if (speed >= 0 && speed <= 3000)
            s_.SetMessageSpeed(speed);
        return true;
    }
    case 70:
        if (const bool novel = Pop() != 0; novel != s_.GetNovel()) {
            s_.ClearWindowLines();
            s_.SetNovel(novel);
            screen_.TextReset();
            engine_.Yield();
        }
        return true;
    case 71: {
        const std::int32_t line = Pop();
        const std::int32_t column = Pop();
        if (s_.SetPrintPosition(column, line))
            screen_.TextReprint();
        return true;
    }
    case 164:
        s_.ClearBacklog();
        return true;
    default:
        return false;
    }
}

bool Commands::Sound(std::uint16_t opcode)
{
    std::int32_t a = 0;
    switch (opcode) {
    case 75: {
        const TGameState::PlayParams params = s_.GetVoiceParams();
        screen_.VoicePlay(Pop(), params.a, params.b);
        s_.SetVoiceParams({});
        return true;
    }
    case 76:
        s_.SetVoiceLevel(Pop());
        screen_.VoiceSetVolume();
        return true;
    case 77:
    case 87:
    case 91: {
        const std::int32_t b = Pop();
        const TGameState::PlayParams params{Pop(), b};
        opcode == 77 ? s_.SetVoiceParams(params) : opcode == 87 ? s_.SetSeParams(params) : s_.SetAmbientNextParams(params);
        return true;
    }
    case 78:
    case 81:
    case 138:
    case 140: {
        const bool fade = opcode >= 138 || Pop() != 0;
        const std::int32_t track = Pop();
        const bool loop = opcode == 78 || opcode == 138;
        s_.SetBgm(loop ? track : -1);
        screen_.BgmPlay(track, loop, fade);
        return true;
    }
    case 79:
    case 82:
    case 139:
    case 141:
        a = opcode >= 139 ? 1 : Pop();
        s_.SetBgm(-1);
        screen_.BgmStop(a != 0);
        return true;
    case 80:
    case 83:
        s_.SetBgmLevel(Pop());
        screen_.BgmSetVolume();
        return true;
    case 84: {
        const TGameState::PlayParams params = s_.GetSeParams();
        screen_.SePlay(Pop(), params.a, params.b);
        s_.SetSeParams({});
        return true;
    }
    case 85:
        screen_.SeStop();
        return true;
    case 86:
        s_.SetSeLevel(Pop());
        screen_.SeSetVolume();
        return true;
    case 88:
    case 142: {
        const bool fadeIn = opcode == 88 && Pop() != 0;
        const std::int32_t number = Pop();
        const TGameState::PlayParams params = s_.GetAmbientNextParams();
        s_.SetAmbient(number, params);
        screen_.Se2Play(number, fadeIn, params.a, params.b);
        s_.SetAmbientNextParams({});
        return true;
    }
    case 89:
    case 143:
        a = opcode == 143 ? 1 : Pop();
        s_.SetAmbient(-1, {});
        screen_.Se2Stop(a != 0);
        return true;
    case 90:
        s_.SetAmbientLevel(Pop());
        screen_.Se2SetVolume();
        return true;
    case 131:
        s_.SetAmbientParam(Pop());
        screen_.SoundSetLevel();
        return true;
    default:
        return false;
    }
}

void Commands::UpdateAmbient()
{
    if (s_.UpdateAmbientSelection())
        screen_.SoundQuery();
}

void Commands::StageChange(std::int32_t kind)
{
    s_.ShowPendingStage();
    MarkSeenBackground(engine_.System(), s_.GetShownBackground());
    screen_.StageChange(kind);
    s_.SetCharacterChangeMode(0);
    s_.SetStageSpeed(100);
    UpdateAmbient();
    engine_.Yield();
}

void Commands::RedrawCharacters(std::int32_t mode)
{
    if (mode >= 0)
        s_.SetCharacterChangeMode(mode);
    s_.ShowPendingCharacters();
    screen_.StageRefresh();
    s_.SetCharacterChangeMode(0);
    engine_.Yield();
}

void Commands::CharacterRefresh(std::int32_t kind)
{
    if (kind == 0 || kind == 1)
        StageChange(kind == 0 ? 0 : 2);
    else
        RedrawCharacters(-1);
}

void Commands::SpeakerTalks(std::int32_t speaker)
{
    for (int slot = 0; slot < 3; ++slot) {
        const std::int32_t character = s_.GetShownCharacter(slot);
        s_.SetTalking(slot, speaker >= 0 && character >= 0 && character <= 999 && engine_.SpeakerOf(character) == speaker);
    }
    screen_.TalkStop();
}

bool Commands::Stage(std::uint16_t opcode)
{
    std::int32_t a = 0;
    switch (opcode) {
    case 92:
        s_.SetPendingBackground(Pop());
        return true;
    case 93:
    case 94:
        s_.SetPendingBackground(opcode == 93 ? 998 : 999);
        return true;
    case 95:
    case 101: {
        const std::int32_t kind = opcode == 101 ? Pop() : 0;
        const std::int32_t slot = Pop();
        s_.PutCharacter(Pop(), slot);
        if (opcode == 101)
            CharacterRefresh(kind);
        return true;
    }
    case 96:
    case 102: {
        const std::int32_t kind = opcode == 102 ? Pop() : 0;
        s_.RemoveCharacter(Pop());
        if (opcode == 102)
            CharacterRefresh(kind);
        return true;
    }
    case 97:
        StageChange(Pop());
        return true;
    case 98:
        a = Pop();
        s_.SetPendingBackground(Pop());
        StageChange(a);
        return true;
    case 99:
    case 100:
        s_.SetPendingBackground(opcode == 99 ? 998 : 999);
        StageChange(Pop());
        return true;
    case 103:
        RedrawCharacters(3);
        return true;
    case 104:
        s_.SetCharacterChangeMode(4);
        s_.ClearCharacters();
        screen_.StageRefresh();
        s_.SetCharacterChangeMode(0);
        engine_.Yield();
        return true;
    case 105:
        screen_.StageEffect(Pop());
        engine_.Yield();
        return true;
    case 132:
    case 133:
        s_.SlideCharacters(opcode == 132);
        RedrawCharacters(opcode == 132 ? 2 : 1);
        return true;
    case 154:
        a = Pop();
        for (int slot = 0; slot < 3; ++slot)
            s_.SetTalking(slot, slot == a);
        screen_.TalkStop();
        return true;
    case 155:
    case 156:
        for (int slot = 0; slot < 3; ++slot)
            s_.SetTalking(slot, opcode == 155);
        screen_.TalkStop();
        return true;
    case 157:
        screen_.TalkStart(Pop());
        return true;
    case 158:
        screen_.TalkStop();
        return true;
    case 159:
        s_.SetStageSpeed(Pop());
        return true;
    case 162:
        SpeakerTalks(Pop());
        return true;
    case 163:
        MarkSeenBackground(engine_.System(), Pop());
        return true;
    default:
        return false;
    }
}

bool Commands::Clock(std::uint16_t opcode)
{
    switch (opcode) {
    case 109:
        s_.SetDate(Pop());
        screen_.ClockRefresh();
        return true;
    case 110:
        Push(s_.GetMonth() * 100 + s_.GetDay());
        return true;
    case 111:
        Push(s_.GetMonth());
        return true;
    case 112:
        Push(s_.GetDay());
        return true;
    case 113:
        Push(s_.GetWeekday());
        return true;
    case 114:
        s_.SetTime(Pop());
        screen_.ClockRefresh();
        return true;
    case 115:
        Push(s_.GetHour() * 100 + s_.GetMinute());
        return true;
    case 116:
        Push(s_.GetHour());
        return true;
    case 117:
        Push(s_.GetMinute());
        return true;
    case 129:
        s_.AddDays(Pop());
        screen_.ClockRefresh();
        return true;
    case 130:
        s_.AddMinutes(Pop());
        screen_.ClockRefresh();
        return true;
    case 134:
    case 135:
        screen_.TimeWindow(opcode == 134, Pop() != 0);
        return true;
    case 136:
    case 137:
        screen_.DateWindow(opcode == 136, Pop() != 0);
        return true;
    default:
        return false;
    }
}

bool Commands::Meter(std::uint16_t opcode)
{
    const std::int32_t meter = s_.GetMeter();
    const std::int32_t level = s_.GetMeterLevel();
    std::int32_t v = 0;
    switch (opcode) {
    case 145:
        s_.SetMeter(Pop());
        break;
    case 146:
        Push(meter);
        return true;
    case 147:
        if (v = Pop(); v >= 0 && v <= 3)
            s_.SetMeter(v * 50);
        break;
    case 148:
        Push(level);
        return true;
    case 149:
        // 64-bit so that a huge step cannot wrap past the clamp.
        s_.SetMeter(static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{meter} + Pop(), 0, 255)));
        break;
    case 150:
        s_.SetMeter(static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{meter} - Pop(), 0, 255)));
        break;
    case 151:
        if (v = Pop(); v >= 0) {
            s_.SetMeter(level == 4 ? 255 : static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{meter} + v, 255)));
            if (level < 4 && s_.GetMeterLevel() == level)
                s_.SetMeter((level + 1) * 50);
        }
        break;
    case 152:
        if (v = Pop(); v >= 0) {
            s_.SetMeter(level == 0 ? 0 : static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{meter} - v, 0)));
            if (level > 0 && s_.GetMeterLevel() == level)
                s_.SetMeter(level * 50 - 1);
        }
        break;
    default:
        return false;
    }
    UpdateAmbient();
    return true;
}

bool Commands::Flow(std::uint16_t opcode)
{
    std::int32_t a = 0;
    switch (opcode) {
    case 72:
        screen_.Wait(Pop());
        engine_.Yield();
        return true;
    case 73:
        s_.SetNoSkip(false);
        screen_.WaitClick();
        s_.SetGameMode(1);
        engine_.Yield();
        return true;
    case 74:
        s_.SetNoSkip(Pop() != 0);
        return true;
    case 106:
    case 107:
        s_.SetCursor(opcode == 106);
        screen_.UpdateCursor();
        return true;
    case 108:
        s_.SetPlaceName(Pop());
        screen_.PlaceName();
        return true;
    case 118:
        s_.SetModeIndex(Pop());
        return true;
    case 119:
        Push(s_.GetModeIndex());
        return true;
    case 120:
        for (int i = TGameState::ChoiceCount - 1; i >= 0; --i)
            s_.SetChoiceText(i, engine_.ExpandText(engine_.GetStringOperand(Pop())));
        screen_.ChoiceShow();
        s_.SetGameMode(2);
        Stop();
        return true;
    case 121:
        screen_.PlayOpeningMovie();
        engine_.Yield();
        return true;
    case 122:
    case 160:
        a = Pop();
        s_.SetMovie(a);
        opcode == 122 ? screen_.PlayEndingMovie() : screen_.PlayMovie(a);
        engine_.Yield();
        return true;
    case 123:
        s_.SetHalt(true);
        return true;
    case 124:
        s_.SetMovie(Pop());
        screen_.EndGame();
        s_.SetGameMode(4);
        Stop();
        return true;
    case 125:
    case 126:
        s_.SetAllOptions(opcode == 126);
        return true;
    case 127: {
        const bool on = Pop() != 0;
        s_.SetOption(Pop(), on);
        return true;
    }
    case 128:
        s_.SetExtraItem(Pop());
        screen_.ExSelShow();
        s_.SetGameMode(3);
        Stop();
        return true;
    case 144:
        engine_.System().SetViewedItem(Pop());
        return true;
    case 153:
        s_.SetExtraWord(Pop());
        return true;
    case 161:
        a = Pop();
        Push(a > 0 ? DrawBelow(screen_.Random(), a) : 0);
        return true;
    case 165:
        engine_.RequestAutoSave();
        return true;
    case 166:
        if (a = Pop(); a >= 0 && a <= 2)
            screen_.SetMusicRankMode(a);
        return true;
    default:
        return false;
    }
}

} // namespace

void TScriptEngine::RunCommand(std::uint16_t opcode)
{
    Commands commands(*this, context_.screen, context_.readMes);
    if (!commands.Text(opcode) && !commands.Sound(opcode) && !commands.Stage(opcode) && !commands.Clock(opcode) &&
        !commands.Meter(opcode) && !commands.Flow(opcode))
        throw EGameErr();
}
