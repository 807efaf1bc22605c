#pragma once
// Builds small EMF and WMF files in memory from libUEMF's record makers, so
// the tests know exactly which shapes a picture holds.

#include <uemf.h>
#include <uwmf.h>

#include <QByteArray>
#include <QRect>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace zvtest {

inline void Put32(QByteArray& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
}
inline void Put16(QByteArray& b, int at, uint16_t v) {
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}

// A bitmap info header with no colour table followed by the given rows, bottom row first.
inline QByteArray Dib(int width, int height, int bitCount, const QByteArray& rows) {
    QByteArray dib(40, '\0');
    Put32(dib, 0, 40);
    Put32(dib, 4, uint32_t(width));
    Put32(dib, 8, uint32_t(height));
    Put16(dib, 12, 1);
    Put16(dib, 14, uint16_t(bitCount));
    return dib + rows;
}

// A font record of the given character height in logical units (negative:
// without internal leading) and average character width (0: the face's own).
inline char* EmfFont(uint32_t handle, int height, int width = 0) {
    uint16_t face[U_LF_FACESIZE] = {'S', 'a', 'n', 's', 0};
    const U_LOGFONT font = logfont_set(height, width, 0, 0, 400, 0, 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0, face);
    return U_EMREXTCREATEFONTINDIRECTW_set(handle, reinterpret_cast<const char*>(&font), nullptr);
}

// EXTTEXTOUTW of a UTF-16 text, every character advanced by the same width.
inline char* EmfText(U_POINTL at, const std::u16string& text, uint32_t options, U_RECTL rect,
                     uint32_t advance = 60) {
    std::vector<uint32_t> dx(text.size(), advance);
    std::u16string copy = text;
    char* body = emrtext_set(at, uint32_t(text.size()), 2, copy.data(), options, rect, dx.data());
    char* record =
        U_EMREXTTEXTOUTW_set(U_RECTL{0, 0, 0, 0}, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(body));
    std::free(body);
    return record;
}

class EmfBuilder {
  public:
    // frame in 0.01 mm; the reference device has the given pixels per millimetre.
    EmfBuilder(QRect boundsPx, QRect frame, int pxPerMm = 10) {
        const U_RECTL bounds{boundsPx.left(), boundsPx.top(), boundsPx.right(), boundsPx.bottom()};
        const U_RECTL fr{frame.left(), frame.top(), frame.right(), frame.bottom()};
        Add(U_EMRHEADER_set(bounds, fr, nullptr, 0, nullptr, U_SIZEL{254 * pxPerMm, 254 * pxPerMm},
                            U_SIZEL{254, 254}, 0));
    }
    // Takes a record made by libUEMF and frees it.
    EmfBuilder& Add(char* record) {
        uint32_t size;
        std::memcpy(&size, record + 4, 4);
        data_.append(record, qsizetype(size));
        std::free(record);
        ++records_;
        return *this;
    }
    EmfBuilder& AddRaw(const QByteArray& record) {
        data_.append(record);
        ++records_;
        return *this;
    }
    QByteArray Finish() {
        QByteArray eof(20, '\0');
        Put32(eof, 0, U_EMR_EOF);
        Put32(eof, 4, 20);
        Put32(eof, 12, 16);
        Put32(eof, 16, 20);
        AddRaw(eof);
        Put32(data_, 48, uint32_t(data_.size()));
        Put32(data_, 52, records_);
        return data_;
    }

  private:
    QByteArray data_;
    uint32_t records_ = 0;
};

class WmfBuilder {
  public:
    // placeable: the bounding box in logical units and their units per inch.
    explicit WmfBuilder(std::optional<QRect> box = std::nullopt, int unitsPerInch = 1440) {
        if (box) {
            QByteArray p(22, '\0');
            Put32(p, 0, 0x9AC6CDD7);
            Put16(p, 6, uint16_t(box->left()));
            Put16(p, 8, uint16_t(box->top()));
            Put16(p, 10, uint16_t(box->right()));
            Put16(p, 12, uint16_t(box->bottom()));
            Put16(p, 14, uint16_t(unitsPerInch));
            uint16_t sum = 0;
            for (int i = 0; i < 10; ++i) sum ^= uint16_t(uint8_t(p[i * 2]) | uint8_t(p[i * 2 + 1]) << 8);
            Put16(p, 20, sum);
            data_ = p;
        }
        headerAt_ = int(data_.size());
        QByteArray h(18, '\0');
        Put16(h, 0, 1);
        Put16(h, 2, 9);
        Put16(h, 4, 0x0300);
        Put16(h, 10, 16);  // objects
        data_.append(h);
    }
    WmfBuilder& Add(char* record) {
        uint32_t words;
        std::memcpy(&words, record, 4);
        data_.append(record, qsizetype(words) * 2);
        std::free(record);
        maxRecord_ = std::max(maxRecord_, words);
        return *this;
    }
    QByteArray Finish() {
        Add(U_WMREOF_set());
        Put32(data_, headerAt_ + 6, uint32_t((data_.size() - headerAt_) / 2));
        Put32(data_, headerAt_ + 12, maxRecord_);
        return data_;
    }

  private:
    QByteArray data_;
    int headerAt_ = 0;
    uint32_t maxRecord_ = 0;
};

}  // namespace zvtest
