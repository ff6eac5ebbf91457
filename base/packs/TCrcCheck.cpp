// TCrcCheck: the CRC-16 of pack archives.
#include "base/packs/TCrcCheck.h"

#include <cstring>

void TCrcCheck::MakeCrcTable()
{
    const std::uint16_t polynomial = type_ == ctC001 ? 0xC001 : 0x8408;
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t value = static_cast<std::uint16_t>(i);
        for (int round = 0; round < 8; ++round)
            value = (value & 1) ? static_cast<std::uint16_t>((value >> 1) ^ polynomial) : static_cast<std::uint16_t>(value >> 1);
        table_[0][i] = value;
    }
    for (std::size_t k = 1; k < table_.size(); ++k)
        for (unsigned i = 0; i < 256; ++i)
            table_[k][i] = static_cast<std::uint16_t>((table_[k - 1][i] >> 8) ^ table_[0][table_[k - 1][i] & 0xFF]);
}

unsigned short TCrcCheck::UpDateCrc(unsigned short crc, const unsigned char* buffer, int n) const
{
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, buffer + i, 8);
        word ^= crc;
        crc = static_cast<unsigned short>(table_[7][word & 0xFF] ^ table_[6][(word >> 8) & 0xFF] ^ table_[5][(word >> 16) & 0xFF] ^
                                          table_[4][(word >> 24) & 0xFF] ^ table_[3][(word >> 32) & 0xFF] ^
                                          table_[2][(word >> 40) & 0xFF] ^ table_[1][(word >> 48) & 0xFF] ^ table_[0][word >> 56]);
    }
    for (; i < n; ++i)
        crc = static_cast<unsigned short>(table_[0][(crc ^ buffer[i]) & 0xFF] ^ (crc >> 8));
    return crc;
}
