#include "songgame/SongTree.h"

#include "shell/ShellTestSupport.h"

#include "base/packs/TXePack.h"
#include "platform/fs/FileSystem.h"

#include <fstream>
#include <gtest/gtest.h>

namespace songtest {

namespace {

void PutLE(Bytes& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::string GameToNative(std::string_view gamePath)
{
    std::string path(gamePath);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

} // namespace

SongTree::SongTree() : savedFolder_(FileSystem::CurrentFolder())
{
    FileSystem::SetCurrentFolder(FileSystem::FromNative(folder_.Path()));
}

SongTree::~SongTree() { FileSystem::SetCurrentFolder(savedFolder_); }

std::filesystem::path SongTree::Native(std::string_view gamePath) const { return folder_.Path() / GameToNative(gamePath); }

void SongTree::Write(std::string_view gamePath, const Bytes& bytes) const
{
    const std::filesystem::path path = Native(gamePath);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    FileSystem::NoteChanged(path);
}

void SongTree::WriteText(std::string_view gamePath, std::string_view text) const { Write(gamePath, Bytes(text.begin(), text.end())); }

void SongTree::WriteIdentity(std::string_view location, std::string_view versionLine, std::string_view codeLine,
                             std::string_view title, int lines) const
{
    std::string text;
    const std::string_view given[] = {versionLine, codeLine, title};
    for (int i = 0; i < lines; ++i)
        text += std::string(i < 3 ? given[i] : "-") + "\r\n";
    WriteText(std::string(location) + "\\SONG.ID", text);
}

void SongTree::PackFolder(std::string_view gamePath) const
{
    const std::filesystem::path folder = Native(gamePath);
    TXePack pack(nullptr);
    pack.SetReadOnly(false);
    ASSERT_TRUE(pack.NewPack((std::string(gamePath) + ".pak").c_str()));
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        ASSERT_TRUE(pack.AddFile(name.c_str(), (std::string(gamePath) + "\\" + name).c_str(), 0, false)) << name;
    }
    ASSERT_TRUE(pack.EndPack());
    std::filesystem::remove_all(folder);
    FileSystem::NoteChanged(folder);
}

Bytes WaveOfRamp(int frames)
{
    Bytes out;
    const std::uint32_t data = static_cast<std::uint32_t>(frames) * 4;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLE(out, 36 + data, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLE(out, 16, 4);
    PutLE(out, 1, 2);         // PCM
    PutLE(out, 2, 2);         // stereo
    PutLE(out, 44100, 4);     // frames a second
    PutLE(out, 44100 * 4, 4); // bytes a second
    PutLE(out, 4, 2);         // block
    PutLE(out, 16, 2);        // bits
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLE(out, data, 4);
    for (int i = 0; i < frames; ++i) {
        PutLE(out, static_cast<std::uint32_t>(i * 16), 2);
        PutLE(out, static_cast<std::uint32_t>(i * 16), 2);
    }
    return out;
}

Bytes Png(int width, int height, bool withAlpha) { return shelltest::PngOfPattern(width, height, withAlpha); }

} // namespace songtest
