// TWaterEffect: the ripple of the water transition, read from three precomputed tables (distance of
// every pixel of a screen quarter from the centre, a sine over 256 phase steps, and per amplitude a
// row of pixel offsets), so that no sine or square root is computed while drawing.
#pragma once

#include <cstdint>

class TFileMan;

class TWaterEffect {
public:
    // The tables: 240 rows x 320 columns of u16 distance indices; 256 sine values; 32 amplitude rows
    // of 255 offsets (an entry minus 127 is a pixel offset).
    static constexpr int kDistRows = 240;
    static constexpr int kDistColumns = 320;
    static constexpr int kSinSize = 256;
    static constexpr int kMultiRows = 32;
    static constexpr int kMultiColumns = 255;
    static constexpr const char* kDistFile = "WaterDistTbl.bin";
    static constexpr const char* kSinFile = "WaterSinTbl.bin";
    static constexpr const char* kMultiFile = "WaterMultiTbl.bin";

    TWaterEffect() = default;
    ~TWaterEffect();
    TWaterEffect(const TWaterEffect&) = delete;
    TWaterEffect& operator=(const TWaterEffect&) = delete;

    // When not loaded: allocates the three tables zeroed through the memory registry (EGameErr when
    // that fails) and reads each file that opens into its table, at most the table's size (a short
    // file leaves the rest zero, a missing one the whole table); then counts as loaded.
    void Load(TFileMan* files);
    void Release();
    bool Loaded() const { return FLoaded; }

    // The distorted width x height picture: output pixel (x, y) takes the source pixel moved by the
    // table offset of its distance from the centre, each coordinate clamped to the area. Nothing is
    // drawn unless loaded and the area fits the quarter table around the centre. The amplitude is
    // clamped to 0..31, the phase taken modulo 256. Draw copies 3-byte pixels, Draw32 4-byte ones.
    void Draw(const std::uint8_t* src, int width, int amplitude, int phase, int dstPitch, std::uint8_t* dst,
              int srcPitch, int centreY, int centreX, int height) const;
    void Draw32(const std::uint8_t* src, int width, int amplitude, int phase, int dstPitch, std::uint8_t* dst,
                int srcPitch, int centreY, int centreX, int height) const;

private:
    template <int Bytes>
    void DrawPixels(const std::uint8_t* src, int width, int amplitude, int phase, int dstPitch, std::uint8_t* dst,
                    int srcPitch, int centreY, int centreX, int height) const;
    bool Fits(int width, int height, int centreX, int centreY) const;

    bool FLoaded = false;
    std::uint16_t* FDistTable = nullptr;
    std::uint8_t* FSinTable = nullptr;
    std::uint8_t* FMultiTable = nullptr;
};
