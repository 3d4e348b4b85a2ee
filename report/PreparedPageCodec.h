#pragma once

// The compact form of prepared pages: a page is one byte string of entries,
// each naming its source copy (or its class) and holding only the property
// values that differ from it. Long reports therefore cost a few dozen bytes
// per output band instead of a tree of objects.
//
// A component's differences are a list of (position of the property in its
// class's list, value), closed by 0; positions are written as the step from
// the previous one. Values are written by type: booleans as one byte, whole
// numbers and enumerations as variable-length integers, floats as 8 bytes,
// texts as Latin-1 when they can be, else as UTF-16. Fonts, frames, display
// formats and highlights are kept once in tables shared by the store and
// referred to by index: they differ from the source copy only when a run
// changes them, which is rare.

#include "report/TfrxFont.h"
#include "report/TfrxFormat.h"
#include "report/TfrxFrame.h"
#include "report/TfrxHighlight.h"

#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QStringList>

#include <tuple>
#include <type_traits>
#include <vector>

namespace qev {

// The value objects recorded by index, each distinct value once (as far as a
// look at the recent ones finds it).
class PreparedValueTables {
  public:
    template <class T>
    int indexOf(const T& value);
    template <class T>
    const T& at(quint64 index) const;
    void clear();

  private:
    std::tuple<std::vector<TfrxFont>, std::vector<TfrxFrame>, std::vector<TfrxFormat>,
               std::vector<TfrxHighlight>>
        FTables;
};

class PreparedPageWriter {
  public:
    PreparedPageWriter(QByteArray& out, PreparedValueTables& tables) : FOut(out), FTables(tables) {}

    void writeNumber(quint64 value);
    // A property that differs: its position in the class's list and its value.
    template <class T>
    void writeProperty(int index, const T& value) {
        writeNumber(quint64(index - FLastIndex));
        FLastIndex = index;
        writeValue(value);
    }
    // Closes a component's differences.
    void endProperties() {
        writeNumber(0);
        FLastIndex = -1;
    }

  private:
    void writeValue(bool value) { FOut.append(char(value)); }
    void writeValue(int value);
    void writeValue(double value);
    void writeValue(const QString& text);
    void writeValue(const QStringList& lines);
    template <class E>
        requires std::is_enum_v<E>
    void writeValue(E value) {
        writeValue(int(value));
    }
    template <class E>
    void writeValue(QFlags<E> value) {
        writeValue(int(value.toInt()));
    }
    void writeValue(const TfrxFont& value) { writeNumber(quint64(FTables.indexOf(value))); }
    void writeValue(const TfrxFrame& value) { writeNumber(quint64(FTables.indexOf(value))); }
    void writeValue(const TfrxFormat& value) { writeNumber(quint64(FTables.indexOf(value))); }
    void writeValue(const TfrxHighlight& value) { writeNumber(quint64(FTables.indexOf(value))); }

    QByteArray& FOut;
    PreparedValueTables& FTables;
    int FLastIndex = -1;
};

// A complete page's entries compressed (zlib stream format), and back given
// their size; throws for data that does not give back that many bytes.
QByteArray frxPackEntries(const QByteArray& entries);
QByteArray frxUnpackEntries(const QByteArray& packed, qsizetype size);

class PreparedPageReader {
  public:
    PreparedPageReader(const QByteArray& data, const PreparedValueTables& tables)
        : FData(data), FTables(tables) {}

    bool atEnd() const { return FPos >= FData.size(); }
    quint64 readNumber();
    // Position of the next recorded property, or -1 after the last one.
    int nextProperty();
    // Throws when a component's differences go on past its last property.
    void endProperties(int next) const;

    void readValue(bool& value);
    void readValue(int& value);
    void readValue(double& value);
    void readValue(QString& text);
    void readValue(QStringList& lines);
    template <class E>
        requires std::is_enum_v<E>
    void readValue(E& value) {
        int n = 0;
        readValue(n);
        value = E(n);
    }
    template <class E>
    void readValue(QFlags<E>& value) {
        int n = 0;
        readValue(n);
        value = QFlags<E>::fromInt(n);
    }
    void readValue(TfrxFont& value) { value = FTables.at<TfrxFont>(readNumber()); }
    void readValue(TfrxFrame& value) { value = FTables.at<TfrxFrame>(readNumber()); }
    void readValue(TfrxFormat& value) { value = FTables.at<TfrxFormat>(readNumber()); }
    void readValue(TfrxHighlight& value) { value = FTables.at<TfrxHighlight>(readNumber()); }

    [[noreturn]] static void damaged();

  private:
    void need(qsizetype bytes) const;

    const QByteArray& FData;
    const PreparedValueTables& FTables;
    qsizetype FPos = 0;
    int FLastIndex = -1;
};

}  // namespace qev
