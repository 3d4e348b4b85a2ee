#pragma once

// The compact form of prepared pages: a page is one byte string of entries,
// each naming its source copy (or its class) and holding only the property
// values that differ from it. Long reports therefore cost a few hundred bytes
// per output band instead of a tree of objects.
//
// Values are written by type: booleans as one byte, whole numbers and
// enumerations as variable-length integers, floats as 8 bytes, texts as their
// UTF-16 code units. Values of other types (fonts, frames, formats) are kept
// in a side list shared by the store and referred to by index; they differ
// from the source copy only when a run changes them, which is rare.

#include <QByteArray>
#include <QList>
#include <QMetaProperty>
#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

namespace qev {

class TfrxComponent;

// The properties compared and rebuilt for a component's class, in property
// order: the stored ones, less the data binding (prepared pages are not bound)
// and less the picture of a picture view (kept once in the picture cache).
const QList<QMetaProperty>& frxPreparedProperties(const TfrxComponent* component);
// The values of those properties, read once per source copy.
QList<QVariant> frxPreparedValues(const TfrxComponent* component);
// Writes such values onto a component of the same class, in property order.
void frxWritePreparedValues(TfrxComponent* component, const QList<QVariant>& values);

class PreparedPageWriter {
  public:
    PreparedPageWriter(QByteArray& out, QList<QVariant>& sideValues)
        : FOut(out), FSide(sideValues) {}

    void writeNumber(quint64 value);
    void writeText(const QString& text);
    // The properties of `component` that differ from `reference`, the
    // prepared values of a component of the same class.
    void writeDifferences(const TfrxComponent* component, const QList<QVariant>& reference);

  private:
    void writeValue(const QMetaProperty& property, const QVariant& value);

    QByteArray& FOut;
    QList<QVariant>& FSide;
    std::vector<std::pair<int, QVariant>> FDifferences;
};

class PreparedPageReader {
  public:
    PreparedPageReader(const QByteArray& data, const QList<QVariant>& sideValues)
        : FData(data), FSide(sideValues) {}

    bool atEnd() const { return FPos >= FData.size(); }
    quint64 readNumber();
    QString readText();
    // Writes the recorded differences onto `component`, in property order.
    void applyDifferences(TfrxComponent* component);

  private:
    QVariant readValue(const QMetaProperty& property);
    void need(qsizetype bytes) const;

    const QByteArray& FData;
    const QList<QVariant>& FSide;
    qsizetype FPos = 0;
};

}  // namespace qev
