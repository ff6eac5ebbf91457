// NullScriptScreen: an adventure screen for the fuzz targets and benchmarks that does nothing the
// instructions ask (the engine itself yields, stops and requests saves) and prints no message pieces.
#pragma once

#include "base/util/TRandom.h"
#include "scenario/script/ScriptScreen.h"

class NullScriptScreen : public ScriptScreen {
public:
    void RebuildFromRecord() override {}
    bool HasMessageText() override { return false; }
    bool PrintMessagePiece(TScriptEngine&) override { return true; }
    void MarkMessageRead() override {}
    void WriteAutoSave() override {}
    void TextNewLine() override {}
    void TextClear() override {}
    void WaitText() override {}
    void TextReprint() override {}
    void TextReset() override {}
    void Wait(std::int64_t) override {}
    void WaitClick() override {}
    void BgmPlay(std::int32_t, bool, bool) override {}
    void BgmStop(bool) override {}
    void BgmSetVolume() override {}
    void VoicePlay(std::int32_t, std::int32_t, std::int32_t) override {}
    void VoiceSetVolume() override {}
    void SePlay(std::int32_t, std::int32_t, std::int32_t) override {}
    void SeStop() override {}
    void SeSetVolume() override {}
    void Se2Play(std::int32_t, bool, std::int32_t, std::int32_t) override {}
    void Se2Stop(bool) override {}
    void Se2SetVolume() override {}
    void SoundSetLevel() override {}
    void SoundQuery() override {}
    void StageChange(std::int32_t) override {}
    void StageRefresh() override {}
    void StageEffect(std::int32_t) override {}
    void TalkStart(std::int32_t) override {}
    void TalkStop() override {}
    void UpdateCursor() override {}
    void TimeWindow(bool, bool) override {}
    void DateWindow(bool, bool) override {}
    void ClockRefresh() override {}
    void PlaceName() override {}
    void ChoiceShow() override {}
    void ExSelShow() override {}
    void PlayOpeningMovie() override {}
    void PlayEndingMovie() override {}
    void PlayMovie(std::int32_t) override {}
    void EndGame() override {}
    TRandom& Random() override { return random_; }
    void SetMusicRankMode(std::int32_t) override {}

private:
    TRandom random_;
};
