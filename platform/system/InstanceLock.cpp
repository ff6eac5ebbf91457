// InstanceLock: the single-instance lock on a file.
#include "platform/system/InstanceLock.h"

#include "platform/classes/Exception.h"
#include "platform/fs/FileSystem.h"

std::unique_ptr<InstanceLock> InstanceLock::Acquire(const std::filesystem::path& file)
{
    try {
        // Of two processes that make a missing file at once, the one refused the creation quits.
        auto stream = std::make_unique<TFileStream>(FileSystem::FromNative(file),
                                                    std::filesystem::exists(file) ? fmOpenReadWrite : fmCreateExclusive);
        if (!stream->TryLockExclusive())
            return nullptr;
        return std::unique_ptr<InstanceLock>(new InstanceLock(std::move(stream)));
    } catch (const EStreamError&) {
        return nullptr;
    }
}
