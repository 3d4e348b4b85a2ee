#include "spreadsheet/CsvWriter.h"

#include "format/Currency.h"
#include "spreadsheet/StatementSheet.h"

namespace qev {

namespace {

const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray RecordEnd = QByteArrayLiteral("\r\n");

QByteArray field(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n'))
        bytes = '"' + bytes.replace('"', QByteArrayLiteral("\"\"")) + '"';
    return bytes;
}

QString cellText(const SheetCell& cell) {
    struct Text {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(qint64 n) const { return QString::number(n); }
        QString operator()(Currency c) const { return plainAmount(c); }
        QString operator()(const QDate& d) const { return d.toString(Qt::ISODate); }
        QString operator()(const QString& s) const { return s; }
    };
    return std::visit(Text{}, cell);
}

void appendRecord(QByteArray& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += field(fields[i]);
    }
    out += RecordEnd;
}

}  // namespace

QString plainAmount(Currency amount) {
    QString text = amount.toString();
    const qsizetype point = text.indexOf(u'.');
    if (point < 0) return text + QStringLiteral(".00");
    if (text.size() - point == 2) text += u'0';
    return text;
}

QByteArray statementCsv(const StatementSheet& sheet) {
    QByteArray out = ByteOrderMark;
    QStringList fields;
    for (const SheetColumn& column : SheetColumns) fields << QString::fromUtf8(column.title);
    appendRecord(out, fields);
    for (const SheetRow& row : sheet.rows) {
        fields.clear();
        for (std::size_t c = 0; c < SheetColumns.size(); ++c) fields << cellText(cellOf(row, c));
        appendRecord(out, fields);
    }
    return out;
}

}  // namespace qev
