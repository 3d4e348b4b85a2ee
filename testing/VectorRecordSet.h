#pragma once

// A record set held in memory for tests: named, typed fields and rows of
// values. It behaves like the application's tables: open() puts it on
// the first row, next() on the last row sets eof and stays there, and it counts
// opens and moves so that tests can see what a report did to it.

#include "data/RecordSet.h"

#include <QList>
#include <QStringList>
#include <QVariant>

#include <algorithm>

namespace qev::test {

class VectorRecordSet : public RecordSet {
  public:
    struct Field {
        QString name;
        FieldType type = FieldType::String;
    };

    VectorRecordSet(QString name, QList<Field> fields, QList<QVariantList> rows = {})
        : FName(std::move(name)), FFields(std::move(fields)), FRows(std::move(rows)) {}
    // Text fields only.
    VectorRecordSet(QString name, const QStringList& fields, QList<QVariantList> rows = {})
        : FName(std::move(name)), FRows(std::move(rows)) {
        for (const QString& field : fields) FFields.append({field});
    }

    void open() override {
        if (FOpen) return;
        FOpen = true;
        ++Opens;
        FPos = 0;
        FEof = FRows.isEmpty();
        notifyAfterOpen();
    }
    void close() override {
        if (!FOpen) return;
        notifyBeforeClose();
        FOpen = false;
    }
    bool isOpen() const override { return FOpen; }

    void first() override { moveTo(0); }
    void next() override {
        ++Moves;
        if (FPos + 1 >= FRows.size()) {
            FEof = true;
            return;
        }
        moveTo(FPos + 1);
    }
    void prior() override {
        if (FPos > 0) moveTo(FPos - 1);
    }
    void last() override { moveTo(int(FRows.size()) - 1); }
    bool eof() const override { return FEof || FRows.isEmpty(); }
    bool bof() const override { return FRows.isEmpty() || FPos == 0; }
    int recordCount() const override { return int(FRows.size()); }

    QStringList fieldNames() const override {
        QStringList names;
        for (const Field& f : FFields) names << f.name;
        return names;
    }
    FieldType fieldType(const QString& name) const override { return FFields[column(name)].type; }
    QVariant value(const QString& name) const override {
        const int c = column(name);
        if (FPos < 0 || FPos >= FRows.size()) return {};
        return FRows[FPos].value(c);
    }
    // Amounts and dates show as the application's tables show them.
    QString displayText(const QString& name) const override {
        const QVariant v = value(name);
        if (v.isNull()) return {};
        if (fieldType(name) == FieldType::Float) return QString::number(v.toDouble(), 'f', 2);
        return v.toString();
    }

    int position() const override { return FPos; }
    void goTo(int position) override { moveTo(position); }

    int Opens = 0;
    int Moves = 0;

  private:
    int column(const QString& name) const {
        for (int i = 0; i < FFields.size(); ++i)
            if (FFields[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
        throw FieldNotFound(FName, name);
    }
    void moveTo(int position) {
        FPos = std::max(0, std::min(position, int(FRows.size()) - 1));
        FEof = FRows.isEmpty();
        notifyAfterScroll();
    }

    QString FName;
    QList<Field> FFields;
    QList<QVariantList> FRows;
    bool FOpen = false;
    bool FEof = false;
    int FPos = 0;
};

}  // namespace qev::test
