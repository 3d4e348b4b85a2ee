#include "report/PreparedPageCodec.h"

#include "format/Error.h"
#include "report/TfrxComponent.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxPictureView.h"

#include <QHash>
#include <QStringList>

#include <cstring>
#include <utility>
#include <vector>

namespace qev {

namespace {

enum ValueTag : quint8 {
    tagFalse,
    tagTrue,
    tagInt,
    tagEnum,
    tagDouble,
    tagText,
    tagTextList,
    tagBytes,
    tagOther
};

bool excluded(const TfrxComponent* component, const char* name) {
    if (!std::strcmp(name, "DataSetName") || !std::strcmp(name, "DataField")) return true;
    return qobject_cast<const TfrxPictureView*>(component) && !std::strcmp(name, "Picture");
}

int enumNumber(const QVariant& value) {
    int n = 0;
    std::memcpy(&n, value.constData(), std::min<qsizetype>(sizeof n, value.metaType().sizeOf()));
    return n;
}

bool sameValue(const QMetaProperty& property, const QVariant& a, const QVariant& b) {
    if (property.isEnumType()) return enumNumber(a) == enumNumber(b);
    return a == b;
}

quint64 zigzag(qint64 v) {
    return (quint64(v) << 1) ^ quint64(v >> 63);
}
qint64 unzigzag(quint64 v) {
    return qint64(v >> 1) ^ -qint64(v & 1);
}

}  // namespace

const QList<QMetaProperty>& frxPreparedProperties(const TfrxComponent* component) {
    // One list per class; main thread only, like every report object.
    static QHash<const QMetaObject*, QList<QMetaProperty>> cache;
    const QMetaObject* mo = component->metaObject();
    auto it = cache.find(mo);
    if (it != cache.end()) return *it;
    QList<QMetaProperty> list;
    for (int i = QObject::staticMetaObject.propertyCount(); i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (p.isWritable() && p.isStored() && component->IsStoredProperty(p.name()) &&
            !excluded(component, p.name()))
            list.append(p);
    }
    return *cache.insert(mo, list);
}

namespace {

// Where Font and ParentFont stand in a class's prepared properties (-1: absent).
std::pair<int, int> fontPropertyIndexes(const TfrxComponent* component) {
    static QHash<const QMetaObject*, std::pair<int, int>> cache;
    const QMetaObject* mo = component->metaObject();
    if (const auto it = cache.constFind(mo); it != cache.constEnd()) return *it;
    std::pair<int, int> indexes{-1, -1};
    const QList<QMetaProperty>& properties = frxPreparedProperties(component);
    for (int i = 0; i < properties.size(); ++i) {
        if (!std::strcmp(properties[i].name(), "Font")) indexes.first = i;
        if (!std::strcmp(properties[i].name(), "ParentFont")) indexes.second = i;
    }
    return *cache.insert(mo, indexes);
}

}  // namespace

QList<QVariant> frxPreparedValues(const TfrxComponent* component) {
    QList<QVariant> values;
    for (const QMetaProperty& p : frxPreparedProperties(component))
        values.append(p.read(component));
    return values;
}

void frxWritePreparedValues(TfrxComponent* component, const QList<QVariant>& values) {
    const QList<QMetaProperty>& properties = frxPreparedProperties(component);
    for (qsizetype i = 0; i < properties.size() && i < values.size(); ++i)
        properties[i].write(component, values[i]);
}

// --- Writing -------------------------------------------------------------

void PreparedPageWriter::writeNumber(quint64 value) {
    while (value >= 0x80) {
        FOut.append(char(value | 0x80));
        value >>= 7;
    }
    FOut.append(char(value));
}

void PreparedPageWriter::writeText(const QString& text) {
    writeNumber(quint64(text.size()));
    FOut.append(reinterpret_cast<const char*>(text.utf16()),
                text.size() * qsizetype(sizeof(char16_t)));
}

void PreparedPageWriter::writeValue(const QMetaProperty& property, const QVariant& value) {
    if (property.isEnumType()) {
        FOut.append(char(tagEnum));
        writeNumber(zigzag(enumNumber(value)));
        return;
    }
    switch (property.metaType().id()) {
        case QMetaType::Bool:
            FOut.append(char(value.toBool() ? tagTrue : tagFalse));
            return;
        case QMetaType::Int:
            FOut.append(char(tagInt));
            writeNumber(zigzag(value.toInt()));
            return;
        case QMetaType::Double: {
            FOut.append(char(tagDouble));
            const double d = value.toDouble();
            FOut.append(reinterpret_cast<const char*>(&d), sizeof d);
            return;
        }
        case QMetaType::QString:
            FOut.append(char(tagText));
            writeText(value.toString());
            return;
        case QMetaType::QStringList: {
            FOut.append(char(tagTextList));
            const QStringList lines = value.toStringList();
            writeNumber(quint64(lines.size()));
            for (const QString& line : lines) writeText(line);
            return;
        }
        case QMetaType::QByteArray: {
            FOut.append(char(tagBytes));
            const QByteArray bytes = value.toByteArray();
            writeNumber(quint64(bytes.size()));
            FOut.append(bytes);
            return;
        }
        default:
            FOut.append(char(tagOther));
            writeNumber(quint64(FSide.size()));
            FSide.append(value);
    }
}

void PreparedPageWriter::writeDifferences(const TfrxComponent* component,
                                          const QList<QVariant>& reference) {
    const QList<QMetaProperty>& properties = frxPreparedProperties(component);
    const auto [fontIndex, parentFontIndex] = fontPropertyIndexes(component);
    FDifferences.clear();
    bool fontDiffers = false;
    static const QVariant missing;
    for (int i = 0; i < properties.size(); ++i) {
        const QMetaProperty& p = properties[i];
        QVariant value = p.read(component);
        // Assigning a font turns ParentFont off when read back, so a changed
        // font always carries its ParentFont with it.
        const QVariant& before = i < reference.size() ? reference[i] : missing;
        if (!(i == parentFontIndex && fontDiffers) && sameValue(p, value, before)) continue;
        if (i == fontIndex) fontDiffers = true;
        FDifferences.emplace_back(i, std::move(value));
    }
    const auto& differences = FDifferences;
    writeNumber(differences.size());
    for (const auto& [index, value] : differences) {
        writeNumber(quint64(index));
        writeValue(properties[index], value);
    }
}

// --- Reading -------------------------------------------------------------

void PreparedPageReader::need(qsizetype bytes) const {
    if (FPos + bytes > FData.size()) throw Error(QStringLiteral("Prepared page data is damaged"));
}

quint64 PreparedPageReader::readNumber() {
    quint64 value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        need(1);
        const quint8 byte = quint8(FData[FPos++]);
        value |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return value;
    }
    throw Error(QStringLiteral("Prepared page data is damaged"));
}

QString PreparedPageReader::readText() {
    const qsizetype length = qsizetype(readNumber());
    need(length * 2);
    QString text(length, Qt::Uninitialized);
    std::memcpy(text.data(), FData.constData() + FPos, size_t(length) * 2);
    FPos += length * 2;
    return text;
}

QVariant PreparedPageReader::readValue(const QMetaProperty& property) {
    need(1);
    const auto tag = ValueTag(FData[FPos++]);
    switch (tag) {
        case tagFalse:
            return false;
        case tagTrue:
            return true;
        case tagInt:
            return int(unzigzag(readNumber()));
        case tagEnum: {
            const int n = int(unzigzag(readNumber()));
            return QVariant(property.metaType(), &n);
        }
        case tagDouble: {
            need(sizeof(double));
            double d = 0;
            std::memcpy(&d, FData.constData() + FPos, sizeof d);
            FPos += sizeof d;
            return d;
        }
        case tagText:
            return readText();
        case tagTextList: {
            QStringList lines;
            const quint64 count = readNumber();
            for (quint64 i = 0; i < count; ++i) lines.append(readText());
            return lines;
        }
        case tagBytes: {
            const qsizetype length = qsizetype(readNumber());
            need(length);
            QByteArray bytes(FData.constData() + FPos, length);
            FPos += length;
            return bytes;
        }
        case tagOther: {
            const quint64 index = readNumber();
            if (index >= quint64(FSide.size())) break;
            return FSide[qsizetype(index)];
        }
    }
    throw Error(QStringLiteral("Prepared page data is damaged"));
}

void PreparedPageReader::applyDifferences(TfrxComponent* component) {
    const QList<QMetaProperty>& properties = frxPreparedProperties(component);
    const quint64 count = readNumber();
    for (quint64 i = 0; i < count; ++i) {
        const quint64 index = readNumber();
        if (index >= quint64(properties.size()))
            throw Error(QStringLiteral("Prepared page data is damaged"));
        const QMetaProperty& p = properties[qsizetype(index)];
        p.write(component, readValue(p));
    }
}

}  // namespace qev
