#include "songgame/screen/MusicRun.h"

#include "songgame/screen/TMusicUnit.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/StretchRect.h"

#include <algorithm>

namespace {

constexpr std::uint32_t KeyDown = 0x80;
constexpr std::uint32_t EscapeCode = 0x01;
constexpr std::uint32_t SnapshotCode = 0xB7;
constexpr int GlowCalls = 8;

bool Down(std::uint8_t state) { return (state & KeyDown) != 0; }

} // namespace

MusicRun::MusicRun(TMusicUnit& unit, PlayState& play)
    : unit_(unit), play_(play),
      run_(*this, SongRunOptions{unit.FAutoMode, unit.FCharaAnime == 1, unit.FStageAnime == 1}),
      judge_(unit.FChart.notes.first(static_cast<std::size_t>(unit.FChart.count)), play, *this)
{
    judge_.SetShakeOnMiss(unit.FCharaAnime == 1);
}

TXeRGBPanel* MusicRun::Panel(const char* name) const { return unit_.Panel(name); }

// ---- input ----

std::span<const input::KeyRecord> MusicRun::ReadKeys()
{
    input::SongInput* in = unit_.FDevices.input;
    if (in == nullptr)
        return {};
    int count = 0;
    const input::ReadResult result = in->ReadKeyboard(records_, count);
    if (result == input::ReadResult::InputLost || result == input::ReadResult::NotAcquired) {
        in->AcquireKeyboard();
        return {};
    }
    if (result != input::ReadResult::Ok && result != input::ReadResult::Overflow)
        return {};
    return std::span<const input::KeyRecord>(records_).first(static_cast<std::size_t>(count));
}

bool MusicRun::ReadEscapeDown()
{
    input::SongInput* in = unit_.FDevices.input;
    const input::ReadResult result =
        in != nullptr ? in->KeyboardState(keyState_) : input::ReadResult::NoDevice;
    if (result == input::ReadResult::InputLost || result == input::ReadResult::NotAcquired)
        in->AcquireKeyboard();
    if (result != input::ReadResult::Ok)
        keyState_.fill(0);
    return Down(keyState_[EscapeCode]);
}

bool MusicRun::DrainKeysForAbort()
{
    bool pressed = false;
    for (auto keys = ReadKeys(); !keys.empty(); keys = ReadKeys()) {
        for (const input::KeyRecord& record : keys)
            pressed = pressed || (record.data & KeyDown) != 0;
    }
    return pressed;
}

void MusicRun::ReadPresses()
{
    for (auto keys = ReadKeys(); !keys.empty(); keys = ReadKeys()) {
        for (const input::KeyRecord& record : keys) {
            if ((record.data & KeyDown) == 0)
                continue;
            if (unit_.FAutoMode == 0) {
                if (const int lane = KeyPressLane(record.offset, unit_.FRankMode); lane >= 0)
                    judge_.HitLane(lane);
            }
            if (record.offset == SnapshotCode && unit_.FDevices.takeSnapshot)
                unit_.FDevices.takeSnapshot();
        }
    }
}

void MusicRun::ReadJoystick()
{
    input::SongInput* in = unit_.FDevices.input;
    if (!unit_.FJoystick || in == nullptr)
        return;
    previousButtons_ = buttons_;
    if (!in->PollJoystick(buttons_))
        buttons_.fill(0);
    if (unit_.FAutoMode != 0)
        return;
    // Buttons pass the difficulty's lanes like keys: the easy sheet plays its outer lanes itself.
    for (int lane = 0; lane < static_cast<int>(input::LaneButtons); ++lane) {
        const auto i = static_cast<std::size_t>(lane);
        if (Down(buttons_[i]) && !Down(previousButtons_[i]) && LaneAllowed(lane, unit_.FRankMode))
            judge_.HitLane(lane);
    }
}

// ---- the curtain, the title and the caption ----

void MusicRun::SetCurtain(int strip, int block)
{
    TXeRGBPanel* panel = unit_.FCurtains[static_cast<std::size_t>(strip)];
    if (block < 0) {
        panel->SetVisible(false);
        return;
    }
    panel->SetBlockIndex(block);
    panel->SetVisible(true);
}

void MusicRun::SetTitleOffset(int y)
{
    TXeRGBPanel* title = Panel("TitleP");
    if (y < 0) {
        title->SetVisible(false);
        return;
    }
    title->SetOffsetY(y);
}

void MusicRun::SetCaptionBlink()
{
    TXeRGBPanel* caption = Panel("CaptionPanel");
    caption->SetBlockIndex(caption->BlockIndex() != 0 ? 0 : 1);
}

// ---- the clock and the sections ----

std::uint32_t MusicRun::MillisecondsNow() const
{
    return unit_.FDevices.musicMs ? unit_.FDevices.musicMs() - msBase_ : 0;
}

SongTime MusicRun::Now() const
{
    if (unit_.FTimingMode == 0)
        return TimeOfMilliseconds(MillisecondsNow());
    // The audible sample of the music, by the stream's own format; never back within the step.
    std::uint64_t position = 0;
    std::uint32_t bytesPerSecond = 0;
    if (!unit_.FMusic || !unit_.FMusic->GetPlayPosition(position, bytesPerSecond))
        return stored_;
    return TimeOfStream(position, bytesPerSecond, stored_);
}

void MusicRun::PhaseChanged()
{
    // The timer thread keeps counting; each phase reads the counter against its own base.
    msBase_ = unit_.FDevices.musicMs ? unit_.FDevices.musicMs() : 0;
    stored_ = {};
    unit_.FPhase = run_.CurrentPhase();
}

void MusicRun::SetSection(int section) { unit_.SetSection(section); }

void MusicRun::RunSectionEntries(int section)
{
    const StageScript& script = unit_.FScript;
    while (script.Pointer() >= 0 && script.Pointer() < script.SectionEnd(section) &&
           script.EntryTime() <= static_cast<std::int32_t>(stored_.milliseconds))
        unit_.DoAnimeEntry(section);
}

bool MusicRun::RunEntries(int section)
{
    const std::uint32_t ms = MillisecondsNow();
    RunSectionEntries(section);
    stored_ = TimeOfMilliseconds(ms);
    return unit_.FScript.Pointer() < 0;
}

// ---- the music ----

void MusicRun::StartMusic()
{
    if (unit_.FMusic)
        unit_.FMusic->Play(false);
}

bool MusicRun::MusicPlaying() { return unit_.FMusic && unit_.FMusic->IsPlay(); }

void MusicRun::StopMusic() { unit_.Stop(); }

// ---- the performance ----

void MusicRun::BeginPerformance()
{
    while (!ReadKeys().empty()) {
    }
    buttons_.fill(0);
    judge_.Restart();
    sheet_.Clear();
}

void MusicRun::DriftReaction(int elapsed) { play_.DriftReaction(elapsed); }

void MusicRun::FlagSheet()
{
    TXeRGBPanel* sheet = Panel("SheetP");
    for (int i = 0; i < sheet_.Count(); ++i) {
        if (const TXeRect rect = SheetNotes::CellRect(sheet_.At(i)); !rect.IsRectEmpty())
            sheet->SetModifyRect(rect);
    }
}

void MusicRun::Judge(int elapsed)
{
    const SongTime now = Now();
    FlagSheet();
    judge_.Scan(now.clock, stored_.clock);
    ReadPresses();
    ReadJoystick();
    sheet_.Rebuild(judge_.Notes(), judge_.firstDrawn, now.clock, elapsed);
    FlagSheet();
    Panel("HitLamp")->SetVisible(judge_.StepHitLamp());
    RunSectionEntries(ssPerform);
    stored_ = now;
    DrawGauge();
    DrawScore();
}

void MusicRun::PlayKeySound(int sound) { unit_.PlayKeySound(sound); }

void MusicRun::ShowLyric(int text)
{
    const std::span<const char> pool = unit_.FChart.pool;
    if (text < 0 || static_cast<std::size_t>(text) >= pool.size()) {
        unit_.DrawLyrics({});
        return;
    }
    const std::span<const char> rest = pool.subspan(static_cast<std::size_t>(text));
    const auto end = std::find(rest.begin(), rest.end(), '\0');
    unit_.DrawLyrics(std::string_view(rest.data(), static_cast<std::size_t>(end - rest.begin())));
}

void MusicRun::HideLyrics() { Panel("WordP")->SetVisible(false); }

void MusicRun::ClearSheet()
{
    Panel("SheetP")->SetModify();
    HideLyrics();
}

// ---- gauge, score and the display steps ----

void MusicRun::DrawGauge()
{
    if (drawnGauge_ == play_.gauge)
        return;
    drawnGauge_ = play_.gauge;
    for (int i = 0; i < TMusicUnit::BigPops; ++i)
        unit_.FPopBig[static_cast<std::size_t>(i)]->SetBlockIndex(BigPopBlock(play_.gauge, glowPhase_, i));
    for (int i = 0; i < TMusicUnit::SmallPops; ++i)
        unit_.FPopSmall[static_cast<std::size_t>(i)]->SetBlockIndex(SmallPopBlock(play_.gauge, i));
}

void MusicRun::DrawScore()
{
    if (drawnScore_ == play_.score)
        return;
    drawnScore_ = play_.score;
    for (int k = 0; k < TMusicUnit::ScoreDigits; ++k) {
        const ScoreDigitLook look = ScoreDigit(play_.score, k);
        TXeRGBPanel* digit = unit_.FScoreDigits[static_cast<std::size_t>(k)];
        digit->SetBlockIndex(look.block);
        digit->SetVisible(look.visible);
    }
}

void MusicRun::StepGlow()
{
    if (play_.gauge < PlayState::ClearGauge || ++glowCalls_ < GlowCalls)
        return;
    glowCalls_ = 0;
    glowPhase_ = (glowPhase_ + 1) & 3;
    drawnGauge_ = -1;
    DrawGauge();
}

void MusicRun::DrawClef()
{
    if (clefLevel_ == play_.reaction)
        return;
    clefLevel_ = play_.reaction;
    TXeRGBPanel* clef = Panel("GClef");
    const MusicPicture& picture = unit_.FClefPicture;
    TXeRGBBits* image = clef->Image();
    TXeAlpha* alpha = clef->Alpha();
    clef->SetModify();
    if (image == nullptr || alpha == nullptr || picture.bits == nullptr || picture.alpha == nullptr)
        return;
    alpha->Fill(0);
    const TXeRect r = GClefRect(clefLevel_);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int depth = image->BitDepth();
    if (image->BitDepth() != picture.bits->BitDepth() || image->Width() < r.right || image->Height() < r.bottom ||
        alpha->Width() < r.right || picture.bits->Lock() == false)
        return;
    if (image->Lock()) {
        std::uint8_t* dst = image->Bits() + r.top * image->Pitch() + r.left * depth;
        if (depth == bd32)
            StretchRect32(picture.bits->Bits(), picture.bits->Width(), picture.bits->Height(),
                          picture.bits->Pitch(), dst, w, h, image->Pitch());
        else
            StretchRect16(picture.bits->Bits(), picture.bits->Width(), picture.bits->Height(),
                          picture.bits->Pitch(), dst, w, h, image->Pitch());
        image->Unlock();
    }
    picture.bits->Unlock();
    StretchRect8(picture.alpha->Bits(), picture.alpha->Width(), picture.alpha->Height(), picture.alpha->Pitch(),
                 alpha->Bits() + r.top * alpha->Pitch() + r.left, w, h, alpha->Pitch());
}

void MusicRun::StepDisplay(int)
{
    DrawClef();
    StepGlow();
    unit_.FCharacters.SortDepth();
}

void MusicRun::AnimateCharacters(int elapsed) { unit_.FCharacters.Animate(elapsed); }

void MusicRun::ShakeCharacters() { unit_.FCharacters.Shake(); }

void MusicRun::StepBackground(int elapsed) { unit_.FBackground.Step(elapsed); }

// ---- the continue prompt ----

void MusicRun::ShowContinue()
{
    if (unit_.FDevices.playSystemSound)
        unit_.FDevices.playSystemSound("SysSEPage");
    TXeRGBPanel* count = Panel("ContinueCount");
    TXeRGBPanel* info = Panel("ContinueInfo");
    // The prompt counts and answers whatever the loads gave.
    LoadPanelImage(count, "SongCount.png", unit_.FGameData);
    count->SetBlockIndex(0);
    count->SetVisible(true);
    LoadPanelImage(info, "SongCountYN.png", unit_.FGameData);
    info->SetVisible(true);
    prompt_.Restart();
}

int MusicRun::StepContinue(int elapsed)
{
    int answer = ContinuePrompt::Waiting;
    for (auto keys = ReadKeys(); !keys.empty(); keys = ReadKeys()) {
        if (const int read = prompt_.Answer(keys); read != ContinuePrompt::Waiting)
            answer = read;
    }
    return answer != ContinuePrompt::Waiting ? answer : prompt_.Count(elapsed, *this);
}

void MusicRun::CloseContinue()
{
    for (const char* name : {"ContinueCount", "ContinueInfo"}) {
        TXeRGBPanel* panel = Panel(name);
        panel->SetVisible(false);
        FreePanelImage(panel);
    }
}

void MusicRun::ShowCountBlock(int block) { Panel("ContinueCount")->SetBlockIndex(block); }

void MusicRun::PlayCountSound()
{
    if (unit_.FDevices.playSystemSound)
        unit_.FDevices.playSystemSound("SysSEClick01");
}

bool MusicRun::SystemSoundPlaying()
{
    return unit_.FDevices.systemSoundPlaying && unit_.FDevices.systemSoundPlaying();
}

void MusicRun::ResetPlay()
{
    play_.Reset();
    judge_.ResetLastSound();
    clefLevel_ = -1;
    drawnGauge_ = -1;
    drawnScore_ = -1;
    glowPhase_ = 0;
    glowCalls_ = 0;
    DrawGauge();
    DrawScore();
}

void MusicRun::ResetForContinue()
{
    ResetPlay();
    for (TMusicNote& note : judge_.Notes())
        note.state = 0;
}

void MusicRun::SetResult(int result)
{
    if (unit_.FDevices.setResult)
        unit_.FDevices.setResult(result);
}
