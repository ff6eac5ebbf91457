// The stage's character changes (arrangements and the motion table), talking, and its effects
// (shakes and the white flash).
#include "StageFixture.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/Format.h"

using namespace StageTest;

namespace {

class TStageUnitMotionTest : public StageFixture {
protected:
    // Characters 1 to 6 of different sizes and colours, a black background 5 and a gradient 8.
    void SetUp() override
    {
        PlainBackground(5, 0);
        WriteBackground("bg008.png", Png(640, 480, [](int x, int y) { return static_cast<std::uint32_t>((x & 0xFF) | (y & 0xFF) << 8 | 0x800000); }));
        for (int n = 1; n <= 6; ++n)
            PlainCharacter(n, 40 + 10 * n, 100 + 20 * n, 0x101010u * static_cast<std::uint32_t>(n));
        Start();
    }

    std::array<TXeRGBBits*, 3> Pictures(int set) const
    {
        return {stage_->Character(set, 0).Picture, stage_->Character(set, 1).Picture, stage_->Character(set, 2).Picture};
    }

    void Arrange(int left, int center, int right, int arrangement)
    {
        stage_->SetCharacters(left, center, right, arrangement);
        EXPECT_TRUE(stage_->ChangeCharacters());
        EXPECT_EQ(stage_->State(), TStageUnit::stMotion);
    }

    // Every step of the motion against the table: x of the home placement moved by the kind, the
    // opacity by kind and slot; then every panel at home, opaque, and the outgoing ones hidden.
    void ExpectMotionTable()
    {
        // Per kind: pixels the incoming panel stands beside its home at step t (per step left),
        // and the outgoing one (per step gone).
        auto homeX = [](TXeRGBPanel* p, int slot) { return 160 * (slot + 1) - p->SizeX() / 2; };
        auto side = [](int kind) { return kind == 2 ? -20 : kind == 3 ? 20 : 0; };
        for (int t = 0; t < 8; ++t) {
            ASSERT_EQ(stage_->MotionStep(), t);
            for (int slot = 0; slot < 3; ++slot) {
                TXeRGBPanel* in = stage_->CharPanel(0, slot);
                TXeRGBPanel* out = stage_->CharPanel(1, slot);
                const int inKind = stage_->InMotion(slot), outKind = stage_->OutMotion(slot);
                if (in->Visible() && inKind != 0) {
                    EXPECT_EQ(in->OffsetX(), homeX(in, slot) + side(inKind) * (8 - t)) << slot << " step " << t;
                    EXPECT_EQ(in->OffsetY(), (480 - in->SizeY()) / 2);
                    const bool fades = inKind == 1 || (inKind == 2 && slot == 0) || (inKind == 3 && slot == 2);
                    EXPECT_EQ(stage_->Opacity(slot), fades ? 16 * t : 128) << slot << " step " << t;
                }
                if (out->Visible() && outKind != 0) {
                    EXPECT_EQ(out->OffsetX(), homeX(out, slot) + side(outKind) * t) << slot << " step " << t;
                    EXPECT_EQ(stage_->OutOpacity(slot), 16 * (8 - t)) << slot << " step " << t;
                }
            }
            stage_->Update(1, false);
        }
        EXPECT_EQ(stage_->State(), TStageUnit::stIdle);
        for (int slot = 0; slot < 3; ++slot) {
            TXeRGBPanel* in = stage_->CharPanel(0, slot);
            if (in->Visible()) {
                EXPECT_EQ(in->OffsetX(), homeX(in, slot));
                EXPECT_EQ(stage_->Opacity(slot), 128);
            }
            EXPECT_FALSE(stage_->CharPanel(1, slot)->Visible());
        }
    }
};

} // namespace

TEST_F(TStageUnitMotionTest, ShiftLeftSlidesPicturesWithoutLoadingAndTheLeftOneLeaves)
{
    Show(5, 1, 2, 3);
    const auto before = Pictures(0);
    Arrange(2, 3, 4, 1);
    const auto after = Pictures(0);
    EXPECT_EQ(after[0], before[1]) << "the center picture moved to the left slot";
    EXPECT_EQ(after[1], before[2]);
    EXPECT_EQ(stage_->Character(2, 0).Picture, before[0]) << "the old left one is outgoing";
    EXPECT_EQ(stage_->CharPanel(0, 0)->SizeX(), 60) << "the slid panel keeps its character's size";
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(stage_->CurChar(slot), slot + 2);
        EXPECT_EQ(stage_->InMotion(slot), 3);
        EXPECT_EQ(stage_->OutMotion(slot), slot == 0 ? 2 : 0);
    }
    ExpectMotionTable();
}

TEST_F(TStageUnitMotionTest, ShiftRightMirrorsIt)
{
    Show(5, 1, 2, 3);
    const auto before = Pictures(0);
    Arrange(5, 1, 2, 2);
    const auto after = Pictures(0);
    EXPECT_EQ(after[2], before[1]);
    EXPECT_EQ(after[1], before[0]);
    EXPECT_EQ(stage_->Character(2, 2).Picture, before[2]);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(stage_->InMotion(slot), 2);
        EXPECT_EQ(stage_->OutMotion(slot), slot == 2 ? 3 : 0);
    }
    EXPECT_EQ(stage_->CurChar(0), 5);
    ExpectMotionTable();
}

TEST_F(TStageUnitMotionTest, InPlaceMovesOnlyChangedSlotsAndEnterAgainMovesAll)
{
    Show(5, 1, 2, 3);
    const auto before = Pictures(0);
    Arrange(1, 4, -1, 0);
    EXPECT_EQ(Pictures(0)[0], before[0]) << "unchanged";
    EXPECT_EQ(stage_->InMotion(0), 0);
    EXPECT_EQ(stage_->InMotion(1), 1);
    EXPECT_EQ(stage_->OutMotion(1), 1);
    EXPECT_EQ(stage_->InMotion(2), 0);
    EXPECT_EQ(stage_->OutMotion(2), 3);
    EXPECT_EQ(stage_->CurChar(2), -1);
    ExpectMotionTable();

    Arrange(1, 6, -1, 3);
    EXPECT_EQ(stage_->InMotion(0), 2) << "an unchanged character enters again";
    EXPECT_EQ(stage_->InMotion(1), 1);
    EXPECT_EQ(stage_->InMotion(2), 0);
    EXPECT_EQ(stage_->OutMotion(1), 0) << "a replaced one is not moved out";
    ExpectMotionTable();
}

TEST_F(TStageUnitMotionTest, AnyOtherArrangementEmptiesTheStage)
{
    Show(5, 1, 2, 3);
    Arrange(4, 5, 6, 7);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(stage_->ReqChar(slot), -1);
        EXPECT_EQ(stage_->CurChar(slot), -1);
        EXPECT_FALSE(stage_->CharPanel(0, slot)->Visible());
        EXPECT_TRUE(stage_->CharPanel(1, slot)->Visible());
    }
    EXPECT_EQ(stage_->OutMotion(0), 2);
    EXPECT_EQ(stage_->OutMotion(1), 1);
    EXPECT_EQ(stage_->OutMotion(2), 3);
    ExpectMotionTable();
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(160, 240), 0u);
}

TEST_F(TStageUnitMotionTest, SkipPutsThePanelsAtTheirEndPlacement)
{
    Show(5, 1, 2, -1);
    Arrange(3, 1, 2, 2);
    stage_->Update(1, false);
    EXPECT_FALSE(stage_->Update(1, true));
    for (int slot = 0; slot < 3; ++slot) {
        TXeRGBPanel* p = stage_->CharPanel(0, slot);
        EXPECT_EQ(p->OffsetX(), 160 * (slot + 1) - p->SizeX() / 2);
        EXPECT_EQ(stage_->Opacity(slot), 128);
    }
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(480, 240), 0x202020u) << "character 2 at the right";
}

TEST_F(TStageUnitMotionTest, TalkingStartsAndStopsTheMouthOfOccupiedSlotsOnly)
{
    WriteCharacter("chr001.ini", Text("[BASE]\nWIDTH=50\nHEIGHT=120\n[IMG]\nID=0\nWIDTH=50\nHEIGHT=120\n"
                                      "[IMG]\nID=1\nWIDTH=10\nHEIGHT=5\n[ANIM]\nID=1\nANIMATION=<1,4><0,4><LOOP>\n"
                                      "[ENTRY]\nID=0\nIMG_ID=0\n[ENTRY]\nID=2\nPOSX=20\nPOSY=30\nANIM_ID=1\n"));
    Show(5, -1, 1, -1);
    stage_->Update(1, false);
    EXPECT_EQ(stage_->Character(0, 1).Entry[2].Counter, -1);
    for (int slot : {-1, 3, 0, 2}) {
        stage_->SetTalking(slot, true);
        EXPECT_FALSE(stage_->BGPanel()->GetModified()) << slot << ": nothing to start";
    }
    stage_->SetTalking(1, true);
    EXPECT_TRUE(stage_->BGPanel()->GetModified());
    EXPECT_EQ(stage_->Character(0, 1).Entry[2].Counter, 0);
    stage_->Update(1, false);
    stage_->SetTalking(1, true);
    EXPECT_FALSE(stage_->BGPanel()->GetModified()) << "already talking: nothing flagged";
    EXPECT_EQ(stage_->Character(0, 1).Entry[2].Counter, 1) << "and the mouth runs on";
    stage_->SetTalking(1, false);
    EXPECT_EQ(stage_->Character(0, 1).Entry[2].Counter, -1);

    stage_->SetTalking(1, true);
    stage_->ResetCharacterStates();
    const TCharStat& b = stage_->Character(0, 1);
    EXPECT_EQ(b.Entry[0].Counter, 0);
    EXPECT_EQ(b.Entry[3].Counter, 0);
    EXPECT_EQ(b.Entry[1].Counter, -1);
    EXPECT_EQ(b.Entry[2].Counter, -1);
}

TEST_F(TStageUnitMotionTest, ShakesLastTheirUpdatesAndDrawTheStageMoved)
{
    struct Case {
        int kind, updates;
    };
    for (const Case c : {Case{0, 18}, Case{1, 18}, Case{2, 18}, Case{3, 12}}) {
        Show(8);
        EXPECT_TRUE(stage_->StartEffect(c.kind));
        EXPECT_EQ(RunToIdle(), c.updates) << c.kind;
    }
    Show(8);
    stage_->StartEffect(1);
    EXPECT_EQ(stage_->Shake().x, -16);
    auto shown = Screen();
    stage_->StagePanel()->Draw(shown.get());
    TXeRGBBits* picture = stage_->StagePanel()->Image();
    EXPECT_EQ(shown->PGet(0, 5), picture->PGet(16, 5)) << "moved 16 to the left";
    EXPECT_EQ(shown->PGet(623, 5), picture->PGet(639, 5));
    EXPECT_EQ(shown->PGet(624, 5), 0u) << "the bare strip is black";
    stage_->Update(1, false);
    EXPECT_TRUE(stage_->IsChanging());
    EXPECT_FALSE(stage_->Update(1, true)) << "skip ends the shake";
    EXPECT_EQ(stage_->Shake().x, 0);
    stage_->StagePanel()->Draw(shown.get());
    EXPECT_EQ(shown->PGet(0, 5), picture->PGet(0, 5));

    for (int other : {-1, 5}) {
        EXPECT_FALSE(stage_->StartEffect(other));
        EXPECT_EQ(stage_->State(), TStageUnit::stIdle);
    }
}

TEST_F(TStageUnitMotionTest, FlashGoesToWhiteAndBackInTwoHalvesUnlessSkipped)
{
    Show(8);
    const std::uint32_t stage = stage_->StagePanel()->Image()->PGet(100, 100);
    EXPECT_TRUE(stage_->StartEffect(4));
    int updates = 0;
    for (; updates < 16; ++updates)
        stage_->Update(1, false);
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(100, 100), 0xFFFFFFu) << "white at the end of the first half";
    updates += RunToIdle();
    EXPECT_EQ(updates, 34) << "two fast fades of 16 frames, each ended at the next update";
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(100, 100), stage);
    const std::size_t idle = registry_.Records().size();

    stage_->StartEffect(4);
    for (int i = 0; i < 8; ++i)
        stage_->Update(1, false);
    EXPECT_FALSE(stage_->Update(1, true)) << "skip in the first half ends the flash";
    EXPECT_EQ(stage_->StagePanel()->Image()->PGet(100, 100), stage) << "without the second half";
    EXPECT_EQ(registry_.Records().size(), idle);
}
