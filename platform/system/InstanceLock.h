// InstanceLock: the single-instance lock, an exclusive advisory lock on a file that only one
// process can hold at a time.
//
// The lock belongs to the open file, so the system releases it when the holder ends in any way,
// a crash included; a stale lock file left behind locks nothing. A second holder in the same
// process fails too (each acquisition opens the file anew). The file itself stays in place.
#pragma once

#include "platform/classes/Stream.h"

#include <filesystem>
#include <memory>

class InstanceLock {
public:
    // Opens (creating when missing) and locks `file` without waiting; null when another holder
    // has it or the file cannot be opened.
    static std::unique_ptr<InstanceLock> Acquire(const std::filesystem::path& file);
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

private:
    explicit InstanceLock(std::unique_ptr<TFileStream> file) : file_(std::move(file)) {}

    std::unique_ptr<TFileStream> file_; // closing the file releases the lock
};
