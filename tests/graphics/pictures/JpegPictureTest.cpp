// JPEG loader against the public suites: every file decodes like djpeg (a plain libjpeg decode with
// djpeg's settings, whose verdicts are checked against the recorded djpeg results) or is refused
// where djpeg fails; truncated and raising streams, size-only reads and caller buffers.
#include "graphics/pictures/JpegPicture.h"

#include "tests/graphics/PictureTestSupport.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <jpeglib.h>

using namespace pictest;

namespace {

std::filesystem::path JpegFolder() { return TestData("jpeg"); }

// A decode as djpeg makes it: default output colour space, islow DCT, fancy upsampling; grey is
// widened to equal red, green and blue, CMYK turned into RGB as djpeg's PPM writer does.
struct TReference {
    bool ok = false;
    bool tooLarge = false;  // beyond what our loaders accept: not decoded

    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> quads;  // 0x00RRGGBB, top row first
};

struct TQuietError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void QuietExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<TQuietError*>(cinfo->err)->jump, 1);
}

void QuietMessage(j_common_ptr) {}

std::uint32_t QuadOf(const JSAMPLE* p, int components)
{
    switch (components) {
    case 1: return p[0] * 0x010101u;
    case 3: return std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2];
    default: {
        auto scale = [&](int c) { return static_cast<std::uint32_t>(p[c] * p[3] / 255.0 + 0.5); };
        return scale(0) << 16 | scale(1) << 8 | scale(2);
    }
    }
}

TReference DjpegDecode(const Bytes& file)
{
    TReference r;
    jpeg_decompress_struct cinfo{};
    TQuietError err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = QuietExit;
    err.pub.output_message = QuietMessage;
    std::vector<JSAMPLE> row;
    if (setjmp(err.jump) == 0) {
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
        jpeg_read_header(&cinfo, TRUE);
        r.tooLarge = !PictureSizeValid(cinfo.image_width, cinfo.image_height);
        if (r.tooLarge)
            std::longjmp(err.jump, 1);
        jpeg_start_decompress(&cinfo);
        row.resize(std::size_t{cinfo.output_width} * cinfo.output_components);
        r.quads.reserve(std::size_t{cinfo.output_width} * cinfo.output_height);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW p = row.data();
            jpeg_read_scanlines(&cinfo, &p, 1);
            for (JDIMENSION x = 0; x < cinfo.output_width; ++x)
                r.quads.push_back(QuadOf(&row[x * cinfo.output_components], cinfo.output_components));
        }
        jpeg_finish_decompress(&cinfo);
        r.ok = true;
        r.width = static_cast<int>(cinfo.output_width);
        r.height = static_cast<int>(cinfo.output_height);
    }
    jpeg_destroy_decompress(&cinfo);
    return r;
}

struct TLoaded {
    bool ok = false;
    int width = -1;
    int height = -1;
    Bytes pixels;
};

TLoaded Load(TStream& stream, TPixFormat format)
{
    TLoaded r;
    unsigned char* pixels = nullptr;
    r.ok = LoadJpeg(&stream, &pixels, &r.width, &r.height, format);
    EXPECT_EQ(r.ok, pixels != nullptr);
    if (r.ok)
        r.pixels = Take(pixels, PictureBytes(r.width, r.height, PixFormatBytes(format)));
    return r;
}

TLoaded Load(const Bytes& file, TPixFormat format) { return Load(*StreamOf(file), format); }

// Our decode of `file` in `format` is refused exactly when djpeg's is or the picture is larger
// than the loaders accept, and otherwise equals it.
void ExpectLikeDjpeg(const Bytes& file, const TReference& ref, TPixFormat format)
{
    const TLoaded r = Load(file, format);
    ASSERT_EQ(r.ok, ref.ok) << "format " << int{format};
    if (!r.ok)
        return;
    EXPECT_EQ(r.width, ref.width);
    EXPECT_EQ(r.height, ref.height);
    EXPECT_EQ(FirstDifference(r.pixels, PixelsOf(ref.quads, format), PixFormatBytes(format), r.width), "")
        << "format " << int{format};
}

// The recorded djpeg results: file (relative to the jpeg folder) and exit code (0 clean,
// 1 refused, 2 decoded with warnings).
std::vector<std::pair<std::string, int>> DjpegResults()
{
    std::ifstream in(JpegFolder() / "djpeg-2.1.5-results.tsv");
    std::vector<std::pair<std::string, int>> rows;
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string file;
        int exitCode = -1;
        std::getline(fields, file, '\t');
        fields >> exitCode;
        rows.emplace_back(file, exitCode);
    }
    return rows;
}

// The test picture of the libjpeg suite: 227 x 149, baseline.
Bytes Testorig() { return ReadFileBytes(JpegFolder() / "libjpeg-turbo" / "testorig.jpg"); }

}  // namespace

TEST(JpegPicture, LibjpegSuiteDecodesLikeDjpegInEveryFormat)
{
    XE_SKIP_WITHOUT(JpegFolder());
    int files = 0;
    for (const auto& [name, exitCode] : DjpegResults()) {
        if (name.rfind("libjpeg-turbo/", 0) != 0)
            continue;
        SCOPED_TRACE(name);
        ++files;
        const Bytes file = ReadFileBytes(JpegFolder() / name);
        const TReference ref = DjpegDecode(file);
        ASSERT_EQ(ref.ok, exitCode != 1);
        for (TPixFormat format : kFormats)
            ExpectLikeDjpeg(file, ref, format);
    }
    EXPECT_EQ(files, 7);
}

TEST(JpegPicture, EveryRecordedFileIsDecodedOrRefusedAsDjpegDoes)
{
    XE_SKIP_WITHOUT(JpegFolder());
    int decoded = 0, refused = 0, tooLarge = 0;
    for (const auto& [name, exitCode] : DjpegResults()) {
        SCOPED_TRACE(name);
        const Bytes file = ReadFileBytes(JpegFolder() / name);
        const TReference ref = DjpegDecode(file);
        if (!ref.tooLarge) {
            ASSERT_EQ(ref.ok, exitCode != 1) << "the reference decode disagrees with djpeg";
        }
        for (TPixFormat format : {pf16_565, pf24_888, pf32_8888})
            ExpectLikeDjpeg(file, ref, format);
        ++(ref.tooLarge ? tooLarge : ref.ok ? decoded : refused);
    }
    EXPECT_EQ(decoded + refused + tooLarge, 150);
    // Damaged headers that announce over 16384 rows or columns; djpeg decodes four of the six.
    EXPECT_EQ(tooLarge, 6);
}

TEST(JpegPicture, TestorigIsCloseToItsPpm)
{
    XE_SKIP_WITHOUT(JpegFolder());
    const Bytes ppm = ReadFileBytes(JpegFolder() / "libjpeg-turbo" / "testorig.ppm");
    const TLoaded r = Load(Testorig(), pf24_888);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.width, 227);
    ASSERT_EQ(r.height, 149);
    // The PPM is red, green, blue after a 15-byte "P6\n227 149\n255\n" header.
    const std::size_t pixels = 227 * 149;
    ASSERT_EQ(ppm.size(), 15 + 3 * pixels);
    int worst = 0;
    for (std::size_t i = 0; i < pixels; ++i)
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(int{r.pixels[3 * i + c]} - int{ppm[15 + 3 * i + 2 - c]}));
    // The suite calls the PPM approximate: it comes from another build of the library.
    EXPECT_LE(worst, 4);
}

TEST(JpegPicture, TruncatedFilesEndAsLibjpegEndsThem)
{
    XE_SKIP_WITHOUT(JpegFolder());
    const Bytes whole = Testorig();
    for (std::size_t n : {0, 1, 2, 100, 400, 700, 2000, 4096, 4097, 5000}) {
        SCOPED_TRACE(n);
        const Bytes cut(whole.begin(), whole.begin() + std::min(n, whole.size()));
        ExpectLikeDjpeg(cut, DjpegDecode(cut), pf32_888);
    }
}

TEST(JpegPicture, RaisingStreamsAndBadFormatsGiveFalse)
{
    XE_SKIP_WITHOUT(JpegFolder());
    const Bytes file = Testorig();
    for (std::int64_t limit : {0, 100, 4096, 4097, 6000}) {
        TRaisingStream stream(file, limit);
        EXPECT_FALSE(Load(stream, pf24_888).ok) << limit;
    }
    for (int format : {0, 8}) {
        auto stream = StreamOf(file);
        unsigned char* pixels = nullptr;
        int w = -1;
        EXPECT_FALSE(LoadJpeg(stream.get(), &pixels, &w, nullptr, TPixFormat(format)));
        EXPECT_EQ(stream->GetPosition(), 0);
        EXPECT_EQ(w, -1);
    }
    EXPECT_FALSE(Load(Bytes{}, pf24_888).ok);
}

TEST(JpegPicture, NullStreamIsRefused)
{
    unsigned char* pixels = nullptr;
    int w = -1;
    EXPECT_FALSE(LoadJpeg(nullptr, &pixels, &w, nullptr, pf24_888));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(w, -1);
}

TEST(JpegPicture, SizeOnlyCallerBuffersAndStreamsPositionedInside)
{
    XE_SKIP_WITHOUT(JpegFolder());
    const Bytes file = Testorig();
    int w = 0, h = 0;
    EXPECT_TRUE(LoadJpeg(StreamOf(file).get(), nullptr, &w, &h, pf16_565));
    EXPECT_EQ(w, 227);
    EXPECT_EQ(h, 149);

    const Bytes expected = PixelsOf(DjpegDecode(file).quads, pf16_555);
    Bytes buffer(expected.size() + 8, 0xEE);
    unsigned char* p = buffer.data();
    ASSERT_TRUE(LoadJpeg(StreamOf(file).get(), &p, nullptr, nullptr, pf16_555));
    EXPECT_EQ(p, buffer.data());
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + expected.size()), expected);
    EXPECT_EQ(buffer.back(), 0xEE);

    // The picture is read from the stream's position on.
    Bytes prefixed = {1, 2, 3};
    prefixed.insert(prefixed.end(), file.begin(), file.end());
    auto stream = StreamOf(prefixed);
    stream->SetPosition(3);
    EXPECT_EQ(Load(*stream, pf16_555).pixels, expected);
}
