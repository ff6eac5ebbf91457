// ZTOggStream: the decoder of Ogg Vorbis data into 16-bit signed little-endian PCM.
#include "sound/ZTOggStream.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

// The block never exceeds this, whatever rate the header claims.
constexpr std::uint32_t kMaxBlock = 4u << 20;
// Damaged pages in a row after which the data counts as ended, so a broken file cannot spin.
constexpr int kMaxDecodeErrors = 1000;

// The callbacks run inside vorbisfile: nothing may throw through them.
size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) noexcept
{
    if (size == 0 || count == 0)
        return 0;
    try {
        const size_t bytes = std::min<size_t>(count, INT_MAX / size) * size;
        const int got = static_cast<ZTStream*>(source)->Read(buffer, static_cast<int>(bytes));
        return got > 0 ? static_cast<size_t>(got) / size : 0;
    } catch (...) {
        return 0;
    }
}

int SeekCallback(void* source, ogg_int64_t offset, int origin) noexcept
{
    try {
        auto* stream = static_cast<ZTStream*>(source);
        if (!stream->CanSeek() || offset < INT_MIN || offset > INT_MAX)
            return -1;
        return stream->Seek(static_cast<int>(offset), origin) >= 0 ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

// The source belongs to the caller.
int CloseCallback(void*) noexcept { return 0; }

long TellCallback(void* source) noexcept
{
    try {
        return static_cast<ZTStream*>(source)->GetPosition();
    } catch (...) {
        return -1;
    }
}

// True when every link of the file is one logical stream: a beginning page, then only pages of
// its own serial number until the next link begins. vorbisfile reads grouped (multiplexed)
// streams at opening but its seeking then corrupts libogg's stream state on some of them, so
// such files are refused. Pages are found and checksummed by libogg; damaged bytes are skipped.
bool SingleStreamLinks(ZTStream& source)
{
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    bool single = true;
    bool previousBegins = false;
    long serial = -1;
    for (;;) {
        ogg_page page;
        const int found = ogg_sync_pageout(&sync, &page);
        if (found == 0) {
            constexpr int kRead = 65536;
            char* buffer = ogg_sync_buffer(&sync, kRead);
            const int got = buffer == nullptr ? 0 : source.Read(buffer, kRead);
            if (got <= 0)
                break;
            ogg_sync_wrote(&sync, got);
            continue;
        }
        if (found < 0)
            continue;
        const bool begins = ogg_page_bos(&page) != 0;
        if ((begins && previousBegins) || (!begins && ogg_page_serialno(&page) != serial)) {
            single = false;
            break;
        }
        if (begins)
            serial = ogg_page_serialno(&page);
        previousBegins = begins;
    }
    ogg_sync_clear(&sync);
    return single;
}

} // namespace

ZTOggStream::ZTOggStream(ZTStream* source) : file_(new (std::nothrow) OggVorbis_File{})
{
    source_ = source;
    Open();
}

ZTOggStream::~ZTOggStream() { Close(); }

bool ZTOggStream::Open()
{
    Close();
    if (source_ == nullptr || file_ == nullptr)
        return false;
    // Only a seekable source is ever sought, so only there do grouped streams matter.
    if (source_->CanSeek()) {
        source_->Rewind();
        if (!SingleStreamLinks(*source_))
            return false;
    }
    source_->Rewind();
    const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    if (ov_open_callbacks(source_, file_.get(), nullptr, 0, callbacks) < 0)
        return false;
    fileOpen_ = true;
    const vorbis_info* info = ov_info(file_.get(), -1);
    if (info == nullptr || info->channels <= 0 || info->rate <= 0) {
        Close();
        return false;
    }
    channels_ = static_cast<unsigned>(info->channels);
    samplesPerSec_ = static_cast<unsigned>(info->rate);
    bitsPerSample_ = 16;
    seekable_ = ov_seekable(file_.get()) != 0;
    const ogg_int64_t total = seekable_ ? ov_pcm_total(file_.get(), -1) : -1;
    sizeKnown_ = total >= 0;
    const std::uint64_t frameLimit = INT_MAX / FrameBytes();
    frames_ = static_cast<std::uint32_t>(sizeKnown_ ? std::min<std::uint64_t>(total, frameLimit) : 0);
    size_ = frames_ * FrameBytes();
    std::uint64_t blockBytes = std::uint64_t{samplesPerSec_} * FrameBytes();
    blockBytes = std::clamp<std::uint64_t>(blockBytes, FrameBytes(), kMaxBlock - kMaxBlock % FrameBytes());
    try {
        block_.assign(static_cast<std::size_t>(blockBytes), 0);
    } catch (const std::bad_alloc&) {
        Close();
        return false;
    }
    position_ = blockOffset_ = pending_ = 0;
    endOfData_ = sizeKnown_ && size_ == 0;
    open_ = true;
    return true;
}

void ZTOggStream::Close()
{
    if (fileOpen_)
        ov_clear(file_.get());
    fileOpen_ = false;
    block_ = {};
    open_ = false;
    endOfData_ = true;
}

bool ZTOggStream::DecodeBlock()
{
    for (int errors = 0; errors < kMaxDecodeErrors;) {
        const long got = ov_read(file_.get(), reinterpret_cast<char*>(block_.data()), static_cast<int>(block_.size()),
                                 0, 2, 1, &bitstream_);
        if (got > 0) {
            pending_ = static_cast<std::uint32_t>(got);
            return true;
        }
        if (got == 0)
            return false;
        ++errors;  // a hole or a damaged page: decoding goes on after it
    }
    return false;
}

int ZTOggStream::ReadPcm(void* buffer, int count)
{
    if (!open_ || count <= 0 || buffer == nullptr)
        return 0;
    std::uint32_t n = static_cast<std::uint32_t>(count);
    if (sizeKnown_)
        n = std::min(n, size_ > position_ ? size_ - position_ : 0);
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::uint32_t delivered = std::min(n, pending_);
    std::memcpy(out, block_.data() + blockOffset_, delivered);
    blockOffset_ += delivered;
    pending_ -= delivered;
    while (delivered < n) {
        blockOffset_ = 0;
        if (!DecodeBlock()) {
            endOfData_ = true;
            break;
        }
        const std::uint32_t copied = std::min(pending_, n - delivered);
        std::memcpy(out + delivered, block_.data(), copied);
        delivered += copied;
        blockOffset_ = copied;
        pending_ -= copied;
    }
    position_ += delivered;
    if (sizeKnown_ && position_ >= size_)
        endOfData_ = true;
    return static_cast<int>(delivered);
}

bool ZTOggStream::Restart()
{
    if (!open_)
        return false;
    if (!seekable_ || ov_pcm_seek_page(file_.get(), 0) != 0)
        return Open();
    position_ = blockOffset_ = pending_ = 0;
    endOfData_ = size_ == 0;
    return true;
}

bool ZTOggStream::SeekFrame(int frame)
{
    if (!open_ || frame < 0 || static_cast<std::uint32_t>(frame) > frames_ || !seekable_)
        return false;
    if (static_cast<std::uint32_t>(frame) == frames_) {
        position_ = size_;
        endOfData_ = true;
        return true;
    }
    if (ov_pcm_seek(file_.get(), frame) != 0)
        return false;
    blockOffset_ = pending_ = 0;
    position_ = static_cast<std::uint32_t>(frame) * FrameBytes();
    endOfData_ = false;
    return true;
}
