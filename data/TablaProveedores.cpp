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

const char* const Select =
    "SELECT CardCode, CardName, CardType, Address, StreetNo, Building, Block, City, County,"
    " State1, ZipCode, Phone1, Phone2, Fax, E_Mail, LicTradNum FROM OCRD WHERE CardType = 'S'";

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

}  // namespace

TablaProveedores::TablaProveedores(ConexionSAP& conexion) : conexion_(conexion) {}

void TablaProveedores::open() {
    if (open_) return;
    QSqlQuery query(conexion_.database());
    query.setForwardOnly(true);
    if (!query.exec(QString::fromLatin1(Select))) throw Error(query.lastError().text());
    std::vector<QString> cells;
    int rows = 0;
    while (query.next()) {
        for (int c = 0; c < Columns; ++c) {
            const QVariant v = query.value(c);
            cells.push_back(v.isNull() ? QString() : v.toString());
        }
        ++rows;
    }
    if (query.lastError().isValid()) throw Error(query.lastError().text());

    cells_ = std::move(cells);
    rows_ = rows;
    codeKeys_.resize(static_cast<std::size_t>(rows_));
    nameKeys_.resize(static_cast<std::size_t>(rows_));
    std::vector<int> all(static_cast<std::size_t>(rows_));
    for (int r = 0; r < rows_; ++r) {
        all[std::size_t(r)] = r;
        codeKeys_[std::size_t(r)] = cells_[std::size_t(r * Columns + CodeColumn)].toCaseFolded();
        nameKeys_[std::size_t(r)] = nameKey(cells_[std::size_t(r * Columns + NameColumn)]);
    }
    // Ties fall back to the exact text, then to the code, so that the order is
    // the same whatever order the server sent.
    auto code = [&](int r) -> const QString& {
        return cells_[std::size_t(r * Columns + CodeColumn)];
    };
    std::vector<int> byCode = all;
    std::sort(byCode.begin(), byCode.end(), [&](int a, int b) {
        const int c = codeKeys_[std::size_t(a)].compare(codeKeys_[std::size_t(b)]);
        return c != 0 ? c < 0 : code(a) < code(b);
    });
    // The rows themselves are kept in CardCode order: row number = position.
    std::vector<QString> ordered(cells_.size());
    std::vector<QString> codeKeys(static_cast<std::size_t>(rows_));
    std::vector<std::u32string> nameKeys(static_cast<std::size_t>(rows_));
    for (int pos = 0; pos < rows_; ++pos) {
        const int r = byCode[std::size_t(pos)];
        for (int c = 0; c < Columns; ++c)
            ordered[std::size_t(pos * Columns + c)] =
                std::move(cells_[std::size_t(r * Columns + c)]);
        codeKeys[std::size_t(pos)] = std::move(codeKeys_[std::size_t(r)]);
        nameKeys[std::size_t(pos)] = std::move(nameKeys_[std::size_t(r)]);
    }
    cells_ = std::move(ordered);
    codeKeys_ = std::move(codeKeys);
    nameKeys_ = std::move(nameKeys);
    byCode_ = std::move(all);  // identity now
    byName_ = byCode_;
    std::stable_sort(byName_.begin(), byName_.end(), [&](int a, int b) {
        const int c = nameKeys_[std::size_t(a)].compare(nameKeys_[std::size_t(b)]);
        if (c != 0) return c < 0;
        return cells_[std::size_t(a * Columns + NameColumn)] <
               cells_[std::size_t(b * Columns + NameColumn)];
    });

    open_ = true;
    resetToFirst();
    notifyAfterOpen();
    notifyAfterScroll();
}

void TablaProveedores::close() {
    if (!open_) return;
    notifyBeforeClose();
    open_ = false;
    rows_ = 0;
    cells_.clear();
    byCode_.clear();
    byName_.clear();
    codeKeys_.clear();
    nameKeys_.clear();
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

int TablaProveedores::columnOf(const QString& name) const {
    for (int c = 0; c < Columns; ++c)
        if (name.compare(QLatin1String(Fields[std::size_t(c)]), Qt::CaseInsensitive) == 0) return c;
    throw FieldNotFound(QStringLiteral("TablaProveedores"), name);
}

FieldType TablaProveedores::fieldType(const QString& name) const {
    columnOf(name);
    return FieldType::String;
}

QVariant TablaProveedores::value(const QString& name) const {
    const int column = columnOf(name);
    if (currentRow() < 0) return {};
    const QString& cell = cells_[std::size_t(currentRow() * Columns + column)];
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
    const auto it = std::lower_bound(byName_.begin(), byName_.end(), key,
                                     [&](int row, const std::u32string& k) {
                                         return nameKeys_[std::size_t(row)].compare(k) < 0;
                                     });
    if (it == byName_.end() || !startsWith(nameKeys_[std::size_t(*it)], key)) return false;
    moveTo(*it);
    return true;
}

}  // namespace qev
