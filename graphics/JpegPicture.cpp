// JPEG loader: libjpeg with an error manager that jumps back instead of ending the process, and a
// source manager that reads a TStream.
//
// libjpeg reports errors through error_exit, which must not return; ours prints the library's
// message and longjmps to JpegProtected, whose frame holds the jump target. The decoder and the
// blocks live in objects made before each run of libjpeg calls, outside the frames the jump skips.
#include "graphics/JpegPicture.h"

#include "graphics/PictureBlock.h"
#include "graphics/RowConvert.h"
#include "platform/classes/Exception.h"

#include <array>
#include <csetjmp>
#include <cstdio>
#include <vector>

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

    // CMYK and YCCK files come out as CMYK, everything else as blue, green, red triples.
    bool Cmyk() const { return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK; }

    // Decodes every scanline; row(y) gives where scanline y goes and done(y) is called after it
    // arrived.
    template <typename Row, typename Done> bool Decode(Row&& row, Done&& done)
    {
        bool complete = false;
        const bool finished = JpegProtected(err, [&] {
            cinfo.out_color_space = Cmyk() ? JCS_CMYK : JCS_EXT_BGR;
            jpeg_start_decompress(&cinfo);
            if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height ||
                cinfo.output_components != (Cmyk() ? 4 : 3))
                return;
            while (cinfo.output_scanline < cinfo.output_height) {
                const JDIMENSION y = cinfo.output_scanline;
                JSAMPROW target = row(y);
                if (jpeg_read_scanlines(&cinfo, &target, 1) != 1)
                    return;  // only a suspending source stops early, and ours never suspends
                done(y);
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
        const int bytes = PixFormatBytes(format);
        const std::size_t rowBytes = static_cast<std::size_t>(w) * bytes;
        Byte* block = out.Prepare(PictureBytes(static_cast<int>(w), static_cast<int>(h), bytes),
                                  "LoadJpeg32 MemoryAllocError");
        // pf24_888 rows of a colour file are the decoder's own output; the others go through a
        // work row (and CMYK ones through a row of triples as well).
        const bool cmyk = decoder.Cmyk();
        const bool direct = bytes == 3 && !cmyk;
        std::vector<Byte> work(direct ? 0 : static_cast<std::size_t>(w) * (cmyk ? 4 : 3));
        std::vector<Byte> triples(cmyk ? static_cast<std::size_t>(w) * 3 : 0);
        TRowConvert* convert = KernelFor(RGBTRIPLEcpyToTable, format);
        const bool decoded = decoder.Decode(
            [&](JDIMENSION y) { return direct ? block + rowBytes * y : work.data(); },
            [&](JDIMENSION y) {
                if (direct)
                    return;
                const Byte* row = work.data();
                if (cmyk) {
                    CmykToTriples(triples.data(), work.data(), w);
                    row = triples.data();
                }
                convert(block + rowBytes * y, row, w);
            });
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
    try {
        return DecodeJpeg(*stream, pixels, width, height, format);
    } catch (...) {
        return false;
    }
}
