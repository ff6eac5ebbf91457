#include "StageFixture.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/pictures/PngPicture.h"
#include "support/BmpFile.h"
#include "platform/classes/Format.h"
#include "platform/classes/Stream.h"
#include "shell/GameGlobals.h"

#include <sstream>

namespace StageTest {

namespace {

void PutLE(Bytes& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) { ScenarioTest::WriteBytes(path, bytes); }

} // namespace

Bytes Bmp24(int w, int h, const ColourAt& colour) { return TestSupport::Bmp24(w, h, colour); }

Bytes Bmp8(int w, int h, const AlphaAt& value) { return TestSupport::GreyBmp(w, h, value); }

Bytes Png(int w, int h, const ColourAt& colour, const AlphaAt& alpha)
{
    Bytes pixels, plane;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            PutLE(pixels, colour(x, y), 3);
            if (alpha)
                plane.push_back(alpha(x, y));
        }
    TMemoryStream stream;
    const bool saved = alpha ? SavePng(&stream, pixels.data(), plane.data(), w, h, pf24_888)
                             : SavePng(&stream, pixels.data(), w, h, pf24_888);
    EXPECT_TRUE(saved);
    return Bytes(stream.Memory(), stream.Memory() + stream.GetSize());
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::uint32_t Toned(std::uint32_t colour, int tone)
{
    auto pixel = Screen(1, 1);
    pixel->PSet(0, 0, colour);
    if (tone == 1) {
        pixel->Sepia(0, 0, 0, 0);
    } else if (tone == 2) {
        pixel->Monochrome(0, 0, 0, 0);
        pixel->Negative(0, 0, 0, 0);
    }
    return pixel->PGet(0, 0);
}

std::unique_ptr<TXeRGBBits> Screen(int w, int h)
{
    auto bits = std::make_unique<TXeRGBBits>(nullptr);
    bits->SetBitDepth(DisplayBitDepth);
    bits->Resize(w, h);
    EXPECT_TRUE(bits->Create());
    return bits;
}

std::string FirstDifference(TXeRGBBits& a, TXeRGBBits& b, const TXeRect& r)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (a.PGet(x, y) != b.PGet(x, y)) {
                std::ostringstream text;
                text << "(" << x << ", " << y << "): " << std::hex << a.PGet(x, y) << " against " << b.PGet(x, y);
                return text.str();
            }
    return "";
}

StageFixture::StageFixture() : savedRegistry_(MemMan), savedDepth_(DisplayBitDepth)
{
    for (const char* sub : {"EvBG_Pak", "EvCG_Pak", "Data"})
        std::filesystem::create_directory(folder_ / sub);
    savedFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
    MemMan = &registry_;
    DisplayBitDepth = bd32;
    data_.InitDir(folder_.Name() + "Data");
    // The four flakes of 14, 12, 10 and 8 pixels side by side.
    WriteData("Snow.bmp", Bmp24(44, 14, [](int, int) { return 0x404040u; }));
}

StageFixture::~StageFixture()
{
    stage_.reset();
    EXPECT_TRUE(registry_.Records().empty()) << registry_.Records().size() << " objects left in the registry";
    MemMan = savedRegistry_;
    DisplayBitDepth = savedDepth_;
    std::filesystem::current_path(savedFolder_);
}

void StageFixture::WriteBackground(const std::string& name, const Bytes& bytes) const
{
    WriteFile(folder_.Path() / "EvBG_Pak" / name, bytes);
}

void StageFixture::WriteCharacter(const std::string& name, const Bytes& bytes) const
{
    WriteFile(folder_.Path() / "EvCG_Pak" / name, bytes);
}

void StageFixture::WriteData(const std::string& name, const Bytes& bytes) const
{
    WriteFile(folder_.Path() / "Data" / name, bytes);
}

void StageFixture::RemoveData(const std::string& name) const { std::filesystem::remove(folder_.Path() / "Data" / name); }

void StageFixture::PlainBackground(int number, std::uint32_t colour, int alpha) const
{
    const auto value = static_cast<std::uint8_t>(alpha);
    WriteBackground(Format("bg%03d.png", number), Png(640, 480, [colour](int, int) { return colour; },
                                                      alpha >= 0 ? AlphaAt([value](int, int) { return value; }) : nullptr));
}

void StageFixture::PlainCharacter(int number, int w, int h, std::uint32_t colour) const
{
    WriteCharacter(Format("chr%03d.png", number),
                   Png(w, h, [colour](int, int) { return colour; }, [](int, int) { return std::uint8_t{255}; }));
}

void StageFixture::Start()
{
    stage_ = std::make_unique<TStageUnit>(nullptr, random_, config_, system_);
    ASSERT_TRUE(stage_->Initialize(&data_));
}

void StageFixture::Show(int background, int left, int center, int right, int mode)
{
    stage_->SetStageMode(mode);
    stage_->SetBackground(background);
    stage_->SetCharacters(left, center, right, 0);
    stage_->ShowStage(0);
}

int StageFixture::RunToIdle(int limit)
{
    int updates = 0;
    while (stage_->IsChanging() && updates < limit) {
        stage_->Update(1, false);
        ++updates;
    }
    return updates;
}

std::unique_ptr<TXeRGBBits> StageFixture::RenderScene(TXeRGBPanel* scene) const
{
    auto bits = Screen();
    scene->Draw(bits.get(), 0, 0, 0, 0, 640, 480);
    return bits;
}

} // namespace StageTest
