// TCrcCheck: the table-driven, reflected CRC-16 of pack archives (initial value 0xFFFF, no final XOR).
#pragma once

#include <array>
#include <cstdint>

// The polynomial: 0x8408 (the archive's, CRC-16/MCRF4XX) or 0xC001.
enum TCrcType : std::int32_t { ct8408 = 0, ctC001 = 1 };

class TCrcCheck {
public:
    TCrcCheck() { MakeCrcTable(); }
    virtual ~TCrcCheck() = default;

    void SetCrcType(TCrcType type)
    {
        type_ = type;
        MakeCrcTable();
    }
    TCrcType CrcType() const { return type_; }
    void MakeCrcTable();

    // Continues crc over n bytes; n below 1 leaves it as it is.
    unsigned short UpDateCrc(unsigned short crc, const unsigned char* buffer, int n) const;
    // The CRC of n bytes, starting from 0xFFFF.
    unsigned short Crc(const unsigned char* buffer, int n) const { return UpDateCrc(0xFFFF, buffer, n); }

private:
    TCrcType type_ = ct8408;
    // table_[0] is the byte table; table_[k][i] is the CRC of byte i followed by k zero bytes, so
    // eight bytes are taken at a time with one lookup each.
    std::array<std::array<std::uint16_t, 256>, 8> table_{};
};
