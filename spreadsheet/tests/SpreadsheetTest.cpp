// The statement as CSV and XLSX, read back by Python's csv module and by
// openpyxl, and the movement rows as they are read from a record set.
#include "format/Error.h"
#include "spreadsheet/CsvWriter.h"
#include "spreadsheet/SpreadsheetFile.h"
#include "spreadsheet/StatementSheet.h"
#include "spreadsheet/XlsxWriter.h"

#include "testing/QtPrinters.h"
#include "testing/SpreadsheetReader.h"
#include "testing/VectorRecordSet.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace qev;
using qev::testing::readSpreadsheet;
using qev::testing::sheetNamed;

namespace {

Currency amount(const char* text) {
    Currency c;
    EXPECT_TRUE(Currency::tryParse(QString::fromLatin1(text), c)) << text;
    return c;
}

// Everything a cell can hold, and texts that need quoting.
StatementSheet fixtureSheet() {
    StatementSheet s;
    s.code = QStringLiteral("P90'01");
    s.name = QStringLiteral("Zapatería Núñez, \"La Güera\"");
    s.rows = {
        {1, {2016, 1, 5}, "FAC", 501, amount("1000"), {}, amount("1000"), {2016, 2, 4},
         "F-501, lote 2"},
        {3, {2016, 1, 20}, "NCRE", 601, {}, amount("100.5"), amount("899.5"), {2016, 1, 20},
         "Nota \"especial\""},
        {4, {2016, 1, 20}, "PAGO", 701, {}, amount("1234567.89"), amount("-1233668.39"),
         {2016, 1, 20}, QStringLiteral("línea 1\nlínea 2")},
        // A row with nothing but a date, a text and a balance of four decimals.
        {{}, {2016, 2, 1}, "SALDO ANTERIOR", {}, {}, {}, amount("0.1234"), {}, {}},
    };
    s.heading = QStringLiteral("PERIODO: 01/ENE/2016 AL 31/MAR/2016");
    AgeingSummary ageing;
    ageing.asOf = {2016, 3, 31};
    const char* amounts[] = {"10", "20.5", "0", "-5", "1234567.89"};
    for (std::size_t i = 0; i < ageing.buckets.size(); ++i)
        ageing.buckets[i].amount = amount(amounts[i]);
    ageing.total = amount("1234593.39");
    s.ageing = ageing;
    return s;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

}  // namespace

TEST(PlainAmount, DotAtLeastTwoDecimalsNoGrouping) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0.00"},          {"5", "5.00"},
        {"1234.5", "1234.50"},  {"-0.1", "-0.10"},
        {"-250", "-250.00"},    {"12.3456", "12.3456"},  // held with four decimals: all kept
        {"1234567.89", "1234567.89"},
        {"-922337203685477.5808", "-922337203685477.5808"},  // the smallest amount
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(plainAmount(amount(value)), QLatin1String(expected)) << value;
}

TEST(StatementCsv, BytesAreRfc4180WithAByteOrderMark) {
    const QByteArray csv = statementCsv(fixtureSheet());
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "#,Fecha,Docto.,Folio,Cargo,Abono,Saldo,Vencimiento,Referencia\r\n"
        "1,2016-01-05,FAC,501,1000.00,,1000.00,2016-02-04,\"F-501, lote 2\"\r\n"
        "3,2016-01-20,NCRE,601,,100.50,899.50,2016-01-20,\"Nota \"\"especial\"\"\"\r\n"
        "4,2016-01-20,PAGO,701,,1234567.89,-1233668.39,2016-01-20,\"l\xC3\xADnea 1\nl\xC3\xAD"
        "nea 2\"\r\n"
        ",2016-02-01,SALDO ANTERIOR,,,,0.1234,,\r\n";
    EXPECT_EQ(csv, expected);
}

TEST(StatementCsv, RoundTripsThroughPythonsCsvModule) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("estado.csv"));
    saveStatementSheet(fixtureSheet(), path, SheetFormat::Csv);
    const QJsonArray records = readSpreadsheet(path).value(QLatin1String("records")).toArray();
    ASSERT_EQ(records.size(), 5);
    const auto record = [&records](int i) {
        QStringList fields;
        for (const QJsonValue& v : records[i].toArray()) fields << v.toString();
        return fields;
    };
    EXPECT_EQ(record(0), QString::fromUtf8("#|Fecha|Docto.|Folio|Cargo|Abono|Saldo|Vencimiento|"
                                           "Referencia")
                             .split(u'|'));
    EXPECT_EQ(record(1).last(), QStringLiteral("F-501, lote 2"));
    EXPECT_EQ(record(2).last(), QStringLiteral("Nota \"especial\""));
    EXPECT_EQ(record(3).last(), QStringLiteral("línea 1\nlínea 2"));
    EXPECT_EQ(record(3)[5], QStringLiteral("1234567.89"));
    EXPECT_EQ(record(4), QStringList({"", "2016-02-01", "SALDO ANTERIOR", "", "", "", "0.1234", "", ""}));
}

TEST(StatementCsv, AStatementWithoutMovementsIsItsHeaderRow) {
    StatementSheet empty;
    empty.code = QStringLiteral("P90000");
    EXPECT_EQ(statementCsv(empty),
              QByteArray("\xEF\xBB\xBF#,Fecha,Docto.,Folio,Cargo,Abono,Saldo,Vencimiento,"
                         "Referencia\r\n"));
}

class StatementXlsx : public ::testing::Test {
  protected:
    QJsonObject write(const StatementSheet& sheet) {
        const QString path = dir.filePath(QStringLiteral("estado.xlsx"));
        saveStatementSheet(sheet, path, SheetFormat::Xlsx);
        return readSpreadsheet(path);
    }
    static QJsonObject cell(const QJsonObject& sheet, const char* coordinate) {
        return sheet.value(QLatin1String("cells")).toObject().value(QLatin1String(coordinate)).toObject();
    }
    QTemporaryDir dir;
};

const QString Money = QStringLiteral("\"$\"#,##0.00;-\"$\"#,##0.00");

TEST_F(StatementXlsx, MovementsAreRealNumbersAndDatesUnderFrozenTitles) {
    const QJsonObject book = write(fixtureSheet());
    const QJsonArray sheets = book.value(QLatin1String("sheets")).toArray();
    ASSERT_EQ(sheets.size(), 2);
    const QJsonObject sheet = sheets[0].toObject();
    EXPECT_EQ(sheet.value(QLatin1String("name")).toString(), QStringLiteral("Movimientos"));
    EXPECT_EQ(sheet.value(QLatin1String("freeze")).toString(), QStringLiteral("A5"));
    EXPECT_EQ(sheet.value(QLatin1String("filter")).toString(), QStringLiteral("A4:I8"));

    // type, value as text (numbers by their value), number format; "" = no cell.
    struct Expected {
        const char* coordinate;
        const char* type;
        QVariant value;
        QString format;
    };
    const QString general = QStringLiteral("General");
    const QString date = QStringLiteral("dd/mm/yyyy");
    const Expected expected[] = {
        {"A1", "text", "Codigo:", general},
        {"B1", "text", "P90'01", general},
        {"B2", "text", QStringLiteral("Zapatería Núñez, \"La Güera\""), general},
        {"A3", "text", "PERIODO: 01/ENE/2016 AL 31/MAR/2016", general},
        {"A4", "text", "#", general},
        {"I4", "text", "Referencia", general},
        {"A5", "number", 1, general},
        {"B5", "date", "2016-01-05T00:00:00", date},
        {"C5", "text", "FAC", general},
        {"D5", "number", 501, general},
        {"E5", "number", 1000.0, Money},
        {"F5", "", {}, {}},
        {"G5", "number", 1000.0, Money},
        {"H5", "date", "2016-02-04T00:00:00", date},
        {"I5", "text", "F-501, lote 2", general},
        {"F6", "number", 100.5, Money},
        {"G7", "number", -1233668.39, Money},
        {"I7", "text", QStringLiteral("línea 1\nlínea 2"), general},
        {"A8", "", {}, {}},
        {"C8", "text", "SALDO ANTERIOR", general},
        {"G8", "number", 0.1234, Money},
        {"H8", "", {}, {}},
        {"I8", "", {}, {}},
        {"A9", "", {}, {}},
    };
    for (const Expected& e : expected) {
        const QJsonObject c = cell(sheet, e.coordinate);
        EXPECT_EQ(c.value(QLatin1String("type")).toString(), QLatin1String(e.type)) << e.coordinate;
        if (c.isEmpty()) continue;
        EXPECT_EQ(c.value(QLatin1String("value")).toVariant(), e.value) << e.coordinate;
        EXPECT_EQ(c.value(QLatin1String("format")).toString(), e.format) << e.coordinate;
    }

    // Each column at least as wide as what it shows.
    const QJsonObject widths = sheet.value(QLatin1String("widths")).toObject();
    const std::pair<const char*, int> shown[] = {
        {"B", 10}, {"C", int(QStringLiteral("SALDO ANTERIOR").size())},
        {"F", int(QStringLiteral("$1,234,567.89").size())},
        {"G", int(QStringLiteral("-$1,233,668.39").size())},
        {"I", int(QStringLiteral("Nota \"especial\"").size())}};
    for (const auto& [column, width] : shown)
        EXPECT_GE(widths.value(QLatin1String(column)).toDouble(), width) << column;
    EXPECT_LT(widths.value(QLatin1String("A")).toDouble(), 8);
}

TEST_F(StatementXlsx, AgeingSummaryIsTheSecondSheet) {
    const QJsonObject sheet = sheetNamed(write(fixtureSheet()), QStringLiteral("Antigüedad"));
    ASSERT_FALSE(sheet.isEmpty());
    EXPECT_EQ(cell(sheet, "B1").value(QLatin1String("value")).toString(), QStringLiteral("P90'01"));
    EXPECT_EQ(cell(sheet, "B3").value(QLatin1String("value")).toString(),
              QStringLiteral("2016-03-31T00:00:00"));
    const std::tuple<const char*, const char*, double> rows[] = {
        {"5", "Antigüedad", 0},  {"6", "Corriente", 10},   {"7", "1-30", 20.5},
        {"8", "31-60", 0},       {"9", "61-90", -5},       {"10", "Más de 90", 1234567.89},
        {"11", "Total", 1234593.39},
    };
    for (const auto& [row, label, value] : rows) {
        const QByteArray a = QByteArray("A") + row, b = QByteArray("B") + row;
        EXPECT_EQ(cell(sheet, a).value(QLatin1String("value")).toString(), QString::fromUtf8(label));
        if (std::string(row) == "5") continue;  // the titles
        EXPECT_EQ(cell(sheet, b).value(QLatin1String("type")).toString(), QStringLiteral("number"));
        EXPECT_EQ(cell(sheet, b).value(QLatin1String("value")).toDouble(), value) << row;
        EXPECT_EQ(cell(sheet, b).value(QLatin1String("format")).toString(), Money) << row;
    }
}

TEST_F(StatementXlsx, WithoutMovementsOrAgeingOnlyTheTitles) {
    StatementSheet empty;
    empty.code = QStringLiteral("P90000");
    const QJsonObject book = write(empty);
    const QJsonArray sheets = book.value(QLatin1String("sheets")).toArray();
    ASSERT_EQ(sheets.size(), 1);
    const QJsonObject sheet = sheets[0].toObject();
    EXPECT_EQ(sheet.value(QLatin1String("freeze")).toString(), QStringLiteral("A5"));
    const QJsonObject cells = sheet.value(QLatin1String("cells")).toObject();
    EXPECT_EQ(cells.size(), 2 + 1 + 9);  // code label and value, name label, titles: no period
    EXPECT_EQ(cell(sheet, "H4").value(QLatin1String("value")).toString(), QStringLiteral("Vencimiento"));
}

// Movement rows as the ordered query holds them: sortable date texts, amounts
// beside the texts the grid shows.
TEST(ReadSheetRows, TakesTheValuesBehindTheGridsTexts) {
    using test::VectorRecordSet;
    const QList<VectorRecordSet::Field> fields = {
        {"MOVTO", FieldType::Integer}, {"SERIE"}, {"FOLIO", FieldType::Integer}, {"FECHA"},
        {"VENCTO"}, {"CARGO", FieldType::Float}, {"ABONO", FieldType::Float}, {"MCARGO"},
        {"MABONO"}, {"REFERENCIA"}, {"SALDO", FieldType::Float}, {"MSALDO"}};
    VectorRecordSet movements(
        QStringLiteral("TablaSql"), fields,
        {{2, "FAC", 502, "2016/02/01", "2016/03/02", 50.0, 0.0, "$50.00", {}, "F-502", 550.0,
          "$550.00"},
         {4, "PAGO", 701, "2016/01/20", "2016/01/20", 0.0, 400.0, {}, "$400.00", {}, -0.5,
          "-$0.50"},
         {{}, "X", {}, "2016/02/30", "no es fecha", {}, {}, {}, {}, {}, {}, {}}});
    movements.open();
    movements.goTo(1);

    const std::vector<SheetRow> rows = readSheetRows(movements);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].movto, 2);
    EXPECT_EQ(rows[0].fecha, QDate(2016, 2, 1));
    EXPECT_EQ(rows[0].vencto, QDate(2016, 3, 2));
    EXPECT_EQ(rows[0].cargo, amount("50"));
    EXPECT_EQ(rows[0].abono, std::nullopt);  // the grid shows nothing there
    EXPECT_EQ(rows[0].saldo, amount("550"));
    EXPECT_EQ(rows[0].referencia, QStringLiteral("F-502"));
    EXPECT_EQ(rows[1].cargo, std::nullopt);
    EXPECT_EQ(rows[1].abono, amount("400"));
    EXPECT_EQ(rows[1].saldo, amount("-0.5"));
    EXPECT_EQ(rows[1].referencia, QString());
    EXPECT_EQ(rows[2].movto, std::nullopt);
    EXPECT_EQ(rows[2].folio, std::nullopt);
    EXPECT_FALSE(rows[2].fecha.isValid());
    EXPECT_FALSE(rows[2].vencto.isValid());
    EXPECT_EQ(rows[2].saldo, std::nullopt);
    EXPECT_EQ(movements.position(), 1);  // the cursor is back where it was
}

TEST(SheetFormatOf, GoesByTheSuffix) {
    EXPECT_EQ(sheetFormatOf(QStringLiteral("a/b.csv")), SheetFormat::Csv);
    EXPECT_EQ(sheetFormatOf(QStringLiteral("ESTADO.XLSX")), SheetFormat::Xlsx);
    EXPECT_EQ(sheetFormatOf(QStringLiteral("estado.xls")), std::nullopt);
    EXPECT_EQ(sheetFormatOf(QStringLiteral("csv")), std::nullopt);
}

// A target that cannot be written gives a Spanish error and leaves nothing
// behind: no partial file, no temporary, an earlier file as it was.
TEST(SaveStatementSheet, AFailureLeavesNoPartialFileAndTheEarlierOneAsItWas) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("carpeta"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/dentro")));
    const QString aFile = dir.filePath(QStringLiteral("archivo"));
    {
        QFile f(aFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const SheetFormat format : {SheetFormat::Csv, SheetFormat::Xlsx}) {
        EXPECT_EQ(errorOf([&] { saveStatementSheet(fixtureSheet(), folder, format); }),
                  QStringLiteral("No se puede escribir \"%1\": es una carpeta.").arg(folder));
        const QString underAFile = aFile + QStringLiteral("/estado") + sheetSuffix(format);
        EXPECT_TRUE(errorOf([&] { saveStatementSheet(fixtureSheet(), underAFile, format); })
                        .startsWith(QStringLiteral("No se puede crear el archivo \"%1\": ")
                                        .arg(underAFile)));
    }

    // A write that fails half-way: the file size limit stops it, as a full disk would.
    const QString earlier = dir.filePath(QStringLiteral("estado.csv"));
    {
        QFile f(earlier);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("anterior");
    }
    StatementSheet big = fixtureSheet();
    for (int i = 0; i < 4000; ++i) big.rows.push_back(big.rows[i % 4]);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString csvError = errorOf([&] { saveStatementSheet(big, earlier, SheetFormat::Csv); });
    const QString xlsxPath = dir.filePath(QStringLiteral("estado.xlsx"));
    const QString xlsxError = errorOf([&] { saveStatementSheet(big, xlsxPath, SheetFormat::Xlsx); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(csvError.startsWith(QStringLiteral("No se pudo escribir el archivo \"%1\": ").arg(earlier)))
        << csvError.toStdString();
    // libxlsxwriter itself reports success: the check of its parts finds the cut.
    EXPECT_EQ(xlsxError, QStringLiteral("No se pudo crear la hoja de cálculo: la parte "
                                        "\"xl/worksheets/sheet1.xml\" quedó incompleta (¿falta "
                                        "espacio en disco?)."));
    EXPECT_EQ(fileBytes(earlier), QByteArray("anterior"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"archivo", "estado.csv"}));
}
