#pragma once
// Windows-1252, the code page of the record files and of RTF's \'hh bytes.
// The five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 controls of the same value, as Windows converts them,
// so that every byte reads as a character and writes back as itself.
#include <QChar>
#include <array>

namespace cp1252
{

// Code points of the bytes 0x80 to 0x9F.
inline constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

inline QChar toUnicode(unsigned char b)
{
    if (b >= 0x80 && b < 0xA0)
        return QChar(kHigh[b - 0x80]);
    return QChar(char16_t(b));
}

// The byte of a character, or -1 when the code page cannot hold it.
inline int fromUnicode(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < int(kHigh.size()); ++i) {
        if (kHigh[i] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace cp1252
