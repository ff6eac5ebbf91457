// TCrcCheck: the CRC-16 of pack archives.
#include "base/TCrcCheck.h"

void TCrcCheck::MakeCrcTable()
{
    const std::uint16_t polynomial = type_ == ctC001 ? 0xC001 : 0x8408;
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t value = static_cast<std::uint16_t>(i);
        for (int round = 0; round < 8; ++round)
            value = (value & 1) ? static_cast<std::uint16_t>((value >> 1) ^ polynomial) : static_cast<std::uint16_t>(value >> 1);
        table_[i] = value;
    }
}

unsigned short TCrcCheck::UpDateCrc(unsigned short crc, const unsigned char* buffer, int n) const
{
    for (int i = 0; i < n; ++i)
        crc = static_cast<unsigned short>(table_[(crc ^ buffer[i]) & 0xFF] ^ (crc >> 8));
    return crc;
}
