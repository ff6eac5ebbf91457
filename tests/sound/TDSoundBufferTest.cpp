// TDSoundBuffer and TDSoundBuffer3D on the manual clock: setters after creation, refused formats,
// the end notice and its rules, restarts, writing with wrap-around, controls that are missing,
// duplicates and the 3-D position.
#include "SoundDeviceSupport.h"

#include "sound/TDSound.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace {

using namespace SoundTest;
using namespace DirectX;

std::int16_t Sample(const Bytes& b, std::size_t index)
{
    std::int16_t s;
    std::memcpy(&s, b.data() + 2 * index, 2);
    return s;
}

TEST(TDSoundBuffer, SettersActOnlyBeforeCreation)
{
    ManualSound m;
    auto* buffer = new TDSoundBuffer(m.sound);
    buffer->SetLength(3);
    buffer->SetLength(0x10000000);
    EXPECT_EQ(buffer->Length(), 0u);
    buffer->SetLength(400);
    buffer->SetChannels(1);
    ASSERT_TRUE(buffer->Create());
    buffer->SetChannels(2);
    buffer->SetBitsPerSample(8);
    buffer->SetLength(800);
    EXPECT_EQ(buffer->Channels(), 1);
    EXPECT_EQ(buffer->BitsPerSample(), 16);
    EXPECT_EQ(buffer->Length(), 400u);
    EXPECT_FALSE(buffer->Create()) << "already created";

    auto* tiny = new TDSoundBuffer(m.sound, 2, 44100, 16, 2, false, false);
    EXPECT_FALSE(tiny->Created()) << "below 4 bytes";
    EXPECT_EQ(tiny->Duplicate(), nullptr);
    EXPECT_EQ(tiny->GetPosition(), 0u);
    EXPECT_FALSE(tiny->Play(false));
}

TEST(TDSoundBuffer, NotifyingBuffersAreNeverStatic)
{
    ManualSound m;
    auto* buffer = new TDSoundBuffer(m.sound);
    buffer->SetStaticFlag(true);
    buffer->SetLength(400);
    buffer->SetOnNotify([](TObject*) {});
    ASSERT_TRUE(buffer->Create());
    const std::uint32_t flags = buffer->Buffer()->GetCaps().flags;
    EXPECT_FALSE(flags & audio::kBufStatic);
    EXPECT_TRUE(flags & audio::kBufCtrlPositionNotify);
    EXPECT_NE(buffer->Thread(), nullptr);
}

// A buffer of `frames` frames whose OnNotify counts.
struct Counted {
    Counted(ManualSound& m, std::uint32_t frames) : buffer(new TDSoundBuffer(m.sound))
    {
        buffer->SetLength(frames * 4);
        buffer->SetOnNotify([this](TObject* sender) {
            EXPECT_EQ(sender, buffer);
            ++notices;
        });
        EXPECT_TRUE(buffer->Create());
        const Bytes data = Noise16(frames, 2, 4);
        EXPECT_TRUE(buffer->WriteBuffer(0, data.data(), static_cast<std::uint32_t>(data.size())));
    }
    TDSoundBuffer* buffer;
    std::atomic<int> notices{0};
};

TEST(TDSoundBuffer, NotifiesOnceAtTheEndNeverAfterStop)
{
    ManualSound m;
    Counted c(m, 4410);
    ASSERT_TRUE(c.buffer->Play(false));
    m.Advance(44100);
    EXPECT_EQ(c.notices, 1);
    EXPECT_FALSE(c.buffer->IsPlay());
    m.Advance(44100);
    EXPECT_EQ(c.notices, 1) << "once";

    ASSERT_TRUE(c.buffer->Play(false));
    m.Advance(512);
    ASSERT_TRUE(c.buffer->Stop());
    m.Advance(44100);
    EXPECT_EQ(c.notices, 1) << "a requested stop is no end";

    ASSERT_TRUE(c.buffer->Play(true));
    m.Advance(44100);
    EXPECT_EQ(c.notices, 1) << "a looping buffer never ends";
    EXPECT_TRUE(c.buffer->IsPlay());
}

// Ends reached while a buffer had no handler are no notices later: neither for a buffer whose
// handler was cleared nor for a duplicate that gets its notification only with its handler.
TEST(TDSoundBuffer, AHandlerSetLaterHearsOnlyLaterEnds)
{
    ManualSound m;
    Counted c(m, 4410);
    TDSoundBuffer* duplicate = c.buffer->Duplicate();
    ASSERT_NE(duplicate, nullptr);
    EXPECT_EQ(duplicate->Thread(), nullptr);
    c.buffer->SetOnNotify(nullptr);
    std::atomic<int> notices{0};
    for (TDSoundBuffer* buffer : {c.buffer, duplicate}) {
        ASSERT_TRUE(buffer->Play(false));
        m.Advance(44100); // played to its end, unheard
        ASSERT_FALSE(buffer->IsPlay());
        buffer->SetOnNotify([&](TObject*) { ++notices; });
        ASSERT_NE(buffer->Thread(), nullptr);
        ASSERT_TRUE(buffer->Play(false));
        m.Advance(512);
        ASSERT_TRUE(buffer->Stop());
        m.Advance(44100);
        EXPECT_EQ(notices, 0) << (buffer == duplicate ? "the duplicate" : "the original");
        ASSERT_TRUE(buffer->Play(false));
        m.Advance(44100);
        EXPECT_EQ(notices, 1) << "a later end is heard";
        notices = 0;
    }
    EXPECT_EQ(c.notices, 0);
}

TEST(TDSoundBuffer, RestartingAPlayingBufferIsNoEnd)
{
    ManualSound m;
    Counted c(m, 4410);
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(c.buffer->Play(false));
        m.Advance(256 * (1 + i % 3));
    }
    EXPECT_EQ(c.notices, 0);
    m.Advance(44100);
    EXPECT_EQ(c.notices, 1);
}

TEST(TDSoundBuffer, PlayRestartsFromTheFirstByte)
{
    ManualSound m;
    Counted c(m, 44100);
    ASSERT_TRUE(c.buffer->Play(true));
    m.Advance(256 * 20);
    EXPECT_GT(c.buffer->GetPosition(), 0u);
    m.TakeOutput();
    ASSERT_TRUE(c.buffer->Play(true));
    m.Advance(256);
    const Bytes out = m.TakeOutput();
    const Bytes data = Noise16(44100, 2, 4);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin()));
}

TEST(TDSoundBuffer, WriteBufferWrapsPastTheEnd)
{
    ManualSound m;
    TDSoundBuffer* buffer = m.sound->CreateBuffer(16);
    ASSERT_NE(buffer, nullptr);
    const unsigned char data[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(buffer->WriteBuffer(8, data, 12));
    audio::LockedRegion a, b;
    ASSERT_TRUE(buffer->Buffer()->Lock(0, 16, a, b));
    EXPECT_EQ(Bytes(a.data, a.data + 16), (Bytes{9, 10, 11, 12, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
    const Bytes many(1000, 0x55);
    EXPECT_TRUE(buffer->WriteBuffer(0, many.data(), 1000)) << "cut to the length";
    ASSERT_TRUE(buffer->Buffer()->Lock(0, 16, a, b));
    EXPECT_EQ(Bytes(a.data, a.data + 16), Bytes(16, 0x55));
}

TEST(TDSoundBuffer, MissingControlsAnswerZero)
{
    ManualSound m;
    TDSoundBuffer* buffer = m.sound->CreateBuffer(400);
    EXPECT_EQ(buffer->GetPan(), 0);
    EXPECT_FALSE(buffer->SetPan(-5000));
    EXPECT_EQ(buffer->GetFrequency(), 0u);
    EXPECT_FALSE(buffer->SetFrequency(22050));
    EXPECT_TRUE(buffer->SetVolume(-2000));
    EXPECT_EQ(buffer->GetVolume(), -2000);
    TDSoundBuffer* full = m.sound->CreateBuffer(2, 44100, 16, 400, true, true, false);
    EXPECT_TRUE(full->SetPan(-5000));
    EXPECT_EQ(full->GetPan(), -5000);
    EXPECT_TRUE(full->SetFrequency(22050));
    EXPECT_EQ(full->GetFrequency(), 22050u);
    auto* uncreated = new TDSoundBuffer(m.sound);
    EXPECT_EQ(uncreated->GetVolume(), 0);
    EXPECT_FALSE(uncreated->SetVolume(0));
}

TEST(TDSoundBuffer, DuplicatesShareTheSound)
{
    ManualSound m;
    TDSoundBuffer* original = m.sound->CreateBuffer(400);
    const Bytes data = Noise16(100, 2, 9);
    original->WriteBuffer(0, data.data(), 400);
    TDSoundBuffer* copy = original->Duplicate();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Owner(), m.sound);
    EXPECT_EQ(copy->Length(), 400u);
    ASSERT_TRUE(copy->Play(false));
    EXPECT_FALSE(original->IsPlay());
    m.Advance(256);
    const Bytes out = m.TakeOutput();
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
}

TEST(TDSoundBuffer3D, PlacesTheSoundAndDuplicatesItsClass)
{
    ManualSound m;
    auto* buffer = new TDSoundBuffer3D(m.sound, 2, 44100, 16, 256 * 4, true);
    ASSERT_TRUE(buffer->Created());
    EXPECT_FALSE(buffer->PanEnabled());
    EXPECT_TRUE(buffer->FreqEnabled());
    Bytes data(256 * 4);
    for (std::size_t i = 0; i < 512; ++i) {
        const std::int16_t s = 4000;
        std::memcpy(data.data() + 2 * i, &s, 2);
    }
    buffer->WriteBuffer(0, data.data(), static_cast<std::uint32_t>(data.size()));
    ASSERT_TRUE(buffer->SetPosition(0, 0, 4));
    buffer->Play(false);
    m.Advance(256);
    const Bytes out = m.TakeOutput();
    EXPECT_EQ(Sample(out, 0), 1000);
    EXPECT_EQ(Sample(out, 1), 1000);
    TDSoundBuffer3D* copy = buffer->Duplicate();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->Buffer3D(), nullptr);
}

} // namespace
