#include "data/Windows1252.h"

#include <algorithm>
#include <array>

namespace qev {

namespace {

// 0x80..0x9F; the five bytes the code page leaves undefined map to the C1
// controls of the same value, as Windows does.
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encode(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    for (std::size_t i = 0; i < High.size(); ++i)
        if (High[i] == c) return char(0x80 + i);
    return '?';
}

}  // namespace

QByteArray toWindows1252(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    out.truncate(writeWindows1252(text, out.data(), out.size()));
    return out;
}

qsizetype writeWindows1252(QStringView text, char* out, qsizetype room) {
    qsizetype written = 0;
    for (qsizetype i = 0; i < text.size() && written < room; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {  // most of what a statement writes
            out[written++] = char(c.unicode());
            continue;
        }
        // A character outside the basic plane is one '?', not two.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        out[written++] = encode(c.unicode());
    }
    return written;
}

qsizetype writeWindows1252(QLatin1String text, char* out, qsizetype room) {
    const qsizetype length = std::min(text.size(), room);
    for (qsizetype i = 0; i < length; ++i) out[i] = encode(char16_t(text.at(i).unicode()));
    return length;
}

QString fromWindows1252(const char* bytes, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* data = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        data[i] = (b >= 0x80 && b < 0xA0) ? QChar(High[b - 0x80]) : QChar(b);
    }
    return out;
}

}  // namespace qev
