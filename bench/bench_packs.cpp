// Reading a 32 MB archive of mixed entries (stored, LZ, block-sorting, inverted) entry by entry
// through XeMakeStream, next to reading the same bytes as plain files through the file manager;
// and the same files packed with one method each, to show what each entry type costs.
// MB/s count the decoded bytes. Archives of many small entries show the cost each entry carries:
// read entry by entry per method, and extracted whole into a new folder as `xepack extract` does,
// next to writing the same files directly.
#include "base/packs/TFileMan.h"
#include "base/packs/TXePack.h"
#include "tests/base/CodecCorpus.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
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

// An archive of `count` entries of 3,000 bytes of text, each stored with `method`.
struct SmallEntries {
    std::filesystem::path root;
    AnsiString archive;
    std::vector<AnsiString> names;
    std::vector<Bytes> contents;

    SmallEntries(int count, int method)
    {
        root = std::filesystem::temp_directory_path() /
               ("xe_bench_small_" + std::to_string(::getpid()) + "_" + std::to_string(count) + "_" +
                std::to_string(method));
        std::filesystem::create_directories(root / "files");
        archive = FileSystem::FromNative(root / "small.pak");
        TXePack writer(nullptr);
        writer.SetReadOnly(false);
        writer.NewPack(archive.c_str());
        for (int i = 0; i < count; ++i) {
            const AnsiString name = "small" + std::to_string(i) + ".txt";
            contents.push_back(CodecCorpus::Text(3000, static_cast<std::uint32_t>(i)));
            const std::filesystem::path source = root / "files" / name;
            std::ofstream(source, std::ios::binary)
                .write(reinterpret_cast<const char*>(contents.back().data()),
                       static_cast<std::streamsize>(contents.back().size()));
            FileSystem::NoteChanged(source);
            writer.AddFile(name.c_str(), FileSystem::FromNative(source).c_str(), method, false);
            names.push_back(name);
        }
        writer.EndPack();
    }
    ~SmallEntries() { std::filesystem::remove_all(root); }
};

const SmallEntries& TheSmallEntries(int count, int method)
{
    static std::map<std::pair<int, int>, std::unique_ptr<SmallEntries>> samples;
    auto& sample = samples[{count, method}];
    if (!sample)
        sample = std::make_unique<SmallEntries>(count, method);
    return *sample;
}

// Makes a stream of every small entry; the range is the entry count, the argument the method.
void ReadSmall(benchmark::State& state, int method)
{
    const SmallEntries& sample = TheSmallEntries(static_cast<int>(state.range(0)), method);
    TXePack pack(nullptr);
    if (!pack.LoadPack(sample.archive.c_str()))
        state.SkipWithError("archive does not open");
    std::int64_t read = 0;
    for (auto _ : state) {
        for (const AnsiString& name : sample.names) {
            std::unique_ptr<TStream> stream(pack.XeMakeStream(name.c_str()));
            read += stream ? stream->GetSize() : 0;
        }
    }
    state.SetBytesProcessed(read);
    state.counters["per_entry_us"] = benchmark::Counter(
        static_cast<double>(state.iterations() * static_cast<std::int64_t>(sample.names.size())),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

// A new, empty folder for one extraction.
std::filesystem::path FreshFolder(const SmallEntries& sample)
{
    const std::filesystem::path folder = sample.root / "out";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    FileSystem::NoteChanged(folder);
    return folder;
}

// Extracts every small stored entry into a new folder through the path layer.
void ExtractSmall(benchmark::State& state)
{
    const SmallEntries& sample = TheSmallEntries(static_cast<int>(state.range(0)), 0);
    TXePack pack(nullptr);
    if (!pack.LoadPack(sample.archive.c_str()))
        state.SkipWithError("archive does not open");
    for (auto _ : state) {
        state.PauseTiming();
        const AnsiString folder = FileSystem::FromNative(FreshFolder(sample)) + "\\";
        state.ResumeTiming();
        for (const AnsiString& name : sample.names)
            if (!pack.GetFile((folder + name).c_str(), name.c_str()))
                state.SkipWithError("an entry did not extract");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(sample.names.size()));
}

// The same files written directly with std::ofstream.
void WriteSmall(benchmark::State& state)
{
    const SmallEntries& sample = TheSmallEntries(static_cast<int>(state.range(0)), 0);
    for (auto _ : state) {
        state.PauseTiming();
        const std::filesystem::path folder = FreshFolder(sample);
        state.ResumeTiming();
        for (std::size_t i = 0; i < sample.names.size(); ++i)
            std::ofstream(folder / sample.names[i].c_str(), std::ios::binary)
                .write(reinterpret_cast<const char*>(sample.contents[i].data()),
                       static_cast<std::streamsize>(sample.contents[i].size()));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(sample.names.size()));
}

BENCHMARK(ReadFiles)->Name("Read/files")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/mixed, -1, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/mixed/eachfile, -1, cmEachFile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/mixed/packall, -1, cmPackAll)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/stored, 0, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/tovanu, 1, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/brisane, 2, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadPack, Read/pack/inverted, 3, cmNon)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadSmall, Read/small/stored, 0)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadSmall, Read/small/tovanu, 1)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadSmall, Read/small/brisane, 2)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(ExtractSmall)->Name("Extract/small")->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteSmall)->Name("Extract/small/ofstream")->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

} // namespace
