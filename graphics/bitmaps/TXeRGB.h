// TXeRGB: the three-byte colour value (blue, green, red in memory), its XeRGB factories, and the
// Windows quad and triple records that rows and palettes are made of.
#pragma once

#include <cstdint>

// Four bytes: blue, green, red, reserved (alpha where a layout has one).
struct tagRGBQUAD {
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
    friend bool operator==(const tagRGBQUAD&, const tagRGBQUAD&) = default;
};
static_assert(sizeof(tagRGBQUAD) == 4);

// Three bytes: blue, green, red.
struct tagRGBTRIPLE {
    std::uint8_t rgbtBlue = 0;
    std::uint8_t rgbtGreen = 0;
    std::uint8_t rgbtRed = 0;
};
static_assert(sizeof(tagRGBTRIPLE) == 3);

// A colour: an array of TXeRGB is a pf24_888 row. Packed colours are 0x00RRGGBB.
struct TXeRGB {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;

    constexpr TXeRGB() = default;
    constexpr TXeRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) : Blue(blue), Green(green), Red(red) {}
    // The reserved byte of the quad is ignored.
    constexpr TXeRGB(const tagRGBQUAD& q) : Blue(q.rgbBlue), Green(q.rgbGreen), Red(q.rgbRed) {}
    // Bits 31-24 of the packed colour are ignored.
    constexpr TXeRGB(std::uint32_t c)
        : Blue(static_cast<std::uint8_t>(c)), Green(static_cast<std::uint8_t>(c >> 8)), Red(static_cast<std::uint8_t>(c >> 16))
    {
    }

    constexpr tagRGBQUAD ToRGBQUAD() const { return {Blue, Green, Red, 0}; }
    constexpr std::uint32_t ToDWORD() const
    {
        return (std::uint32_t{Red} << 16) | (std::uint32_t{Green} << 8) | Blue;
    }
    friend constexpr bool operator==(const TXeRGB&, const TXeRGB&) = default;
};
static_assert(sizeof(TXeRGB) == 3, "TXeRGB rows are pf24_888 rows");

constexpr TXeRGB XeRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) { return {red, green, blue}; }
constexpr TXeRGB XeRGB(const tagRGBQUAD& q) { return TXeRGB(q); }
constexpr TXeRGB XeRGB(std::uint32_t c) { return TXeRGB(c); }
