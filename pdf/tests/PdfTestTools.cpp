#include "PdfTestTools.h"

#include <QProcess>
#include <QRegularExpression>

#include <zlib.h>

namespace qev::test {

PdfFileReader::PdfFileReader(QByteArray bytes) : FBytes(std::move(bytes)) {}

QByteArray PdfFileReader::xrefSection() const {
    const qsizetype start = FBytes.lastIndexOf("\r\nxref\r\n") + 2;
    const qsizetype end = FBytes.indexOf("trailer", start);
    return FBytes.mid(start, end - start);
}

QList<qint64> PdfFileReader::xrefOffsets() const {
    QList<qint64> offsets;
    const QList<QByteArray> lines = xrefSection().split('\n');
    for (int i = 3; i < lines.size(); ++i)
        if (lines[i].size() > 10) offsets.append(lines[i].left(10).toLongLong());
    return offsets;
}

int PdfFileReader::size() const {
    const QRegularExpression re(QStringLiteral("/Size (\\d+)"));
    return re.match(QString::fromLatin1(FBytes.mid(FBytes.lastIndexOf("trailer"))))
        .captured(1)
        .toInt();
}

QByteArray PdfFileReader::object(int number) const {
    const QList<qint64> offsets = xrefOffsets();
    if (number < 1 || number > offsets.size()) return {};
    const qint64 start = offsets[number - 1];
    const qsizetype end = FBytes.indexOf("endobj", start);
    return FBytes.mid(start, end + 6 - start);
}

QByteArray PdfFileReader::stream(int number) const {
    const QByteArray text = object(number);
    const QRegularExpression re(QStringLiteral("/Length (\\d+)"));
    const int length =
        re.match(QString::fromLatin1(text.left(text.indexOf("stream")))).captured(1).toInt();
    const qsizetype start = text.indexOf("stream\r\n") + 8;
    const QByteArray data = text.mid(start, length);
    return text.contains("/FlateDecode") ? inflate(data) : data;
}

QList<int> PdfFileReader::objectOrder() const {
    QList<int> order;
    // Walks the xref offsets rather than the raw text, which holds binary streams.
    QMap<qint64, int> byOffset;
    const QList<qint64> offsets = xrefOffsets();
    for (int i = 0; i < offsets.size(); ++i) byOffset.insert(offsets[i], i + 1);
    for (int number : byOffset) order.append(number);
    return order;
}

QByteArray PdfFileReader::allContent() const {
    QByteArray content;
    const QRegularExpression kids(QStringLiteral("/Kids \\[([^\\]]*)\\]"));
    const QString list = kids.match(QString::fromLatin1(object(1))).captured(1);
    const QRegularExpression ref(QStringLiteral("(\\d+) 0 R"));
    for (const auto& match : ref.globalMatch(list)) {
        const QByteArray page = object(match.captured(1).toInt());
        const QRegularExpression contents(QStringLiteral("/Contents (\\d+) 0 R"));
        content += stream(contents.match(QString::fromLatin1(page)).captured(1).toInt());
    }
    return content;
}

QByteArray inflate(const QByteArray& zlibData) {
    QByteArray out;
    z_stream zs{};
    inflateInit(&zs);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zlibData.constData()));
    zs.avail_in = uInt(zlibData.size());
    char buffer[65536];
    int rc = Z_OK;
    do {
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        rc = inflate(&zs, Z_NO_FLUSH);
        out.append(buffer, int(sizeof buffer - zs.avail_out));
    } while (rc == Z_OK);
    inflateEnd(&zs);
    return rc == Z_STREAM_END ? out : QByteArray("<inflate failed>");
}

int runTool(const QString& program, const QStringList& arguments, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) return -1;
    if (output) *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace qev::test
