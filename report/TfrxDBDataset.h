#pragma once

#include "data/RecordSet.h"
#include "report/TfrxDataSet.h"

#include <QHash>
#include <QStringList>

#include <optional>
#include <vector>

namespace qev {

// A data set over named fields, with optional aliases ("alias=field" lines of
// FieldAliases; without aliases the field names are used as they are). The
// field list is sorted, ignores case and duplicates.
class TfrxCustomDBDataSet : public TfrxDataSet {
    Q_OBJECT
    Q_PROPERTY(QStringList FieldAliases MEMBER FieldAliases)

  public:
    explicit TfrxCustomDBDataSet(QObject* owner = nullptr) : TfrxDataSet(owner) {}

    QStringList FieldAliases;

    // The known field names (aliases), sorted ignoring case.
    QStringList GetFieldList() override { return FFieldNames; }
    int FieldsCount() override { return int(FFieldNames.size()); }
    bool HasField(const QString& alias) const { return FFields.contains(alias.toLower()); }
    // The record set's name of an aliased field.
    QString FieldNameOf(const QString& alias) const { return FFields.value(alias.toLower()); }

    // "Field not found: <UserName>.\"<field>\"".
    QString FieldNotFoundText(const QString& field) const;

  protected:
    // Rebuilds the list from the record set's field names.
    void SetFields(const QStringList& recordSetFields);
    void ClearFields();
    // Adds the text to the report's Errors, after CurObject + ": ".
    void ReportError(const QString& text) const;

  private:
    QStringList FFieldNames;
    QHash<QString, QString> FFields;  // lower-case alias -> field name
};

// The adapter over an application record set (the supplier table, the ordered
// movements query). Nothing is opened or moved by Initialize; the first read
// opens it (and only builds the field list when it is open already); Finalize
// leaves the record set open and where it was unless a bookmark or
// CloseDataSource says otherwise.
class TfrxDBDataset : public TfrxCustomDBDataSet {
    Q_OBJECT
    Q_PROPERTY(bool BCDToCurrency MEMBER BCDToCurrency)

  public:
    explicit TfrxDBDataset(QObject* owner = nullptr) : TfrxCustomDBDataSet(owner) {}
    ~TfrxDBDataset() override;

    // Fixed-point fields as Currency (on) or as a float (off).
    bool BCDToCurrency = false;

    RecordSet* DataSet() const { return FRecordSet; }
    void SetDataSet(RecordSet* recordSet) {
        FRecordSet = recordSet;
        FFieldRefs.clear();
    }

    // Throws "DataSet <Name> is not connected to data" without record set.
    void Initialize() override;
    void Finalize() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    bool Eof() override;

    QVariant GetValue(const QString& field) override;
    QString GetDisplayText(const QString& field) override;
    TfrxFieldReading ReadField(const QString& field, bool withText) override;
    frx::TfrxFieldType GetFieldType(const QString& field) override;
    bool IsBlobField(const QString& field) override;
    int RecordCount() override;

    bool IsOpened() const { return FOpened; }

  private:
    // A field as memos name it, resolved to the record set's field.
    struct FieldRef {
        bool known = false;  // in the field list
        int number = -1;     // the record set's number for it
        FieldType type = FieldType::String;
    };
    struct NamedFieldRef {
        QString name;  // held, so that its data pointer stays this name's
        FieldRef ref;
    };
    // Every memo of every row asks for its field by name: each name is
    // resolved once per field list. A handful of names, mostly passed as the
    // same string each time, are found faster by a look along a list than
    // by hashing the name.
    FieldRef fieldRef(const QString& field);
    // GetValue's value of a field from what the record set holds for it.
    QVariant valueOf(const FieldRef& ref, const QVariant& stored) const;
    void hook();
    void unhook();
    void rebuildFieldList();

    std::vector<NamedFieldRef> FFieldRefs;
    RecordSet* FRecordSet = nullptr;
    bool FOpened = false;
    bool FHooked = false;
    std::optional<int> FBookmark;
    RecordSet::Notification FSavedAfterOpen, FSavedBeforeClose;
};

}  // namespace qev
