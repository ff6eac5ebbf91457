// ZTStream: the byte stream the sound decoders read from, and T2ZTStream, its adapter over a TStream.
#include "sound/ZTStream.h"

#include "platform/classes/Stream.h"

#include <cstdint>

namespace {

// Positions beyond the 32-bit range cannot be expressed; they read as failures.
int Narrow(std::int64_t value) { return value < 0 || value > INT32_MAX ? -1 : static_cast<int>(value); }

} // namespace

int T2ZTStream::Read(void* buffer, int count)
{
    try {
        return count <= 0 ? 0 : stream_->Read(buffer, count);
    } catch (...) {
        return 0;
    }
}

int T2ZTStream::Write(const void* buffer, int count)
{
    try {
        return count <= 0 ? 0 : stream_->Write(buffer, count);
    } catch (...) {
        return 0;
    }
}

int T2ZTStream::Seek(int offset, int origin)
{
    if (origin < 0 || origin > 2)
        return -1;
    try {
        return Narrow(stream_->Seek(offset, static_cast<TSeekOrigin>(origin)));
    } catch (...) {
        return -1;
    }
}

int T2ZTStream::GetSize()
{
    try {
        // Larger streams are reported as the largest size a position can reach.
        const std::int64_t size = stream_->GetSize();
        return size > INT32_MAX ? INT32_MAX : static_cast<int>(size);
    } catch (...) {
        return 0;
    }
}

bool T2ZTStream::SetSize(int size)
{
    try {
        stream_->SetSize(size);
        return true;
    } catch (...) {
        return false;
    }
}

int T2ZTStream::GetPosition()
{
    try {
        return Narrow(stream_->GetPosition());
    } catch (...) {
        return -1;
    }
}

bool T2ZTStream::Rewind() { return Seek(0, 0) == 0; }
