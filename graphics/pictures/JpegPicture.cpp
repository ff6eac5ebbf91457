// JPEG loader: libjpeg with an error manager that jumps back instead of ending the process, and a
// source manager that reads a TStream.
//
// libjpeg reports errors through error_exit, which must not return; ours prints the library's
// message and longjmps to JpegProtected, whose frame holds the jump target. The decoder and the
// blocks live in objects made before each run of libjpeg calls, outside the frames the jump skips.
#include "graphics/pictures/JpegPicture.h"

#include "graphics/pictures/PictureBlock.h"
#include "graphics/kernels/RowConvert.h"
#include "platform/classes/Exception.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include <emmintrin.h>
#include <jpeglib.h>

namespace {

using Byte = std::uint8_t;

constexpr int kInputBufferBytes = 4096;

struct TJpegErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer to it is a pointer to this record
    std::jmp_buf jump;
};

[[noreturn]] void Abort(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<TJpegErrorManager*>(cinfo->err)->jump, 1);
}

[[noreturn]] void OnJpegError(j_common_ptr cinfo)
{
    (*cinfo->err->output_message)(cinfo);
    Abort(cinfo);
}

// Runs libjpeg calls; false when they ended in the error exit. The jump skips the frame of
// `step`, which therefore holds no object with a destructor and raises nothing.
template <typename Step> bool JpegProtected(TJpegErrorManager& err, Step&& step)
{
    if (setjmp(err.jump))
        return false;
    step();
    return true;
}

// Source manager over a TStream: the stream is read in runs of up to 4096 bytes; its end inside
// the picture reads as an end-of-image marker, as libjpeg's own file source does.
struct TJpegSource {
    jpeg_source_mgr pub;  // first, so libjpeg's pointer to it is a pointer to this record
    TStream* stream;
    bool startOfFile;
    std::array<JOCTET, kInputBufferBytes> buffer;

    static void Init(j_decompress_ptr cinfo) { Of(cinfo).startOfFile = true; }

    // A stream that raises or is empty from the start ends the decode; later ends insert EOI.
    static boolean Fill(j_decompress_ptr cinfo)
    {
        TJpegSource& self = Of(cinfo);
        int got = -1;
        try {
            got = self.stream->Read(self.buffer.data(), kInputBufferBytes);
        } catch (...) {
            got = -1;
        }
        if (got < 0 || (got == 0 && self.startOfFile))
            Abort(reinterpret_cast<j_common_ptr>(cinfo));
        if (got == 0) {
            self.buffer[0] = 0xFF;
            self.buffer[1] = JPEG_EOI;
            got = 2;
        }
        self.pub.next_input_byte = self.buffer.data();
        self.pub.bytes_in_buffer = static_cast<std::size_t>(got);
        self.startOfFile = false;
        return TRUE;
    }

    static void Skip(j_decompress_ptr cinfo, long count)
    {
        if (count <= 0)
            return;
        jpeg_source_mgr& pub = *cinfo->src;
        auto n = static_cast<std::size_t>(count);
        while (n > pub.bytes_in_buffer) {
            n -= pub.bytes_in_buffer;
            Fill(cinfo);
        }
        pub.next_input_byte += n;
        pub.bytes_in_buffer -= n;
    }

    static void Term(j_decompress_ptr) {}

    static TJpegSource& Of(j_decompress_ptr cinfo) { return *reinterpret_cast<TJpegSource*>(cinfo->src); }
};

// A decompressor with its error and source managers, destroyed on every way out.
class TJpegDecoder {
public:
    explicit TJpegDecoder(TStream& stream)
    {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = OnJpegError;
        source.stream = &stream;
        source.pub.init_source = &TJpegSource::Init;
        source.pub.fill_input_buffer = &TJpegSource::Fill;
        source.pub.skip_input_data = &TJpegSource::Skip;
        source.pub.resync_to_restart = jpeg_resync_to_restart;
        source.pub.term_source = &TJpegSource::Term;
    }
    ~TJpegDecoder() { jpeg_destroy_decompress(&cinfo); }
    TJpegDecoder(const TJpegDecoder&) = delete;
    TJpegDecoder& operator=(const TJpegDecoder&) = delete;

    // Creates the decompressor and reads the header; false when libjpeg refuses.
    bool ReadHeader()
    {
        return JpegProtected(err, [this] {
            jpeg_create_decompress(&cinfo);
            cinfo.src = &source.pub;
            jpeg_read_header(&cinfo, TRUE);
        });
    }

    // CMYK and YCCK files can only come out as CMYK.
    bool Cmyk() const { return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK; }

    // Decodes every scanline into `rows` (TJpegRows): its colour space and row pointers, and
    // its Arrived for each scanline.
    template <typename Rows> bool Decode(Rows& rows)
    {
        bool complete = false;
        const bool finished = JpegProtected(err, [&] {
            cinfo.out_color_space = rows.Space();
            jpeg_start_decompress(&cinfo);
            if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height ||
                cinfo.output_components != rows.Components())
                return;
            while (cinfo.output_scanline < cinfo.output_height) {
                const JDIMENSION y = cinfo.output_scanline;
                const auto [pointers, lines] = rows.From(y);
                const JDIMENSION got = jpeg_read_scanlines(&cinfo, pointers, lines);
                if (got == 0)
                    return;  // only a suspending source stops early, and ours never suspends
                for (JDIMENSION k = 0; k < got; ++k)
                    rows.Arrived(y + k, k);
            }
            jpeg_finish_decompress(&cinfo);
            complete = true;
        });
        return finished && complete;
    }

    jpeg_decompress_struct cinfo{};

private:
    TJpegErrorManager err{};
    TJpegSource source{};
};

// Quads with the decoder's fourth byte (0xFF) to quads whose fourth byte is 0, as converted
// triples carry it. An aligned destination is written with streaming stores: the block is far
// larger than the cache and is not read again while the picture decodes (the decode ends with a
// store fence).
void CopyClearingFourth(Byte* dst, const Byte* src, std::size_t count)
{
    std::size_t i = 0;
    if (reinterpret_cast<std::uintptr_t>(dst) % 16 == 0) {
        const __m128i mask = _mm_set1_epi32(0x00FFFFFF);
        for (; i + 4 <= count; i += 4) {
            const __m128i quads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
            _mm_stream_si128(reinterpret_cast<__m128i*>(dst + 4 * i), _mm_and_si128(quads, mask));
        }
    }
    for (; i < count; ++i) {
        std::uint32_t pixel;
        std::memcpy(&pixel, src + 4 * i, 4);
        pixel &= 0x00FFFFFF;  // little-endian: the fourth byte is the top one
        std::memcpy(dst + 4 * i, &pixel, 4);
    }
}

// CMYK as Adobe applications store it (inverted), to blue, green, red the way djpeg writes it:
// each colour channel scaled by the black channel, rounded.
void CmykToTriples(Byte* dst, const Byte* cmyk, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i, cmyk += 4, dst += 3) {
        const unsigned k = cmyk[3];
        dst[0] = static_cast<Byte>((cmyk[2] * k + 127) / 255);
        dst[1] = static_cast<Byte>((cmyk[1] * k + 127) / 255);
        dst[2] = static_cast<Byte>((cmyk[0] * k + 127) / 255);
    }
}

// Where the decoder's scanlines go and how they reach the block. pf24_888 rows of colour and
// grey files are the decoder's own output, written straight into the block. Every other case goes
// through a band of work rows: blue, green, red and a fourth byte for the 32-bit formats, triples
// for the 16-bit ones, CMYK pixels for CMYK files. The band starts 4 bytes past a 32-byte
// boundary: libjpeg writes aligned rows with non-temporal stores, which would push them out of
// the cache just before they are read back.
class TJpegRows {
public:
    TJpegRows(JDIMENSION width, JDIMENSION height, TPixFormat format, bool cmyk, Byte* block)
        : width_(width), height_(height), bytes_(PixFormatBytes(format)), cmyk_(cmyk), block_(block),
          convert_(KernelFor(RGBTRIPLEcpyToTable, format))
    {
        direct_ = !cmyk && bytes_ == 3;
        const std::size_t rowBytes = static_cast<std::size_t>(width) * Components();
        const JDIMENSION rows = direct_ ? height : std::min(height, kWorkRows);
        Byte* band = nullptr;
        if (!direct_) {
            work_.resize(rowBytes * rows + kBandAlign + kBandSkew);
            triples_.resize(cmyk ? static_cast<std::size_t>(width) * 3 : 0);
            const auto misalign = reinterpret_cast<std::uintptr_t>(work_.data()) % kBandAlign;
            band = work_.data() + (kBandAlign - misalign) % kBandAlign + kBandSkew;
        }
        for (JDIMENSION k = 0; k < rows; ++k)
            pointers_.push_back(direct_ ? block + BlockRowBytes() * k : band + rowBytes * k);
    }

    J_COLOR_SPACE Space() const { return cmyk_ ? JCS_CMYK : bytes_ == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR; }
    int Components() const { return cmyk_ || bytes_ == 4 ? 4 : 3; }

    // The row pointers for scanline y on, and how many there are.
    std::pair<JSAMPARRAY, JDIMENSION> From(JDIMENSION y)
    {
        if (direct_)
            return {pointers_.data() + y, height_ - y};
        return {pointers_.data(), std::min(static_cast<JDIMENSION>(pointers_.size()), height_ - y)};
    }

    // Scanline y arrived in pointer k. Out of line: inlined into the frame that calls setjmp it
    // would be compiled without most optimisations.
    [[gnu::noinline]] void Arrived(JDIMENSION y, JDIMENSION k)
    {
        if (direct_)
            return;
        Byte* target = block_ + BlockRowBytes() * y;
        const Byte* row = pointers_[k];
        if (cmyk_) {
            CmykToTriples(triples_.data(), row, width_);
            row = triples_.data();
        } else if (bytes_ == 4) {
            CopyClearingFourth(target, row, width_);
            return;
        }
        convert_(target, row, width_);
    }

private:
    static constexpr std::size_t kBandAlign = 32;
    static constexpr std::size_t kBandSkew = 4;
    // Rows of the work band: the decoder is asked for as many rows a call as there is room for.
    static constexpr JDIMENSION kWorkRows = 4;

    std::size_t BlockRowBytes() const { return static_cast<std::size_t>(width_) * bytes_; }

    JDIMENSION width_;
    JDIMENSION height_;
    int bytes_;
    bool cmyk_;
    bool direct_ = false;
    Byte* block_;
    TRowConvert* convert_;
    std::vector<Byte> work_;
    std::vector<Byte> triples_;
    std::vector<JSAMPROW> pointers_;
};

bool DecodeJpeg(TStream& stream, unsigned char** pixels, int* width, int* height, TPixFormat format)
{
    TJpegDecoder decoder(stream);
    if (!decoder.ReadHeader())
        return false;
    const JDIMENSION w = decoder.cinfo.image_width;
    const JDIMENSION h = decoder.cinfo.image_height;
    if (!PictureSizeValid(w, h))
        return false;
    TPictureOutput out(pixels);
    if (out.Wanted()) {
        Byte* block = out.Prepare(PictureBytes(static_cast<int>(w), static_cast<int>(h), PixFormatBytes(format)),
                                  "LoadJpeg32 MemoryAllocError");
        TJpegRows rows(w, h, format, decoder.Cmyk(), block);
        const bool decoded = decoder.Decode(rows);
        _mm_sfence();  // the streaming stores reach memory before the block is handed on
        if (!decoded)
            return false;
        out.Commit();
    }
    if (width)
        *width = static_cast<int>(w);
    if (height)
        *height = static_cast<int>(h);
    return true;
}

}  // namespace

bool LoadJpeg(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format)
{
    if (!LoaderFormatValid(format))
        return false;
    return StreamGuarded(stream, [&](TStream& s) { return DecodeJpeg(s, pixels, width, height, format); });
}
