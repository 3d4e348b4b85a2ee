#include "report/TfrxDBDataset.h"

#include "format/Currency.h"
#include "format/Error.h"
#include "report/TfrxReport.h"

#include <QDateTime>

namespace qev {

// --- TfrxCustomDBDataSet -------------------------------------------------

QString TfrxCustomDBDataSet::FieldNotFoundText(const QString& field) const {
    return QStringLiteral("Field not found: %1.\"%2\"").arg(UserName(), field);
}

void TfrxCustomDBDataSet::SetFields(const QStringList& recordSetFields) {
    ClearFields();
    auto add = [this](const QString& alias, const QString& field) {
        if (FFields.contains(alias.toLower())) return;
        FFields.insert(alias.toLower(), field);
        FFieldNames.append(alias);
    };
    if (FieldAliases.isEmpty()) {
        for (const QString& field : recordSetFields) add(field, field);
    } else {
        for (const QString& line : FieldAliases) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0) continue;
            const QString field = line.mid(eq + 1);
            if (recordSetFields.contains(field, Qt::CaseInsensitive)) add(line.left(eq), field);
        }
    }
    std::sort(FFieldNames.begin(), FFieldNames.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

void TfrxCustomDBDataSet::ClearFields() {
    FFieldNames.clear();
    FFields.clear();
}

void TfrxCustomDBDataSet::ReportError(const QString& text) const {
    if (!ReportRef) return;
    const QString& object = ReportRef->CurObject;
    ReportRef->AddError(object.isEmpty() ? text : object + QStringLiteral(": ") + text);
}

// --- TfrxDBDataset -------------------------------------------------------

TfrxDBDataset::~TfrxDBDataset() {
    unhook();
}

void TfrxDBDataset::hook() {
    if (FHooked) return;
    FSavedAfterOpen = FRecordSet->afterOpen;
    FSavedBeforeClose = FRecordSet->beforeClose;
    FRecordSet->afterOpen = [this] {
        rebuildFieldList();
        if (FSavedAfterOpen) FSavedAfterOpen();
    };
    FRecordSet->beforeClose = [this] {
        FBookmark.reset();
        FOpened = false;
        if (FSavedBeforeClose) FSavedBeforeClose();
    };
    FHooked = true;
}

void TfrxDBDataset::unhook() {
    if (!FHooked) return;
    FRecordSet->afterOpen = FSavedAfterOpen;
    FRecordSet->beforeClose = FSavedBeforeClose;
    FSavedAfterOpen = nullptr;
    FSavedBeforeClose = nullptr;
    FHooked = false;
}

void TfrxDBDataset::rebuildFieldList() {
    FFieldRefs.clear();
    SetFields(FRecordSet->fieldNames());
}

TfrxDBDataset::FieldRef TfrxDBDataset::fieldRef(const QString& field) {
    for (const NamedFieldRef& named : FFieldRefs)
        if (named.name.constData() == field.constData() && named.name.size() == field.size())
            return named.ref;
    for (const NamedFieldRef& named : FFieldRefs)
        if (named.name == field) return named.ref;
    FieldRef ref;
    if (FRecordSet && HasField(field)) {
        ref.number = FRecordSet->fieldNumber(FieldNameOf(field));
        ref.known = ref.number >= 0;
        if (ref.known) ref.type = FRecordSet->fieldTypeAt(ref.number);
    }
    FFieldRefs.push_back({field, ref});
    return ref;
}

void TfrxDBDataset::Initialize() {
    if (!FRecordSet) throw Error(QStringLiteral("DataSet %1 is not connected to data").arg(Name()));
    hook();
    FEof = false;
    FOpened = false;
}

void TfrxDBDataset::Open() {
    if (FOpened || !FRecordSet) return;
    FOpened = true;
    if (!FRecordSet->isOpen()) FRecordSet->open();
    rebuildFieldList();
    if (RangeBegin == frx::rbCurrent || RangeEnd == frx::reCurrent)
        FBookmark = FRecordSet->position();
    TfrxCustomDBDataSet::Open();
}

void TfrxDBDataset::First() {
    Open();
    if (!FRecordSet) return;
    if (RangeBegin == frx::rbCurrent && FBookmark)
        FRecordSet->goTo(*FBookmark);
    else
        FRecordSet->first();
    FEof = false;
    TfrxCustomDBDataSet::First();
}

void TfrxDBDataset::Next() {
    Open();
    if (!FRecordSet) return;
    if (RangeEnd == frx::reCurrent && FBookmark && FRecordSet->position() == *FBookmark) {
        FEof = true;
        return;
    }
    FRecordSet->next();
    TfrxCustomDBDataSet::Next();
}

bool TfrxDBDataset::Eof() {
    Open();
    return TfrxCustomDBDataSet::Eof() || !FRecordSet || FRecordSet->eof() || FEof;
}

void TfrxDBDataset::Finalize() {
    if (FRecordSet && FBookmark) FRecordSet->goTo(*FBookmark);
    FBookmark.reset();
    if (CloseDataSource) Close();
    if (FRecordSet) unhook();
    FOpened = false;
}

void TfrxDBDataset::Close() {
    TfrxCustomDBDataSet::Close();
    FBookmark.reset();
    FOpened = false;
    if (FRecordSet) FRecordSet->close();
}

QVariant TfrxDBDataset::GetValue(const QString& field) {
    Open();
    const FieldRef ref = fieldRef(field);
    if (!ref.known) {
        ReportError(FieldNotFoundText(field));
        return {};
    }
    return valueOf(ref, FRecordSet->valueAt(ref.number));
}

QVariant TfrxDBDataset::valueOf(const FieldRef& ref, const QVariant& stored) const {
    if (stored.isNull()) return {};
    switch (ref.type) {
        case FieldType::Currency: {
            const Currency amount = stored.metaType() == QMetaType::fromType<Currency>()
                                        ? stored.value<Currency>()
                                        : Currency::fromDouble(stored.toDouble());
            return BCDToCurrency ? QVariant::fromValue(amount) : QVariant(amount.toDouble());
        }
        case FieldType::Integer:
            return QVariant(stored.toLongLong());
        case FieldType::DateTime:
            return QVariant(stored.toDateTime());
        case FieldType::Blob:
            return QVariant(stored.toString());
        default:
            return stored;
    }
}

QString TfrxDBDataset::GetDisplayText(const QString& field) {
    Open();
    if (!FRecordSet || !FRecordSet->isOpen())
        return QStringLiteral("%1.\"%2\"").arg(UserName(), field);
    if (FieldsCount() == 0) return FRecordSet->displayText(field);
    const FieldRef ref = fieldRef(field);
    if (!ref.known) {
        const QString text = FieldNotFoundText(field);
        ReportError(text);
        return text;
    }
    if (ref.type == FieldType::String) return displayTextOf(FRecordSet->valueAt(ref.number));
    return FRecordSet->displayTextAt(ref.number);
}

// A memo's field, its value and its display text, from one look-up of the
// name and one read of the row: what GetValue and GetDisplayText would give.
TfrxFieldReading TfrxDBDataset::ReadField(const QString& field, bool withText) {
    Open();
    const FieldRef ref = fieldRef(field);
    if (!ref.known || !FRecordSet->isOpen() || FieldsCount() == 0)
        return TfrxCustomDBDataSet::ReadField(field, withText);
    const QVariant stored = FRecordSet->valueAt(ref.number);
    TfrxFieldReading reading;
    reading.blob = ref.type == FieldType::Blob;
    reading.value = valueOf(ref, stored);
    if (reading.blob)
        reading.text = reading.value.toString();
    else if (withText)
        reading.text = ref.type == FieldType::String ? displayTextOf(stored)
                                                      : FRecordSet->displayTextAt(ref.number);
    return reading;
}

frx::TfrxFieldType TfrxDBDataset::GetFieldType(const QString& field) {
    if (!FRecordSet ||
        !FRecordSet->hasField(FieldNameOf(field).isEmpty() ? field : FieldNameOf(field)))
        return frx::fftNumeric;
    switch (FRecordSet->fieldType(FieldNameOf(field).isEmpty() ? field : FieldNameOf(field))) {
        case FieldType::String:
        case FieldType::Blob:
            return frx::fftString;
        case FieldType::Boolean:
            return frx::fftBoolean;
        default:
            return frx::fftNumeric;
    }
}

bool TfrxDBDataset::IsBlobField(const QString& field) {
    Open();
    const FieldRef ref = fieldRef(field);
    return ref.known && ref.type == FieldType::Blob;
}

int TfrxDBDataset::RecordCount() {
    Open();
    return FRecordSet ? FRecordSet->recordCount() : 0;
}

}  // namespace qev
