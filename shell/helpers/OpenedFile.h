// OpenedFile: a file opened through a file manager and closed through it on every way out.
#pragma once

#include "base/packs/TFileMan.h"

class OpenedFile {
public:
    // No file manager opens nothing.
    OpenedFile(TFileMan* files, const AnsiString& name) : files_(files), stream_(files ? files->Open(name) : nullptr) {}
    ~OpenedFile()
    {
        if (stream_ != nullptr)
            files_->Close(stream_);
    }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

    // Null when the file did not open.
    TStream* get() const { return stream_; }

private:
    TFileMan* files_;
    TStream* stream_;
};
