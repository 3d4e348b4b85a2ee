#include "report/PreparedPageCodec.h"

#include "format/Error.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace qev {

namespace {

quint64 zigzag(qint64 v) {
    return (quint64(v) << 1) ^ quint64(v >> 63);
}
qint64 unzigzag(quint64 v) {
    return qint64(v >> 1) ^ -qint64(v & 1);
}

// Distinct values seldom come back after many others: looking further back
// would only make a table of many values slow to fill.
constexpr std::size_t recentValues = 32;

}  // namespace

// --- Value tables --------------------------------------------------------

template <class T>
int PreparedValueTables::indexOf(const T& value) {
    std::vector<T>& values = std::get<std::vector<T>>(FTables);
    const std::size_t from = values.size() > recentValues ? values.size() - recentValues : 0;
    const auto found = std::find(values.begin() + qsizetype(from), values.end(), value);
    if (found != values.end()) return int(found - values.begin());
    values.push_back(value);
    return int(values.size()) - 1;
}

template <class T>
const T& PreparedValueTables::at(quint64 index) const {
    const std::vector<T>& values = std::get<std::vector<T>>(FTables);
    if (index >= values.size()) PreparedPageReader::damaged();
    return values[std::size_t(index)];
}

template int PreparedValueTables::indexOf(const TfrxFont&);
template int PreparedValueTables::indexOf(const TfrxFrame&);
template int PreparedValueTables::indexOf(const TfrxFormat&);
template int PreparedValueTables::indexOf(const TfrxHighlight&);
template const TfrxFont& PreparedValueTables::at(quint64) const;
template const TfrxFrame& PreparedValueTables::at(quint64) const;
template const TfrxFormat& PreparedValueTables::at(quint64) const;
template const TfrxHighlight& PreparedValueTables::at(quint64) const;

void PreparedValueTables::clear() {
    std::apply([](auto&... tables) { (tables.clear(), ...); }, FTables);
}

// --- Writing -------------------------------------------------------------

void PreparedPageWriter::writeNumber(quint64 value) {
    while (value >= 0x80) {
        FOut.append(char(value | 0x80));
        value >>= 7;
    }
    FOut.append(char(value));
}

void PreparedPageWriter::writeValue(int value) {
    writeNumber(zigzag(value));
}

void PreparedPageWriter::writeValue(double value) {
    FOut.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void PreparedPageWriter::writeValue(const QString& text) {
    // Length times two, plus one when the characters are written as Latin-1.
    const bool latin1 = std::all_of(text.cbegin(), text.cend(),
                                    [](QChar c) { return c.unicode() < 0x100; });
    writeNumber((quint64(text.size()) << 1) | (latin1 ? 1 : 0));
    if (!latin1) {
        FOut.append(reinterpret_cast<const char*>(text.utf16()),
                    text.size() * qsizetype(sizeof(char16_t)));
        return;
    }
    const qsizetype at = FOut.size();
    FOut.resize(at + text.size());
    char* out = FOut.data() + at;
    for (QChar c : text) *out++ = char(c.unicode());
}

void PreparedPageWriter::writeValue(const QStringList& lines) {
    writeNumber(quint64(lines.size()));
    for (const QString& line : lines) writeValue(line);
}

// --- Packing -------------------------------------------------------------

namespace {

// A page's entries are a few kilobytes: a 4 KiB window and a small hash table
// compress them nearly as well as zlib's defaults, without setting up a
// quarter of a megabyte of tables for every page. One per thread, reset for
// every page.
class EntryPacker {
  public:
    EntryPacker() {
        if (deflateInit2(&FStream, 1, Z_DEFLATED, 12, 5, Z_DEFAULT_STRATEGY) != Z_OK)
            throw Error(QStringLiteral("Compression is not available"));
    }
    ~EntryPacker() { deflateEnd(&FStream); }

    QByteArray pack(const QByteArray& data) {
        deflateReset(&FStream);
        FBuffer.resize(deflateBound(&FStream, uLong(data.size())));
        FStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
        FStream.avail_in = uInt(data.size());
        FStream.next_out = FBuffer.data();
        FStream.avail_out = uInt(FBuffer.size());
        if (deflate(&FStream, Z_FINISH) != Z_STREAM_END)
            throw Error(QStringLiteral("Compression failed"));
        return QByteArray(reinterpret_cast<const char*>(FBuffer.data()), qsizetype(FStream.total_out));
    }

  private:
    z_stream FStream{};
    std::vector<Bytef> FBuffer;
};

}  // namespace

QByteArray frxPackEntries(const QByteArray& entries) {
    thread_local EntryPacker packer;
    return packer.pack(entries);
}

QByteArray frxUnpackEntries(const QByteArray& packed, qsizetype size) {
    QByteArray entries(size, Qt::Uninitialized);
    uLongf length = uLongf(size);
    const int rc = uncompress(reinterpret_cast<Bytef*>(entries.data()), &length,
                              reinterpret_cast<const Bytef*>(packed.constData()), uLong(packed.size()));
    if (rc != Z_OK || qsizetype(length) != size) PreparedPageReader::damaged();
    return entries;
}

// --- Reading -------------------------------------------------------------

void PreparedPageReader::damaged() {
    throw Error(QStringLiteral("Prepared page data is damaged"));
}

void PreparedPageReader::need(qsizetype bytes) const {
    if (bytes < 0 || bytes > FData.size() - FPos) damaged();
}

quint64 PreparedPageReader::readNumber() {
    quint64 value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        need(1);
        const quint8 byte = quint8(FData[FPos++]);
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return value;
    }
    damaged();
}

int PreparedPageReader::nextProperty() {
    const quint64 step = readNumber();
    if (step == 0) {
        FLastIndex = -1;
        return -1;
    }
    if (step > quint64(1) << 16) damaged();
    FLastIndex += int(step);
    return FLastIndex;
}

void PreparedPageReader::endProperties(int next) const {
    if (next >= 0) damaged();  // a position beyond the class's list
}

void PreparedPageReader::readValue(bool& value) {
    need(1);
    value = FData[FPos++] != 0;
}

void PreparedPageReader::readValue(int& value) {
    value = int(unzigzag(readNumber()));
}

void PreparedPageReader::readValue(double& value) {
    need(sizeof value);
    std::memcpy(&value, FData.constData() + FPos, sizeof value);
    FPos += sizeof value;
}

void PreparedPageReader::readValue(QString& text) {
    const quint64 header = readNumber();
    const qsizetype length = qsizetype(header >> 1);
    if (header & 1) {
        need(length);
        text = QString::fromLatin1(FData.constData() + FPos, length);
        FPos += length;
        return;
    }
    need(length * 2);
    text.resize(length);
    std::memcpy(text.data(), FData.constData() + FPos, std::size_t(length) * 2);
    FPos += length * 2;
}

void PreparedPageReader::readValue(QStringList& lines) {
    const quint64 count = readNumber();
    need(qsizetype(count));  // at least one byte per line
    lines.clear();
    lines.reserve(qsizetype(count));
    for (quint64 i = 0; i < count; ++i) {
        QString line;
        readValue(line);
        lines.append(std::move(line));
    }
}

}  // namespace qev
