#include "data/TablaPuente.h"

#include "data/ConexionSAP.h"
#include "data/DriverValue.h"
#include "format/Error.h"

#include <QSqlError>
#include <QSqlQuery>

#include <array>

namespace qev {

namespace {

struct Column {
    const char* field;   // as the rest of the program spells it
    const char* column;  // in the ERP schema
    FieldType type;
};

// Only these three tables can be opened: the table name is part of the SQL
// text, so it is checked against this list, never pasted from elsewhere.
struct DocumentTable {
    const char* name;
    const char* sqlName;
    std::vector<Column> columns;
};

const std::vector<Column>& commonColumns() {
    static const std::vector<Column> columns = {
        {"docentry", "DocEntry", FieldType::Integer},  {"CARDCODE", "CardCode", FieldType::String},
        {"canceled", "CANCELED", FieldType::String},
        {"series", "Series", FieldType::Integer},      {"docdate", "DocDate", FieldType::Date},
        {"docduedate", "DocDueDate", FieldType::Date}, {"docnum", "DocNum", FieldType::Integer},
        {"doctotal", "DocTotal", FieldType::Float}};
    return columns;
}

const std::vector<DocumentTable>& documentTables() {
    static const std::vector<DocumentTable> tables = [] {
        auto with = [](std::vector<Column> extra) {
            std::vector<Column> all = commonColumns();
            all.insert(all.end(), extra.begin(), extra.end());
            return all;
        };
        return std::vector<DocumentTable>{
            {"opch", "OPCH",
             with({{"numatcard", "NumAtCard", FieldType::String},
                   {"paidtodate", "PaidToDate", FieldType::Float}})},
            {"orpc", "ORPC",
             with({{"doctype", "DocType", FieldType::String},
                   {"numatcard", "NumAtCard", FieldType::String},
                   {"paidtodate", "PaidToDate", FieldType::Float}})},
            {"ovpm", "OVPM", with({{"counterref", "CounterRef", FieldType::String}})},
        };
    }();
    return tables;
}

const DocumentTable* findTable(const QString& name) {
    for (const DocumentTable& t : documentTables())
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

const QString Component = QStringLiteral("TablaPuente");

}  // namespace

TablaPuente::TablaPuente(ConexionSAP& conexion) : conexion_(conexion) {}

void TablaPuente::setTableName(const QString& table) {
    if (open_)
        throw Error(Component +
                    QStringLiteral(": Cannot perform this operation on an open dataset"));
    const DocumentTable* t = findTable(table);
    if (!t) throw Error(Component + QStringLiteral(": Table '%1' not found").arg(table));
    table_ = QString::fromLatin1(t->name);
}

void TablaPuente::setCardCodeFilter(const QString& cardCode) {
    cardCode_ = cardCode;
    filtered_ = true;
}

void TablaPuente::addTextCondition(const QString& field, const QString& text) {
    conditions_.push_back({field, text});
}

void TablaPuente::clearFilter() {
    cardCode_.clear();
    filtered_ = false;
    conditions_.clear();
}

void TablaPuente::open() {
    if (open_) return;
    const DocumentTable* t = findTable(table_);
    if (!t) throw Error(Component + QStringLiteral(": Missing TableName property"));
    QStringList columns;
    for (const Column& c : t->columns) columns << QString::fromLatin1(c.column);
    QString sql = QStringLiteral("SELECT %1 FROM %2")
                      .arg(columns.join(QLatin1Char(',')), QString::fromLatin1(t->sqlName));
    QStringList where;
    QStringList values;
    if (filtered_) {
        where << QStringLiteral("CardCode = ?");
        values << cardCode_;
    }
    for (const TextCondition& c : conditions_) {
        where << QString::fromLatin1(t->columns[std::size_t(columnOf(c.field))].column) +
                     QStringLiteral(" = ?");
        values << c.text;
    }
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY DocEntry");

    QSqlQuery query(conexion_.database());
    query.setForwardOnly(true);
    conexion_.runReading(query, [&](QSqlQuery& q) {
        if (!q.prepare(sql)) return false;
        for (const QString& value : values) q.addBindValue(value);
        return q.exec();
    });
    std::vector<QVariant> cells;
    int rows = 0;
    const int n = int(t->columns.size());
    while (query.next()) {
        for (int c = 0; c < n; ++c)
            cells.push_back(driverValue(query.value(c), t->columns[std::size_t(c)].type));
        ++rows;
    }
    if (query.lastError().isValid()) throw Error(query.lastError().text());

    cells_ = std::move(cells);
    rows_ = rows;
    columns_ = n;
    open_ = true;
    resetToFirst();
    notifyAfterOpen();
    notifyAfterScroll();
}

void TablaPuente::close() {
    if (!open_) return;
    notifyBeforeClose();
    open_ = false;
    cells_.clear();
    rows_ = 0;
    resetToNothing();
}

QStringList TablaPuente::fieldNames() const {
    QStringList names;
    if (const DocumentTable* t = findTable(table_))
        for (const Column& c : t->columns) names << QString::fromLatin1(c.field);
    return names;
}

int TablaPuente::columnOf(const QString& name) const {
    if (const DocumentTable* t = findTable(table_)) {
        for (std::size_t c = 0; c < t->columns.size(); ++c)
            if (name.compare(QLatin1String(t->columns[c].field), Qt::CaseInsensitive) == 0)
                return int(c);
    }
    throw FieldNotFound(Component, name);
}

FieldType TablaPuente::fieldType(const QString& name) const {
    return findTable(table_)->columns[std::size_t(columnOf(name))].type;
}

QVariant TablaPuente::value(const QString& name) const {
    return value(columnOf(name));
}

const QVariant& TablaPuente::value(int column) const {
    static const QVariant none;
    if (!open_ || currentRow() < 0) return none;
    return cells_[std::size_t(currentRow()) * std::size_t(columns_) + std::size_t(column)];
}

}  // namespace qev
