#pragma once

#include "format/Error.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace qev {

// The kind of a field, as grids and report data sets need to know it.
enum class FieldType { String, Integer, Float, Currency, Date, DateTime, Boolean, Blob };

// A cursor over rows that grids and report data sets read: the supplier table,
// the ordered movements query, and test fixtures all present themselves this way.
// Field names are matched ignoring case. Values keep Null as a null QVariant.
class RecordSet {
public:
    virtual ~RecordSet() = default;

    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual void last() = 0;
    // True once next() has moved past the last row (or the set is empty).
    virtual bool eof() const = 0;
    // True once prior() has moved before the first row (or the set is empty).
    virtual bool bof() const = 0;
    virtual int recordCount() const = 0;

    virtual QStringList fieldNames() const = 0;
    virtual bool hasField(const QString& name) const;
    virtual FieldType fieldType(const QString& name) const = 0;
    // Value of a field of the current row; throws FieldNotFound for an unknown name.
    virtual QVariant value(const QString& name) const = 0;
    // The text a grid shows for the field: Null shows empty.
    virtual QString displayText(const QString& name) const;

    // Fields by number, for readers of many rows (report data sets): a name
    // is looked up once with fieldNumber (-1 when there is no such field),
    // then read by its number, 0 to fieldNames().size() - 1. The defaults go
    // through the names.
    virtual int fieldNumber(const QString& name) const;
    virtual FieldType fieldTypeAt(int field) const;
    virtual QVariant valueAt(int field) const;
    virtual QString displayTextAt(int field) const;

    // A bookmark is the 0-based position of the current row; goTo returns to it.
    virtual int position() const = 0;
    virtual void goTo(int position) = 0;

    // Called after the record set opens and before it closes, so that report data
    // sets can rebuild or drop what they know about the fields.
    // afterScroll follows every change of the current row (and every reopen), so
    // that grids and labels bound to the record set can refresh.
    using Notification = std::function<void()>;
    Notification afterOpen;
    Notification beforeClose;
    Notification afterScroll;

protected:
    void notifyAfterOpen() const {
        if (afterOpen) afterOpen();
    }
    void notifyBeforeClose() const {
        if (beforeClose) beforeClose();
    }
    void notifyAfterScroll() const {
        if (afterScroll) afterScroll();
    }
};

// "<component>: Field '<name>' not found", raised for a field name the record
// set does not have, with the name as the caller spelled it.
class FieldNotFound : public Error {
public:
    FieldNotFound(const QString& component, const QString& field)
        : Error(component + QStringLiteral(": Field '") + field + QStringLiteral("' not found")) {}
};

// Default display text of a value: Null is empty, everything else its text form.
QString displayTextOf(const QVariant& value);

}  // namespace qev
