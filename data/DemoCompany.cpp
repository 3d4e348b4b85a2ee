#include "data/DemoCompany.h"

#include "data/DemoDocuments.h"

#include "format/Error.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace qev {

namespace {

using demo::Document;
using demo::PaymentLine;
using demo::Random;
using demo::Table;
using demo::Invoice;
using demo::CreditNote;
using demo::Payment;

const QVariant NullText = QVariant(QMetaType::fromType<QString>());
const QVariant NullAmount = QVariant(QMetaType::fromType<double>());
const QVariant NullNumber = QVariant(QMetaType::fromType<int>());

QVariant textOrNull(const QString& text) {
    return text.isNull() ? NullText : QVariant(text);
}

// ---------------------------------------------------------------- schema

const char* const Schema[] = {
    "CREATE TABLE OCRD (CardCode VARCHAR(15) NOT NULL PRIMARY KEY, CardName VARCHAR(100),"
    " CardType CHAR(1) NOT NULL, Address VARCHAR(100), StreetNo VARCHAR(100),"
    " Building VARCHAR(100), Block VARCHAR(100), City VARCHAR(100), County VARCHAR(100),"
    " State1 VARCHAR(3), ZipCode VARCHAR(20), Phone1 VARCHAR(20), Phone2 VARCHAR(20),"
    " Fax VARCHAR(20), E_Mail VARCHAR(100), LicTradNum VARCHAR(32))",
    "CREATE TABLE OPCH (DocEntry INTEGER NOT NULL PRIMARY KEY, DocNum INTEGER NOT NULL,"
    " CardCode VARCHAR(15) NOT NULL, CANCELED CHAR(1), Series INTEGER, DocDate DATE NOT NULL,"
    " DocDueDate DATE NOT NULL, DocTotal NUMERIC(19,6) NOT NULL, NumAtCard VARCHAR(100),"
    " PaidToDate NUMERIC(19,6))",
    "CREATE TABLE ORPC (DocEntry INTEGER NOT NULL PRIMARY KEY, DocNum INTEGER NOT NULL,"
    " CardCode VARCHAR(15) NOT NULL, CANCELED CHAR(1), Series INTEGER, DocType CHAR(1),"
    " DocDate DATE NOT NULL, DocDueDate DATE NOT NULL, DocTotal NUMERIC(19,6) NOT NULL,"
    " NumAtCard VARCHAR(100), PaidToDate NUMERIC(19,6))",
    "CREATE TABLE OVPM (DocEntry INTEGER NOT NULL PRIMARY KEY, DocNum INTEGER NOT NULL,"
    " CardCode VARCHAR(15) NOT NULL, CANCELED CHAR(1), Series INTEGER, DocDate DATE NOT NULL,"
    " DocDueDate DATE NOT NULL, DocTotal NUMERIC(19,6) NOT NULL, CounterRef VARCHAR(100))",
    "CREATE TABLE VPM2 (DocNum INTEGER NOT NULL, InvoiceId INTEGER NOT NULL,"
    " DocEntry INTEGER NOT NULL, InvType VARCHAR(20) NOT NULL, SumApplied NUMERIC(19,6) NOT NULL,"
    " PRIMARY KEY (DocNum, InvoiceId))",
    "CREATE INDEX OPCH_CARDCODE ON OPCH (CardCode, DocEntry)",
    "CREATE INDEX ORPC_CARDCODE ON ORPC (CardCode, DocEntry)",
    "CREATE INDEX OVPM_CARDCODE ON OVPM (CardCode, DocEntry)",
    "CREATE INDEX VPM2_TARGET ON VPM2 (InvType, DocEntry)",
};

void exec(QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    if (!query.exec(sql)) throw Error(query.lastError().text());
}

// Inserts rows several at a time through one prepared statement: far fewer
// round trips to a server than one statement per row.
class BatchInsert {
  public:
    BatchInsert(QSqlDatabase& db, QString table, QStringList columns)
        : db_(db), table_(std::move(table)), columns_(std::move(columns)), full_(db) {}

    void add(const QVariantList& row) {
        pending_.append(row);
        if (pending_.size() == RowsPerStatement * columns_.size()) flush();
    }
    void finish() {
        if (!pending_.isEmpty()) flush();
    }

  private:
    static constexpr int RowsPerStatement = 200;

    QString sqlFor(qsizetype rows) const {
        QString one = QStringLiteral("(?") + QStringLiteral(",?").repeated(columns_.size() - 1) +
                      QLatin1Char(')');
        QStringList all;
        for (qsizetype i = 0; i < rows; ++i) all << one;
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(table_, columns_.join(QLatin1Char(',')), all.join(QLatin1Char(',')));
    }
    void flush() {
        const qsizetype rows = pending_.size() / columns_.size();
        QSqlQuery partial(db_);
        QSqlQuery* query = &full_;
        if (rows == RowsPerStatement) {
            if (!fullPrepared_) {
                if (!full_.prepare(sqlFor(rows))) throw Error(full_.lastError().text());
                fullPrepared_ = true;
            }
        } else {
            if (!partial.prepare(sqlFor(rows))) throw Error(partial.lastError().text());
            query = &partial;
        }
        for (qsizetype i = 0; i < pending_.size(); ++i) query->bindValue(int(i), pending_[i]);
        if (!query->exec()) throw Error(query->lastError().text());
        pending_.clear();
    }

    QSqlDatabase& db_;
    QString table_;
    QStringList columns_;
    QSqlQuery full_;
    bool fullPrepared_ = false;
    QVariantList pending_;
};

// ---------------------------------------------------------------- partners

struct Place {
    const char* city;
    const char* county;
    const char* state;
    const char* zipPrefix;
    const char* areaCode;
};

const std::array<Place, 18> Places = {{
    {"Ciudad de México", "Benito Juárez", "CMX", "03", "55"},
    {"Ciudad de México", "Coyoacán", "CMX", "04", "55"},
    {"Ciudad de México", "Cuauhtémoc", "CMX", "06", "55"},
    {"Guadalajara", "Guadalajara", "JAL", "44", "33"},
    {"Zapopan", "Zapopan", "JAL", "45", "33"},
    {"Monterrey", "Monterrey", "NL", "64", "81"},
    {"San Pedro Garza García", "San Pedro Garza García", "NL", "66", "81"},
    {"León", "León", "GTO", "37", "477"},
    {"Querétaro", "Querétaro", "QRO", "76", "442"},
    {"Mérida", "Mérida", "YUC", "97", "999"},
    {"Puebla", "Puebla", "PUE", "72", "222"},
    {"San Luis Potosí", "San Luis Potosí", "SLP", "78", "444"},
    {"Toluca", "Toluca", "MEX", "50", "722"},
    {"Morelia", "Morelia", "MIC", "58", "443"},
    {"Culiacán", "Culiacán", "SIN", "80", "667"},
    {"Tijuana", "Tijuana", "BC", "22", "664"},
    {"Aguascalientes", "Aguascalientes", "AGS", "20", "449"},
    {"Oaxaca de Juárez", "Oaxaca de Juárez", "OAX", "68", "951"},
}};

const std::array<const char*, 16> Streets = {
    "Av. Insurgentes Sur",   "Calle Miguel Hidalgo", "Blvd. Adolfo López Mateos",
    "Calz. de Tlalpan",      "Av. Revolución",       "Calle Benito Juárez",
    "Av. Vallarta",          "Av. Constitución",     "Calle Morelos",
    "Periférico Sur",        "Av. Lázaro Cárdenas",  "Calle 5 de Mayo",
    "Av. Universidad",       "Calle Independencia",  "Av. Gómez Morín",
    "Calle Ignacio Zaragoza"};

const std::array<const char*, 14> Neighbourhoods = {"Col. Centro",
                                                    "Col. Del Valle",
                                                    "Col. Industrial",
                                                    "Col. Las Águilas",
                                                    "Col. Santa Fe",
                                                    "Col. Jardines del Bosque",
                                                    "Col. Obrera",
                                                    "Col. Narvarte",
                                                    "Fracc. Los Pinos",
                                                    "Col. San Ángel",
                                                    "Parque Industrial Querétaro",
                                                    "Col. Mitras Centro",
                                                    "Col. Providencia",
                                                    "Col. Peñón de los Baños"};

const std::array<const char*, 22> BusinessKinds = {"Distribuidora",
                                                   "Comercializadora",
                                                   "Ferretería",
                                                   "Papelería",
                                                   "Transportes",
                                                   "Grupo",
                                                   "Servicios Integrales",
                                                   "Materiales",
                                                   "Refacciones",
                                                   "Productos Químicos",
                                                   "Industrias",
                                                   "Maquinaria",
                                                   "Empaques",
                                                   "Importadora",
                                                   "Laboratorios",
                                                   "Constructora",
                                                   "Aceros",
                                                   "Plásticos",
                                                   "Textiles",
                                                   "Alimentos",
                                                   "Óptica",
                                                   "Ácidos y Solventes"};

const std::array<const char*, 40> Surnames = {
    "Hernández", "Núñez",     "López",    "Peña",      "Ibáñez",    "Gutiérrez", "Martínez",
    "Zúñiga",    "Muñoz",     "Álvarez",  "Díaz",      "Pérez",     "Sánchez",   "Ramírez",
    "Jiménez",   "Velázquez", "González", "Rodríguez", "Fernández", "Castañeda", "Ávila",
    "Ortiz",     "Beltrán",   "Cortés",   "Chávez",    "Domínguez", "Galván",    "Guzmán",
    "Márquez",   "Méndez",    "Montaño",  "Ordóñez",   "Rentería",  "Solís",     "Tovar",
    "Valdés",    "Yáñez",     "Orozco",   "Treviño",   "Garza"};

const std::array<const char*, 12> Regions = {
    "del Bajío", "del Norte",    "de Occidente", "del Sureste", "del Pacífico", "del Golfo",
    "Potosina",  "Regiomontana", "Mexiquense",   "Poblana",     "Yucateca",     "Tapatía"};

const std::array<const char*, 18> FirstNames = {
    "José Luis", "María Elena", "Ángel",     "Álvaro",  "Érika",    "Óscar",
    "Úrsula",    "Juan Carlos", "Guadalupe", "Jesús",   "Verónica", "Raúl",
    "Sofía",     "Martín",      "Begoña",    "Joaquín", "Inés",     "Ramón"};

const std::array<const char*, 3> CompanySuffixes = {", S.A. de C.V.", ", S. de R.L. de C.V.",
                                                    ", S.A.P.I. de C.V."};

QString plainUpper(const QString& text) {
    QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    for (QChar c : decomposed)
        if (c.isLetter() && c.unicode() < 128) out += c.toUpper();
    return out;
}

struct Partner {
    QString code, name, type, address, streetNo, building, block, city, county, state, zip, phone1,
        phone2, fax, email, rfc;
};

QString rfcFor(Random& rng, const QString& name, bool person) {
    QString letters;
    for (const QString& word : name.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString plain = plainUpper(word);
        if (plain.size() >= 2) letters += plain.left(1);
    }
    letters = (letters + QStringLiteral("XXXX")).left(person ? 4 : 3);
    static const char Alnum[] = "ABCDEFGHJKLMNPQRSTUVWXYZ0123456789";
    QString check;
    for (int i = 0; i < 3; ++i) check += QLatin1Char(Alnum[rng.below(34)]);
    return letters +
           QStringLiteral("%1%2%3")
               .arg(rng.between(60, 99), 2, 10, QLatin1Char('0'))
               .arg(rng.between(1, 12), 2, 10, QLatin1Char('0'))
               .arg(rng.between(1, 28), 2, 10, QLatin1Char('0')) +
           check;
}

QString phone(Random& rng, const Place& place) {
    const QString area = QString::fromUtf8(place.areaCode);
    const int digits = 10 - int(area.size());
    QString number;
    for (int i = 0; i < digits; ++i) number += QLatin1Char(char('0' + rng.below(10)));
    return QLatin1Char('(') + area + QStringLiteral(") ") + number.left(digits - 4) +
           QLatin1Char(' ') + number.right(4);
}

void fillAddress(Random& rng, Partner& p) {
    const Place& place = rng.pick(Places);
    p.address = QString::fromUtf8(rng.pick(Streets));
    p.streetNo = QString::number(rng.between(1, 4999));
    if (rng.chance(15)) p.streetNo += QStringLiteral("-B");
    if (rng.chance(45)) p.building = QStringLiteral("Int. %1").arg(rng.between(1, 40));
    p.block = QString::fromUtf8(rng.pick(Neighbourhoods));
    p.city = QString::fromUtf8(place.city);
    p.county = QString::fromUtf8(place.county);
    p.state = QString::fromUtf8(place.state);
    p.zip = QString::fromUtf8(place.zipPrefix) +
            QStringLiteral("%1").arg(rng.below(1000), 3, 10, QLatin1Char('0'));
    p.phone1 = phone(rng, place);
    if (rng.chance(40)) p.phone2 = phone(rng, place);
    if (rng.chance(25)) p.fax = phone(rng, place);
    if (!rng.chance(10)) {
        const QStringList words = p.name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString slug = plainUpper(words.value(0)) + plainUpper(words.value(1));
        p.email = QStringLiteral("ventas@") + slug.toLower() + QStringLiteral(".com.mx");
    }
}

QString randomName(Random& rng, bool& person) {
    person = rng.chance(20);
    if (person)
        return QString::fromUtf8(rng.pick(FirstNames)) + QLatin1Char(' ') +
               QString::fromUtf8(rng.pick(Surnames)) + QLatin1Char(' ') +
               QString::fromUtf8(rng.pick(Surnames));
    QString name = QString::fromUtf8(rng.pick(BusinessKinds)) + QLatin1Char(' ');
    name += rng.chance(60) ? QString::fromUtf8(rng.pick(Surnames))
                           : QString::fromUtf8(rng.pick(Regions));
    return name;
}

Partner makePartner(Random& rng, const QString& code, const QString& type, QString name,
                    bool person) {
    Partner p;
    p.code = code;
    p.type = type;
    p.name = name;
    fillAddress(rng, p);
    p.rfc = rfcFor(rng, name, person);
    return p;
}

QString uniqueName(Random& rng, QSet<QString>& used, bool& person) {
    for (;;) {
        QString name = randomName(rng, person);
        if (!person) name += QString::fromUtf8(rng.pick(CompanySuffixes));
        if (!used.contains(name)) {
            used.insert(name);
            return name;
        }
    }
}

// ---------------------------------------------------------------- documents

const QDate FirstDay(2015, 1, 1);
constexpr int Days = 731;  // 2015 and 2016

std::int64_t randomCents(Random& rng, int maxPesos) {
    if (rng.chance(1)) return 0;
    // Mostly modest amounts with a long tail, as purchases are.
    const int magnitude = rng.between(2, 5);
    std::int64_t limit = 1;
    for (int i = 0; i < magnitude; ++i) limit *= 10;
    limit = std::min<std::int64_t>(limit, maxPesos);
    return std::int64_t(rng.next() % std::uint64_t(limit * 100)) + 100;
}

QString invoiceReference(Random& rng) {
    if (rng.chance(15)) return {};
    return rng.chance(50)
               ? QStringLiteral("F-%1").arg(rng.between(1000, 99999))
               : QStringLiteral("A%1").arg(rng.between(100, 9999), 5, 10, QLatin1Char('0'));
}

// PaidToDate as the first demo companies drew it. The payment lines now set
// it; the draw is kept so that every other column keeps its value.
std::int64_t paidOf(Random& rng, std::int64_t total) {
    const int r = rng.below(100);
    if (r < 10) return -1;
    if (r < 45) return total;
    if (r < 70) return 0;
    return total * rng.between(1, 99) / 100;
}

Document randomDocument(Random& rng, int partner, Table table) {
    Document d{table, partner, QStringLiteral("N"), 0, {}, {}, {}, 0, {}, -1};
    d.date = FirstDay.addDays(rng.below(Days));
    d.due = d.date;
    switch (table) {
        case Invoice: {
            const int r = rng.below(100);
            d.series = r < 40   ? 10
                       : r < 80 ? 64
                       : r < 88 ? 63
                                : std::array{5, 11, 70}[rng.below(3)];
            if (rng.chance(5)) d.canceled = QStringLiteral("Y");
            d.due = d.date.addDays(std::array{0, 15, 30, 30, 45, 60, 90}[rng.below(7)]);
            d.totalCents = randomCents(rng, 250000);
            d.reference = invoiceReference(rng);
            d.paidCents = paidOf(rng, d.totalCents);
            break;
        }
        case CreditNote: {
            const int r = rng.below(100);
            d.docType = r < 45   ? QStringLiteral("S")
                        : r < 90 ? QStringLiteral("I")
                                 : QStringLiteral("A");
            const int s = rng.below(100);
            d.series = s < 70 ? 12 : s < 90 ? 100 : 13;
            if (rng.chance(5)) d.canceled = QStringLiteral("Y");
            d.totalCents = randomCents(rng, 40000);
            if (!rng.chance(20)) d.reference = QStringLiteral("NC-%1").arg(rng.between(100, 9999));
            d.paidCents = paidOf(rng, d.totalCents);
            break;
        }
        case Payment:
            d.series = rng.chance(85) ? 20 : std::array{21, 30}[rng.below(2)];
            if (rng.chance(4)) d.canceled = QStringLiteral("Y");
            d.totalCents = randomCents(rng, 250000);
            if (!rng.chance(30))
                d.reference = rng.chance(50)
                                  ? QStringLiteral("TRF%1").arg(rng.between(10000, 999999))
                                  : QStringLiteral("CHQ %1").arg(rng.between(100, 9999));
            break;
    }
    return d;
}

Table randomTable(Random& rng) {
    const int r = rng.below(100);
    return r < 55 ? Invoice : r < 65 ? CreditNote : Payment;
}

// Documents of a supplier with an exact number of accepted ones, plus some
// that a statement must leave out.
void exactDocuments(Random& rng, int partner, int acceptedCount, std::vector<Document>& out) {
    const int credits = std::max(1, acceptedCount / 14);
    const int invoices = acceptedCount * 55 / 100;
    const int payments = acceptedCount - invoices - 2 * credits;
    auto add = [&](Table table, auto adjust) {
        Document d = randomDocument(rng, partner, table);
        d.canceled = QStringLiteral("N");
        adjust(d);
        out.push_back(d);
    };
    for (int i = 0; i < invoices; ++i)
        add(Invoice, [&](Document& d) { d.series = std::array{10, 64, 5}[i % 3]; });
    for (int i = 0; i < credits; ++i) {
        add(CreditNote, [&](Document& d) { d.docType = QStringLiteral("S"); });
        add(CreditNote, [&](Document& d) { d.docType = QStringLiteral("I"); });
    }
    for (int i = 0; i < payments; ++i)
        add(Payment, [&](Document& d) { d.series = i % 4 == 3 ? 21 : 20; });
    add(Invoice, [](Document& d) {
        d.canceled = QStringLiteral("Y");
        d.series = 10;
    });
    add(Invoice, [](Document& d) { d.series = 63; });
    add(CreditNote, [](Document& d) { d.docType = QStringLiteral("A"); });
    add(CreditNote, [](Document& d) {
        d.docType = QStringLiteral("S");
        d.canceled = QStringLiteral("Y");
    });
    add(Payment, [](Document& d) { d.canceled = QStringLiteral("Y"); });
}

// ---------------------------------------------------------------- the company

struct Company {
    std::vector<Partner> partners;
    std::vector<Document> documents;
    std::vector<PaymentLine> paymentLines;
};

// DocEntry counts within each table, in date order as the ERP would.
void numberDocuments(std::vector<Document>& documents) {
    std::array<int, 3> entries{0, 0, 0};
    for (Document& d : documents) d.entry = ++entries[d.table];
}

Company generate(unsigned seed) {
    Random rng(seed);
    Company c;
    QSet<QString> used = {QString::fromUtf8(demo::SharedPrefixName1),
                          QString::fromUtf8(demo::SharedPrefixName2),
                          QString::fromUtf8(demo::SharedPrefixName3)};
    bool person = false;
    for (int i = 1; i <= demo::RegularSupplierCount; ++i) {
        const QString name = uniqueName(rng, used, person);
        c.partners.push_back(makePartner(rng, QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')),
                                         QStringLiteral("S"), name, person));
    }
    const int regular = int(c.partners.size());

    auto edge = [&](const char* code, const QString& name) {
        c.partners.push_back(
            makePartner(rng, QString::fromUtf8(code), QStringLiteral("S"), name, false));
        return int(c.partners.size()) - 1;
    };
    edge(demo::SupplierWithoutDocuments, QStringLiteral("Consultores Sin Movimientos, S.C."));
    const int p29 =
        edge(demo::SupplierWith29Movements, QStringLiteral("Papelería Veintinueve, S.A. de C.V."));
    const int p30 =
        edge(demo::SupplierWith30Movements, QStringLiteral("Papelería Treinta, S.A. de C.V."));
    const int p58 = edge(demo::SupplierWith58Movements,
                         QStringLiteral("Papelería Cincuenta y Ocho, S.A. de C.V."));
    const int many =
        edge(demo::SupplierWithManyDocuments,
             QStringLiteral("Distribuidora Nacional de Abarrotes Muñoz, S.A. de C.V."));
    const int apostrophe =
        edge(demo::SupplierWithApostrophe, QStringLiteral("Importadora O'Higgins, S.A. de C.V."));
    const int shared1 = edge(demo::SharedPrefixCode1, QString::fromUtf8(demo::SharedPrefixName1));
    const int shared2 = edge(demo::SharedPrefixCode2, QString::fromUtf8(demo::SharedPrefixName2));
    const int shared3 = edge(demo::SharedPrefixCode3, QString::fromUtf8(demo::SharedPrefixName3));
    // Set after the random draws, so that every other row stays as it was.
    c.partners[std::size_t(p58)].email = QString::fromUtf8(demo::SupplierTwoEmails);
    c.partners[std::size_t(p30)].email = QString::fromUtf8(demo::SupplierMalformedEmail);
    Partner nulls;
    nulls.code = QString::fromUtf8(demo::SupplierWithNulls);
    nulls.name = QStringLiteral("Comercial Sin Datos");
    nulls.type = QStringLiteral("S");
    c.partners.push_back(nulls);
    const int withNulls = int(c.partners.size()) - 1;

    for (int i = 1; i <= demo::CustomerCount; ++i) {
        const QString name =
            i == 1 ? QString::fromUtf8(demo::CustomerSharingPrefix) : uniqueName(rng, used, person);
        c.partners.push_back(makePartner(rng, QStringLiteral("C%1").arg(i, 5, 10, QLatin1Char('0')),
                                         QStringLiteral("C"), name, person));
    }

    for (int p = 0; p < regular; ++p) {
        const int count = rng.below(71);
        for (int i = 0; i < count; ++i)
            c.documents.push_back(randomDocument(rng, p, randomTable(rng)));
    }
    exactDocuments(rng, p29, 29, c.documents);
    exactDocuments(rng, p30, 30, c.documents);
    exactDocuments(rng, p58, 58, c.documents);
    exactDocuments(rng, many, demo::ManyDocumentsMovements, c.documents);
    for (int p : {apostrophe, shared1, shared2, shared3})
        for (int i = 0; i < 12; ++i)
            c.documents.push_back(randomDocument(rng, p, randomTable(rng)));
    for (int i = 0; i < 9; ++i) {
        Document d = randomDocument(rng, withNulls, Table(i % 3));
        d.reference = {};
        if (d.table != Payment) d.paidCents = -1;
        c.documents.push_back(d);
    }
    // The ERP numbers documents as they are entered, which is roughly by date.
    std::stable_sort(c.documents.begin(), c.documents.end(),
                     [](const Document& a, const Document& b) { return a.date < b.date; });
    numberDocuments(c.documents);
    // A random sequence of its own: the documents stay as they were drawn.
    c.paymentLines = demo::applyPayments(c.documents, seed ^ 0x5650'4D32ull, withNulls);
    return c;
}

QVariant amount(std::int64_t cents) {
    return QVariant(double(cents) / 100.0);
}

void insertPartners(QSqlDatabase& db, const Company& c) {
    BatchInsert ocrd(
        db, QStringLiteral("OCRD"),
        {QStringLiteral("CardCode"), QStringLiteral("CardName"), QStringLiteral("CardType"),
         QStringLiteral("Address"), QStringLiteral("StreetNo"), QStringLiteral("Building"),
         QStringLiteral("Block"), QStringLiteral("City"), QStringLiteral("County"),
         QStringLiteral("State1"), QStringLiteral("ZipCode"), QStringLiteral("Phone1"),
         QStringLiteral("Phone2"), QStringLiteral("Fax"), QStringLiteral("E_Mail"),
         QStringLiteral("LicTradNum")});
    for (const Partner& p : c.partners)
        ocrd.add({p.code, textOrNull(p.name), p.type, textOrNull(p.address), textOrNull(p.streetNo),
                  textOrNull(p.building), textOrNull(p.block), textOrNull(p.city),
                  textOrNull(p.county), textOrNull(p.state), textOrNull(p.zip),
                  textOrNull(p.phone1), textOrNull(p.phone2), textOrNull(p.fax),
                  textOrNull(p.email), textOrNull(p.rfc)});
    ocrd.finish();
}

// A document date as the tables keep it. The time of day spreads over the
// whole day, midnight and the last second included, so that any reader that
// shifts it by a time zone moves some documents to another day.
QVariant dateValue(const QDate& date, int entry, DocumentDates dates) {
    if (dates == DocumentDates::Date) return date;
    constexpr int SecondsPerDay = 86400;
    const int seconds = entry % 7 == 0   ? 0
                        : entry % 7 == 1 ? SecondsPerDay - 1
                                         : (entry * 7919) % SecondsPerDay;
    return QDateTime(date, QTime(0, 0).addSecs(seconds));
}

void insertDocuments(QSqlDatabase& db, const Company& c, DocumentDates dates) {
    const QStringList common = {QStringLiteral("DocEntry"),   QStringLiteral("DocNum"),
                                QStringLiteral("CardCode"),   QStringLiteral("CANCELED"),
                                QStringLiteral("Series"),     QStringLiteral("DocDate"),
                                QStringLiteral("DocDueDate"), QStringLiteral("DocTotal")};
    BatchInsert opch(
        db, QStringLiteral("OPCH"),
        common + QStringList{QStringLiteral("NumAtCard"), QStringLiteral("PaidToDate")});
    BatchInsert orpc(db, QStringLiteral("ORPC"),
                     common + QStringList{QStringLiteral("NumAtCard"), QStringLiteral("PaidToDate"),
                                          QStringLiteral("DocType")});
    BatchInsert ovpm(db, QStringLiteral("OVPM"),
                     common + QStringList{QStringLiteral("CounterRef")});
    const std::array<int, 3> firstNumber{10000, 20000, 30000};
    for (const Document& d : c.documents) {
        const int entry = d.entry;
        QVariantList row{entry,
                         firstNumber[d.table] + entry,
                         c.partners[std::size_t(d.partner)].code,
                         d.canceled,
                         d.series,
                         dateValue(d.date, entry, dates),
                         dateValue(d.due, entry, dates),
                         amount(d.totalCents)};
        switch (d.table) {
            case Invoice:
                opch.add(row << textOrNull(d.reference)
                             << (d.paidCents < 0 ? NullAmount : amount(d.paidCents)));
                break;
            case CreditNote:
                orpc.add(row << textOrNull(d.reference)
                             << (d.paidCents < 0 ? NullAmount : amount(d.paidCents)) << d.docType);
                break;
            case Payment:
                ovpm.add(row << textOrNull(d.reference));
                break;
        }
    }
    opch.finish();
    orpc.finish();
    ovpm.finish();
}

void insertPaymentLines(QSqlDatabase& db, const Company& c) {
    BatchInsert vpm2(db, QStringLiteral("VPM2"),
                     {QStringLiteral("DocNum"), QStringLiteral("InvoiceId"),
                      QStringLiteral("DocEntry"), QStringLiteral("InvType"),
                      QStringLiteral("SumApplied")});
    for (const PaymentLine& l : c.paymentLines)
        vpm2.add({l.payment, l.line, l.entry,
                  l.target == CreditNote ? QStringLiteral("19") : QStringLiteral("18"),
                  amount(l.cents)});
    vpm2.finish();
}

QString uniqueSuffix() {
    return QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
           QUuid::createUuid().toString(QUuid::Id128).left(8);
}

}  // namespace

QStringList DemoCompany::schema(DocumentDates dates) {
    QStringList statements;
    for (const char* statement : Schema) {
        QString sql = QString::fromLatin1(statement);
        if (dates == DocumentDates::DateTime)
            sql.replace(QLatin1String("DocDate DATE"), QLatin1String("DocDate TIMESTAMP"))
                .replace(QLatin1String("DocDueDate DATE"), QLatin1String("DocDueDate TIMESTAMP"));
        statements << sql;
    }
    return statements;
}

void DemoCompany::populate(QSqlDatabase db, unsigned seed, DocumentDates dates) {
    const Company company = generate(seed);
    if (!db.transaction()) throw Error(db.lastError().text());
    try {
        for (const QString& statement : schema(dates)) exec(db, statement);
        insertPartners(db, company);
        insertDocuments(db, company, dates);
        insertPaymentLines(db, company);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) throw Error(db.lastError().text());
}

namespace {

int sqliteVersion(const QString& path) {
    const QString connection = QStringLiteral("qev-demo-version-") + uniqueSuffix();
    int version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("PRAGMA user_version")) && query.next())
                version = query.value(0).toInt();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return version;
}

}  // namespace

void DemoCompany::ensureSqliteFile(const QString& path) {
    if (QFileInfo::exists(path) && sqliteVersion(path) == demo::Version) return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString building = path + QStringLiteral(".building-") + uniqueSuffix();
    const QString connection = QStringLiteral("qev-demo-build-") + uniqueSuffix();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(building);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            try {
                exec(db, QStringLiteral("PRAGMA journal_mode=OFF"));
                populate(db);
                exec(db, QStringLiteral("PRAGMA user_version = %1").arg(demo::Version));
            } catch (const Error& e) {
                failure = e.message();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (failure.isEmpty()) {
        // Replaces a file of another version in one step; a process that was
        // first with the same version leaves an equal file.
        std::error_code error;
        std::filesystem::rename(building.toStdU16String(), path.toStdU16String(), error);
        if (error && sqliteVersion(path) != demo::Version)
            failure = QStringLiteral("No se puede crear el archivo de la empresa de demostración \"%1\"")
                          .arg(QDir::toNativeSeparators(path));
    }
    QFile::remove(building);
    if (!failure.isEmpty()) throw Error(failure);
}

ConnectionSettings DemoCompany::ensurePostgres(const ConnectionSettings& server,
                                               DocumentDates dates) {
    const QString name = dates == DocumentDates::Date ? QStringLiteral("qev_demo")
                                                      : QStringLiteral("qev_demo_datetime");
    const QString loading = name + QStringLiteral("_loading");
    ConnectionSettings demoSettings = server;
    demoSettings.database = name;
    const QString admin = QStringLiteral("qev-demo-admin-") + uniqueSuffix();
    const QString loader = admin + QStringLiteral("-load");
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), admin);
        db.setHostName(server.server);
        if (server.port > 0) db.setPort(server.port);
        db.setDatabaseName(server.database.isEmpty() ? QStringLiteral("postgres")
                                                     : server.database);
        db.setUserName(server.user);
        db.setPassword(server.password);
        try {
            if (!db.open()) throw Error(db.lastError().text());
            // Test programs start at once; one loads while the others wait. The
            // company is loaded aside and renamed, so "qev_demo" is always whole.
            exec(db, QStringLiteral("SELECT pg_advisory_lock(7270313)"));
            const QString stamp = QStringLiteral("qev demo %1").arg(demo::Version);
            QSqlQuery existing(db);
            if (!existing.prepare(QStringLiteral("SELECT shobj_description(oid, 'pg_database')"
                                                 " FROM pg_database WHERE datname = ?")))
                throw Error(existing.lastError().text());
            existing.addBindValue(name);
            if (!existing.exec()) throw Error(existing.lastError().text());
            const bool exists = existing.next();
            if (exists && existing.value(0).toString() != stamp)
                exec(db, QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name));
            if (!exists || existing.value(0).toString() != stamp) {
                exec(db, QStringLiteral("DROP DATABASE IF EXISTS %1").arg(loading));
                exec(db, QStringLiteral("CREATE DATABASE %1").arg(loading));
                {
                    QSqlDatabase target = QSqlDatabase::cloneDatabase(db, loader);
                    target.setDatabaseName(loading);
                    if (!target.open()) throw Error(target.lastError().text());
                    populate(target, demo::DefaultSeed, dates);
                    target.close();
                }
                QSqlDatabase::removeDatabase(loader);
                exec(db, QStringLiteral("COMMENT ON DATABASE %1 IS '%2'").arg(loading, stamp));
                exec(db, QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(loading, name));
            }
            exec(db, QStringLiteral("SELECT pg_advisory_unlock(7270313)"));
        } catch (const Error& e) {
            failure = e.message();
        }
        db.close();
    }
    if (QSqlDatabase::contains(loader)) QSqlDatabase::removeDatabase(loader);
    QSqlDatabase::removeDatabase(admin);
    if (!failure.isEmpty()) throw Error(failure);
    return demoSettings;
}

}  // namespace qev
