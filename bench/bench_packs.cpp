// Reading a 32 MB archive of mixed entries (stored, LZ, block-sorting, inverted) entry by entry
// through XeMakeStream, next to reading the same bytes as plain files through the file manager;
// and the same files packed with one method each, to show what each entry type costs.
// MB/s count the decoded bytes.
#include "base/packs/TFileMan.h"
#include "base/packs/TXePack.h"
#include "tests/base/CodecCorpus.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using CodecCorpus::Bytes;

struct Sample {
    std::filesystem::path root;
    AnsiString folder;  // the plain files
    AnsiString archive; // the same files packed, each with the method that suits it
    std::vector<AnsiString> names;
    std::int64_t plainBytes = 0;

    // The plain files packed again with one method.
    AnsiString PackedWith(int method) const
    {
        const AnsiString name = FileSystem::FromNative(root / ("method" + std::to_string(method) + ".pak"));
        if (!FileSystem::IsFile(name)) {
            TXePack writer(nullptr);
            writer.SetReadOnly(false);
            writer.NewPack(name.c_str());
            for (const AnsiString& entry : names)
                writer.AddFile(entry.c_str(), (folder + entry).c_str(), method, false);
            writer.EndPack();
        }
        return name;
    }

    Sample()
    {
        root = std::filesystem::temp_directory_path() / ("xe_bench_packs_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "files");
        folder = FileSystem::FromNative(root / "files") + "\\";
        archive = FileSystem::FromNative(root / "data.pak");
        TXePack writer(nullptr);
        writer.SetReadOnly(false);
        writer.NewPack(archive.c_str());
        // Kinds of content with the method a game would pick for them.
        struct Kind {
            Bytes (*make)(std::size_t, std::uint32_t);
            int method;
        };
        const Kind kinds[] = {{CodecCorpus::Text, 1}, {CodecCorpus::Binary, 2}, {CodecCorpus::Random, 0},
                              {CodecCorpus::Runs, 1}, {CodecCorpus::Text, 4},   {CodecCorpus::Binary, 3}};
        for (std::uint32_t i = 0; writer.Header().DataSize < (32u << 20); ++i) {
            const Kind& kind = kinds[i % std::size(kinds)];
            const Bytes bytes = kind.make(256 * 1024 + (i * 77777) % (1536 * 1024), i);
            const AnsiString name = "entry" + std::to_string(i) + ".dat";
            std::ofstream(root / "files" / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            FileSystem::NoteChanged(root / "files" / name);
            writer.AddFile(name.c_str(), (folder + name).c_str(), kind.method, true);
            names.push_back(name);
            plainBytes += static_cast<std::int64_t>(bytes.size());
        }
        writer.EndPack();
    }
    ~Sample() { std::filesystem::remove_all(root); }
};

const Sample& TheSample()
{
    static const Sample sample;
    return sample;
}

void Report(benchmark::State& state, std::int64_t read, std::int64_t stored)
{
    state.SetBytesProcessed(state.iterations() * TheSample().plainBytes);
    state.counters["entries"] = static_cast<double>(TheSample().names.size());
    state.counters["stored"] = static_cast<double>(stored);
    if (read != TheSample().plainBytes)
        state.SkipWithError("not every byte was read");
}

// Opens the archive and makes a stream of every entry, as the game's data file manager does.
// method -1 is the mixed archive.
void ReadPack(benchmark::State& state, int method, TCrcMode mode)
{
    const Sample& sample = TheSample();
    const AnsiString archive = method < 0 ? sample.archive : sample.PackedWith(method);
    std::int64_t read = 0;
    for (auto _ : state) {
        read = 0;
        TXePack pack(nullptr);
        pack.SetCrcMode(mode);
        if (!pack.LoadPack(archive.c_str()))
            state.SkipWithError("archive does not open");
        for (const AnsiString& name : sample.names) {
            std::unique_ptr<TStream> stream(pack.XeMakeStream(name.c_str()));
            read += stream ? stream->GetSize() : 0;
        }
    }
    Report(state, read, static_cast<std::int64_t>(std::filesystem::file_size(FileSystem::NativePath(archive))));
}

// The same bytes from plain files through the file manager in folder mode, read whole.
void ReadFiles(benchmark::State& state)
{
    const Sample& sample = TheSample();
    std::int64_t read = 0;
    for (auto _ : state) {
        read = 0;
        TFileMan man(nullptr);
        man.InitDir(sample.folder);
        for (const AnsiString& name : sample.names) {
            TStream* stream = man.Open(name);
            if (stream == nullptr)
                continue;
            TMemoryStream contents;
            contents.LoadFromStream(*stream);
            read += contents.GetSize();
            man.Close(stream);
        }
    }
    Report(state, read, sample.plainBytes);
}

BENCHMARK(ReadFiles)->Name("Read/files")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/mixed, -1, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/mixed/eachfile, -1, cmEachFile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/mixed/packall, -1, cmPackAll)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/stored, 0, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/tovanu, 1, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/brisane, 2, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/inverted, 3, cmNon)->Unit(benchmark::kMillisecond);

} // namespace
