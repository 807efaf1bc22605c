#pragma once
// Small EMF and WMF files built in memory from libUEMF's record makers, so
// the tests know exactly which shapes a picture holds. The builders take the
// records (malloc'ed, as libUEMF makes them) and free them.

#include <uemf.h>
#include <uwmf.h>

#include <QByteArray>
#include <QRect>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace zvtest {

inline void Put(QByteArray& b, int at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) b[at + i] = char(v >> (8 * i));
}
inline QByteArray With(QByteArray b, int at, uint32_t v) { return Put(b, at, v), b; }

// An EMF record of 32-bit words; the second one, its size, is filled in.
inline char* Raw(std::vector<uint32_t> words) {
    words[1] = uint32_t(words.size() * 4);
    return static_cast<char*>(std::memcpy(std::malloc(words[1]), words.data(), words[1]));
}

// A bitmap info header with no colour table followed by the given rows, bottom row first.
inline QByteArray Dib(int width, int height, int bitCount, const QByteArray& rows,
                      uint32_t compression = U_BI_RGB) {
    const U_BITMAPINFOHEADER header =
        bitmapinfoheader_set(width, height, 1, bitCount, compression, 0, 0, 0, 0, 0);
    return QByteArray(reinterpret_cast<const char*>(&header), sizeof header) + rows;
}

// Appends the records, each of the size size(record) gives, and frees them.
template <typename Size>
QByteArray Join(QByteArray data, const std::vector<char*>& records, Size size) {
    for (char* record : records) {
        data.append(record, qsizetype(size(record)));
        std::free(record);
    }
    return data;
}

// bounds in pixels, frame in 0.01 mm; the reference device has pxPerMm pixels per millimetre.
inline QByteArray Emf(QRect boundsPx, QRect frame, std::vector<char*> records, int pxPerMm = 10) {
    auto rect = [](QRect r) { return U_RECTL{r.left(), r.top(), r.right(), r.bottom()}; };
    records.insert(records.begin(),
                   U_EMRHEADER_set(rect(boundsPx), rect(frame), nullptr, 0, nullptr,
                                   U_SIZEL{254 * pxPerMm, 254 * pxPerMm}, U_SIZEL{254, 254}, 0));
    records.push_back(Raw({U_EMR_EOF, 0, 0, 16, 20}));
    QByteArray data = Join({}, records, [](const char* r) { return qFromLittleEndian<uint32_t>(r + 4); });
    Put(data, 48, uint32_t(data.size()));
    Put(data, 52, uint32_t(records.size()));
    return data;
}

// placeable: the bounding box in logical units, unitsPerInch of them to the inch.
inline QByteArray Wmf(std::optional<QRect> placeable, int unitsPerInch, std::vector<char*> records) {
    QByteArray data;
    if (placeable) {
        const QRect& p = *placeable;  // then the checksum: the first ten words xor'ed
        int w[11] = {0xCDD7, 0x9AC6, 0, p.left(), p.top(), p.right(), p.bottom(), unitsPerInch};
        data = QByteArray(22, '\0');
        for (int i = 0; i < 11; ++i) Put(data, 2 * i, uint32_t(w[i]), 2), w[10] ^= i < 10 ? w[i] & 0xFFFF : 0;
    }
    const int header = int(data.size());
    data.append(QByteArray(18, '\0'));
    Put(data, header, 1, 2), Put(data, header + 2, 9, 2), Put(data, header + 4, 0x0300, 2);
    Put(data, header + 10, 16, 2);  // objects
    records.push_back(U_WMREOF_set());
    uint32_t largest = 0;
    for (char* record : records) largest = std::max(largest, qFromLittleEndian<uint32_t>(record));
    data = Join(data, records, [](const char* r) { return qFromLittleEndian<uint32_t>(r) * 2; });
    Put(data, header + 6, uint32_t((data.size() - header) / 2));
    Put(data, header + 12, largest);
    return data;
}

}  // namespace zvtest
