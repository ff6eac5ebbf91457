#include "tools/samplegen/Pictures.h"

#include "tools/samplegen/PictureFiles.h"
#include "tools/samplegen/PictureStyle.h"

#include <cstdio>

namespace samplegen {
namespace {

const PictureDrawer* FindDrawer(std::string_view name)
{
    for (const auto subject : {ShellPictures, AdventurePictures, SongPictures, TransitionPictures})
        for (const PictureDrawer& drawer : subject())
            if (drawer.name == name)
                return &drawer;
    return nullptr;
}

const DataMaker* FindData(std::string_view name)
{
    for (const auto subject : {AdventureData, TransitionData})
        for (const DataMaker& maker : subject())
            if (maker.name == name)
                return &maker;
    return nullptr;
}

bool WriteOne(const SampleStaging& staging, const SampleFile& file)
{
    const std::filesystem::path path = staging.File(file.store, file.name);
    if (file.kind == SampleKind::Data) {
        if (const DataMaker* maker = FindData(file.name))
            return WriteBytes(maker->make(), path);
    } else if (const PictureDrawer* drawer = FindDrawer(file.name)) {
        Canvas canvas(file.width, file.height);
        drawer->draw(canvas);
        return WritePicture(canvas, file.kind, path);
    }
    std::fprintf(stderr, "samplegen: nothing draws %s\n", file.name);
    return false;
}

} // namespace

bool WritePictures(const SampleStaging& staging, const std::filesystem::path&)
{
    bool ok = true;
    for (const SampleFile& file : SampleFiles())
        if (file.maker == SampleMaker::Pictures)
            ok = WriteOne(staging, file) && ok;
    return ok;
}

} // namespace samplegen
