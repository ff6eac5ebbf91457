#include "ShellTestSupport.h"

#include "graphics/pictures/GnyPicture.h"
#include "graphics/pictures/PngPicture.h"
#include "support/BmpFile.h"
#include "platform/classes/Stream.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>

namespace shelltest {

namespace {

void PutLE(Bytes& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutPixel(Bytes& out, int x, int y)
{
    const std::uint32_t colour = PatternColour(x, y);
    out.push_back(static_cast<std::uint8_t>(colour));
    out.push_back(static_cast<std::uint8_t>(colour >> 8));
    out.push_back(static_cast<std::uint8_t>(colour >> 16));
}

} // namespace

ScopedGlobals::ScopedGlobals(TBitDepth displayDepth)
    : registry_(std::make_unique<TMemMan>(nullptr)), savedRegistry_(MemMan), savedDepth_(DisplayBitDepth)
{
    MemMan = registry_.get();
    DisplayBitDepth = displayDepth;
}

ScopedGlobals::~ScopedGlobals()
{
    MemMan = savedRegistry_;
    DisplayBitDepth = savedDepth_;
}

std::uint32_t PatternColour(int x, int y)
{
    return 0xC80000u | static_cast<std::uint32_t>((y * 10) & 0xFF) << 8 | static_cast<std::uint32_t>((x * 10) & 0xFF);
}

Bytes BmpOfPattern(int width, int height) { return TestSupport::Bmp24(width, height, PatternColour); }

Bytes PngOfPattern(int width, int height, bool withAlpha)
{
    Bytes pixels, alpha;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            PutPixel(pixels, x, y);
            alpha.push_back(static_cast<std::uint8_t>(255 - x));
        }
    TMemoryStream stream;
    const bool saved = withAlpha ? SavePng(&stream, pixels.data(), alpha.data(), width, height, pf24_888)
                                 : SavePng(&stream, pixels.data(), width, height, pf24_888);
    if (!saved)
        return {};
    return Bytes(stream.Memory(), stream.Memory() + stream.GetSize());
}

Bytes GnyOfPattern(int width, int height, const unsigned char* table)
{
    Bytes out;
    PutLE(out, static_cast<std::uint32_t>(width), 4);
    PutLE(out, static_cast<std::uint32_t>(height), 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            PutPixel(out, x, y);
    GnyScramble(out.data(), out.size(), 0, table);
    return out;
}

Bytes OggOfSine(double seconds, double hz)
{
    constexpr int kRate = 44100;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, kRate, 0.3f) != 0)
        return {};
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    Bytes out;
    ogg_page page;
    const auto writePage = [&out](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    while (ogg_stream_flush(&stream, &page) != 0)
        writePage(page);

    const long frames = std::lround(seconds * kRate);
    constexpr long kChunk = 1024;
    for (long done = 0;; done += kChunk) {
        // The last round writes nothing, which ends the stream.
        const long count = std::min(kChunk, frames - done);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (long i = 0; i < count; ++i) {
                const float v = 0.5f * static_cast<float>(std::sin(2 * M_PI * hz * static_cast<double>(done + i) / kRate));
                buffer[0][i] = v;
                buffer[1][i] = v;
            }
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(std::max(count, 0L)));
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                    writePage(page);
            }
        }
        if (count <= 0)
            break;
    }
    while (ogg_stream_flush(&stream, &page) != 0)
        writePage(page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace shelltest
