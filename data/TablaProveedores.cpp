#include "data/TablaProveedores.h"

#include "data/ConexionSAP.h"
#include "format/Error.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <array>

namespace qev {

namespace {

// Field names as the rest of the program spells them, and the columns read.
constexpr std::array<const char*, 16> Fields = {
    "CardCode", "CardName", "cardtype", "Address", "StreetNo", "Building", "Block",  "City",
    "County",   "State1",   "ZipCode",  "Phone1",  "Phone2",   "Fax",      "E_Mail", "LicTradNum"};
constexpr int Columns = int(Fields.size());
constexpr int CodeColumn = 0;
constexpr int NameColumn = 1;

const char* const Count = "SELECT COUNT(*) FROM OCRD WHERE CardType = 'S'";
const char* const Select =
    "SELECT CardCode, CardName, CardType, Address, StreetNo, Building, Block, City, County,"
    " State1, ZipCode, Phone1, Phone2, Fax, E_Mail, LicTradNum FROM OCRD WHERE CardType = 'S'"
    " ORDER BY CardCode";

// Name order compares letters without case and accents, with "ñ" as its own
// letter after "n", the way a Spanish reader expects the list.
std::u32string nameKey(const QString& text) {
    std::u32string key;
    key.reserve(std::size_t(text.size()));
    const QString folded = text.normalized(QString::NormalizationForm_C).toCaseFolded();
    for (QChar c : folded) {
        if (c.unicode() < 0x80) {
            key.push_back(char32_t(c.unicode()) * 2);
            continue;
        }
        if (c == QChar(0x00F1)) {  // ñ
            key.push_back(char32_t('n') * 2 + 1);
            continue;
        }
        const QString base = QString(c).normalized(QString::NormalizationForm_D);
        key.push_back(char32_t(base.at(0).unicode()) * 2);
    }
    return key;
}

bool startsWith(const std::u32string& text, const std::u32string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// How many rows to make room for: growing the cells row by row cost as much
// as reading them.
qsizetype expectedRows(const QSqlDatabase& database) {
    QSqlQuery count(database);
    count.setForwardOnly(true);
    if (!count.exec(QString::fromLatin1(Count)) || !count.next()) return 0;
    return std::max<qsizetype>(count.value(0).toLongLong(), 0);
}

}  // namespace

TablaProveedores::TablaProveedores(ConexionSAP& conexion) : conexion_(conexion) {}

TablaProveedores::~TablaProveedores() {
    if (pendingNames_.valid()) pendingNames_.wait();
}

void TablaProveedores::open() {
    if (open_) return;
    QList<QString> cells;
    cells.reserve(expectedRows(conexion_.database()) * Columns);
    QSqlQuery query(conexion_.database());
    query.setForwardOnly(true);
    if (!query.exec(QString::fromLatin1(Select))) throw Error(query.lastError().text());
    int rows = 0;
    while (query.next()) {
        for (int c = 0; c < Columns; ++c) {
            const QVariant v = query.value(c);
            cells.append(v.isNull() ? QString() : v.toString());
        }
        ++rows;
    }
    if (query.lastError().isValid()) throw Error(query.lastError().text());

    cells_ = std::move(cells);
    rows_ = rows;
    codeKeys_.resize(static_cast<std::size_t>(rows_));
    for (int r = 0; r < rows_; ++r)
        codeKeys_[std::size_t(r)] = cells_[r * Columns + CodeColumn].toCaseFolded();
    orderByCode();
    std::vector<QString> names(static_cast<std::size_t>(rows_));
    for (int r = 0; r < rows_; ++r) names[std::size_t(r)] = cells_[r * Columns + NameColumn];
    pendingNames_ = std::async(std::launch::async, &TablaProveedores::nameIndexOf, std::move(names));

    open_ = true;
    resetToFirst();
    notifyAfterOpen();
    notifyAfterScroll();
}

// The rows in CardCode order ignoring letter case, ties by the exact code, so
// that the order is the same whatever order the server uses; rows that come
// in that order already (the query asks for it) are left as they are.
void TablaProveedores::orderByCode() {
    auto code = [&](int r) -> const QString& { return cells_[r * Columns + CodeColumn]; };
    auto less = [&](int a, int b) {
        const int c = codeKeys_[std::size_t(a)].compare(codeKeys_[std::size_t(b)]);
        return c != 0 ? c < 0 : code(a) < code(b);
    };
    bool ordered = true;
    for (int r = 1; r < rows_ && ordered; ++r) ordered = !less(r, r - 1);
    if (ordered) return;

    std::vector<int> byCode(static_cast<std::size_t>(rows_));
    for (int r = 0; r < rows_; ++r) byCode[std::size_t(r)] = r;
    std::sort(byCode.begin(), byCode.end(), less);
    QList<QString> cells(cells_.size());
    std::vector<QString> codeKeys(static_cast<std::size_t>(rows_));
    for (int pos = 0; pos < rows_; ++pos) {
        const int r = byCode[std::size_t(pos)];
        for (int c = 0; c < Columns; ++c)
            cells[pos * Columns + c] = std::move(cells_[r * Columns + c]);
        codeKeys[std::size_t(pos)] = std::move(codeKeys_[std::size_t(r)]);
    }
    cells_ = std::move(cells);
    codeKeys_ = std::move(codeKeys);
}

// Runs on a worker thread: touches nothing but its own copy of the names.
TablaProveedores::NameIndex TablaProveedores::nameIndexOf(std::vector<QString> names) {
    NameIndex index;
    index.keys.reserve(names.size());
    for (const QString& name : names) index.keys.push_back(nameKey(name));
    index.byName.resize(names.size());
    for (std::size_t r = 0; r < names.size(); ++r) index.byName[r] = int(r);
    std::stable_sort(index.byName.begin(), index.byName.end(), [&](int a, int b) {
        const int c = index.keys[std::size_t(a)].compare(index.keys[std::size_t(b)]);
        if (c != 0) return c < 0;
        return names[std::size_t(a)] < names[std::size_t(b)];
    });
    return index;
}

const TablaProveedores::NameIndex& TablaProveedores::nameIndex() {
    if (pendingNames_.valid()) names_ = pendingNames_.get();
    return names_;
}

void TablaProveedores::close() {
    if (!open_) return;
    notifyBeforeClose();
    if (pendingNames_.valid()) pendingNames_.wait();
    pendingNames_ = {};
    open_ = false;
    rows_ = 0;
    cells_.clear();
    codeKeys_.clear();
    names_ = {};
    resetToNothing();
}

int TablaProveedores::recordCount() const {
    return rows_;
}

QStringList TablaProveedores::fieldNames() const {
    QStringList names;
    for (const char* f : Fields) names << QString::fromLatin1(f);
    return names;
}

int TablaProveedores::fieldNumber(const QString& name) const {
    for (int c = 0; c < Columns; ++c)
        if (name.compare(QLatin1String(Fields[std::size_t(c)]), Qt::CaseInsensitive) == 0) return c;
    return -1;
}

int TablaProveedores::columnOf(const QString& name) const {
    const int column = fieldNumber(name);
    if (column < 0) throw FieldNotFound(QStringLiteral("TablaProveedores"), name);
    return column;
}

FieldType TablaProveedores::fieldType(const QString& name) const {
    columnOf(name);
    return FieldType::String;
}

QVariant TablaProveedores::value(const QString& name) const {
    return valueAt(columnOf(name));
}

QVariant TablaProveedores::valueAt(int field) const {
    if (currentRow() < 0) return {};
    const QString& cell = cells_[currentRow() * Columns + field];
    return cell.isNull() ? QVariant() : QVariant(cell);
}

bool TablaProveedores::findCode(const QString& text) {
    if (text.isEmpty() || rows_ == 0) return false;
    const QString key = text.toCaseFolded();
    const auto it =
        std::lower_bound(codeKeys_.begin(), codeKeys_.end(), key,
                         [](const QString& a, const QString& b) { return a.compare(b) < 0; });
    if (it == codeKeys_.end() || *it != key) return false;
    moveTo(int(it - codeKeys_.begin()));
    return true;
}

bool TablaProveedores::findName(const QString& prefix) {
    if (prefix.isEmpty() || rows_ == 0) return false;
    const std::u32string key = nameKey(prefix);
    const NameIndex& names = nameIndex();
    const auto it = std::lower_bound(names.byName.begin(), names.byName.end(), key,
                                     [&](int row, const std::u32string& k) {
                                         return names.keys[std::size_t(row)].compare(k) < 0;
                                     });
    if (it == names.byName.end() || !startsWith(names.keys[std::size_t(*it)], key)) return false;
    moveTo(*it);
    return true;
}

}  // namespace qev
