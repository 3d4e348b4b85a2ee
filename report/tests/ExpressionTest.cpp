#include "format/FormatSettings.h"
#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxReport.h"
#include "report/frxBrackets.h"
#include "report/frxExpression.h"
#include "report/frxFormatData.h"
#include "testing/VectorRecordSet.h"
#include "testing/QtPrinters.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace qev {
namespace {

using test::VectorRecordSet;

TEST(BracketScan, Cases) {
    auto echo = [](const QString& e) { return u'<' + e + u'>'; };
    const std::pair<const char*, const char*> cases[] = {
        {"no brackets", "no brackets"},
        {"[Date]", "<Date>"},
        {"a [x] b [y] c", "a <x> b <y> c"},
        {"[frxDBDataset1.\"CardCode\"]", "<frxDBDataset1.\"CardCode\">"},
        {"[a ']' b]", "<a ']' b>"},  // brackets inside quotes do not count
        {"[a \"]\" b]", "<a \"]\" b>"},
        {"[\"it's\" + ']']", "<\"it's\" + ']'>"},  // a single quote inside double quotes
        {"[IIF([Page#] = 1, 'a', 'b')] z",
         "<IIF([Page#] = 1, 'a', 'b')> z"},  // nested: one expression
        {"x [unclosed", "x [unclosed"},      // never closed: left as it is
        {"'[q]'", "'<q>'"},                  // quotes before the bracket do not matter
        {"]", "]"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(frxExpandBrackets(QString::fromUtf8(text), "[", "]", echo),
                  QString::fromUtf8(expected))
            << text;

    // Inserted text is never scanned again.
    auto bracketed = [](const QString&) { return QStringLiteral("[again]"); };
    EXPECT_EQ(frxExpandBrackets("1 [x] 2", "[", "]", bracketed), u"1 [again] 2");
    EXPECT_EQ(frxExpandBrackets("<%x%>", "<%", "%>", echo), u"<x>");
}

struct ExpressionFixture : ::testing::Test {
    ExpressionFixture() {
        initFormatSettings(QLocale(QLocale::Spanish, QLocale::Mexico));
        dataSet.SetName(QStringLiteral("frxDBDataset1"));
        dataSet.SetUserName(QStringLiteral("frxDBDataset1"));
        dataSet.SetDataSet(&records);
        dataSet.ReportRef = &report;
        report.AddDataSet(&dataSet);
        auto* page = new TfrxReportPage(&report);
        band = new TfrxMasterData(page);
        memo = new TfrxMemoView(band);
        memo->SetName(QStringLiteral("Memo1"));
        dataSet.Initialize();
        report.RunState.StartDate = QDate(2017, 1, 5);
        report.RunState.StartTime = QTime(23, 59, 58);
        report.RunState.Page = report.RunState.PageNo = 3;
        report.RunState.CurLine = 2;
        report.RunState.CurLineThrough = 31;
    }
    ~ExpressionFixture() override {
        dataSet.Finalize();
        initFormatSettings(QLocale::c());
    }
    QString output(const QString& text) {
        memo->SetText(text);
        memo->BeforePrint();
        memo->GetData();
        const QString shown = memo->Text();
        memo->AfterPrint();
        EXPECT_EQ(memo->Text(), text.isEmpty() ? QString() : text + "\r\n")
            << "AfterPrint puts the text back";
        return shown;
    }
    QString errorOf(const QString& expression) {
        try {
            report.Calc(expression);
        } catch (const TfrxExpressionError& e) {
            return e.message();
        }
        return {};
    }

    VectorRecordSet records{
        QStringLiteral("TablaProveedores"),
        {{"CardCode"}, {"CardName"}, {"Balance", FieldType::Float}, {"Active", FieldType::Boolean}},
        {{"P001", QVariant(), QVariant(), QVariant()}}};
    TfrxReport report;
    TfrxDBDataset dataSet;
    TfrxMasterData* band = nullptr;
    TfrxMemoView* memo = nullptr;
};

TEST_F(ExpressionFixture, EvaluatorCases) {
    const std::pair<const char*, QVariant> cases[] = {
        {"1 + 2 * 3", 7},
        {"(1 + 2) * 3", 9},
        {"7 / 2", 3.5},
        {"7 div 2", 3},
        {"7 mod 4", 3},
        {"-2 - -3", 1},
        {"1.5e1 + 0", 15.0},
        {"'ab' + 'cd'", "abcd"},
        {"'it''s'", "it's"},
        {"2 > 1 and 'a' < 'b'", true},
        {"not (1 = 1) or 2 <> 2", false},
        {"3 >= 3", true},
        {"IIF(Page# = 3, 'third', 'other')", "third"},
        {"iif(False, 1 div 0, 'lazy')", "lazy"},  // only the chosen branch runs
        {"[Page#] + 1", 4},
        {"<frxDBDataset1.\"CardCode\">", "P001"},
        {"frxDBDataset1.\"CardCode\" + '!'", "P001!"},
        {"Line# * 2", 62},
        {"Null + 1", QVariant()},
        {"Null = Null", true},
    };
    for (const auto& [expression, expected] : cases) {
        const QVariant value = report.Calc(QString::fromUtf8(expression));
        EXPECT_EQ(value, expected) << expression;
        EXPECT_EQ(value.isNull(), expected.isNull()) << expression;
    }
    EXPECT_TRUE(report.Errors().isEmpty()) << report.Errors().join('\n').toStdString();
}

TEST_F(ExpressionFixture, SystemVariablesAreDirectValues) {
    EXPECT_EQ(report.Calc("Date"), QDateTime(QDate(2017, 1, 5), QTime(0, 0)));
    EXPECT_EQ(report.Calc("date"), QDateTime(QDate(2017, 1, 5), QTime(0, 0)));
    EXPECT_EQ(report.Calc("Time").toDateTime().time(), QTime(23, 59, 58));
    EXPECT_EQ(report.Calc("Page#"), 3);
    EXPECT_EQ(report.Calc("Line"), 2);
    EXPECT_EQ(report.Calc("TotalPages#"), 0);
    EXPECT_EQ(report.CompiledExpressionCount(), 0);  // none of these needed compiling
}

TEST_F(ExpressionFixture, NullFieldsThroughExpressionsFollowTheirType) {
    EXPECT_EQ(report.Calc("frxDBDataset1.\"CardName\""), QVariant(QString()));
    EXPECT_EQ(report.Calc("frxDBDataset1.\"Balance\""), QVariant(0));
    EXPECT_EQ(report.Calc("frxDBDataset1.\"Active\""), QVariant(false));
    report.EngineOptions.ConvertNulls = false;
    EXPECT_TRUE(report.Calc("FRXDBDATASET1.\"Balance\"").isNull());
}

TEST_F(ExpressionFixture, VariablesReportThenGlobal) {
    report.Variables.Set("Twice", "Page# * 2");
    report.Variables.Set("Multi", "a\r\nb");
    frxGlobalVariables().Set("Company", "KORVU");
    EXPECT_EQ(report.Calc("Twice"), 6);
    EXPECT_EQ(report.Calc("Multi"), "a\r\nb");
    EXPECT_EQ(report.Calc("Company + '!'"), "KORVU!");
    report.Variables.Set("Loop", "Loop");
    EXPECT_TRUE(errorOf("Loop").startsWith("Memo1: ") ||
                errorOf("Loop").startsWith("Error in expression 'Loop'"));
    frxGlobalVariables().Remove("Company");
}

TEST_F(ExpressionFixture, ErrorTexts) {
    report.CurObject = QStringLiteral("Memo1");
    EXPECT_EQ(errorOf("1 +"), u"Memo1: Error in expression '1 +': Unexpected end of expression");
    EXPECT_EQ(errorOf("(1"), u"Memo1: Error in expression '(1': Unexpected end of expression");
    EXPECT_EQ(errorOf("(1 2"), u"Memo1: Error in expression '(1 2': ')' expected");
    EXPECT_EQ(errorOf("Foo(1)"),
              u"Memo1: Error in expression 'Foo(1)': Undeclared identifier: 'Foo'");
    EXPECT_EQ(errorOf("1 / 0"),
              u"Memo1: Error in expression '1 / 0': Floating point division by zero");
    EXPECT_EQ(errorOf("'a' - 1"), u"Memo1: Error in expression ''a' - 1': Incompatible types");
    EXPECT_TRUE(report.Errors().contains(
        u"Memo1: Error in expression '1 +': Unexpected end of expression"));

    report.CurObject.clear();
    EXPECT_EQ(errorOf("2 div 0"), u"Error in expression '2 div 0': Division by zero");

    report.EngineOptions.IgnoreDevByZero = true;
    EXPECT_TRUE(report.Calc("1 / 0").isNull());

    report.ClearErrors();
    EXPECT_TRUE(report.Calc("Nobody + 1").isNull());
    EXPECT_EQ(report.Errors(), QStringList{"Unknown variable or datafield: Nobody"});
}

// Texts that once crashed the evaluator or gave undefined results: each is now
// a clear error (or the sound value) and the report goes on.
TEST_F(ExpressionFixture, HostileExpressionsFailCleanly) {
    auto repeated = [](const char* part, int times) { return QString::fromUtf8(part).repeated(times); };
    const std::pair<QString, const char*> failing[] = {
        {repeated("(", 5000) + "1" + repeated(")", 5000), "Expression nested too deeply"},
        {repeated("-", 5000) + "1", "Expression nested too deeply"},
        {repeated("not ", 5000) + "True", "Expression nested too deeply"},
        {"1" + repeated(" + 1", 20000), "Expression nested too deeply"},
        {"IIF(True, " + repeated("IIF(True, ", 3000) + "1", "Expression nested too deeply"},
        {"1e300 div 1", "Integer overflow"},
        {"5 mod -1e19", "Integer overflow"},
        {"(-9223372036854775807 - 1) div -1", "Integer overflow"},
        {"Date + 1e300", "Date out of range"},
        {"Date - 1e7", "Date out of range"},
    };
    for (const auto& [expression, message] : failing) {
        const QString error = errorOf(expression);
        EXPECT_TRUE(error.endsWith(QStringLiteral("': ") + message))
            << expression.left(40).toStdString() << " -> " << error.right(80).toStdString();
    }

    const std::pair<QString, QVariant> sound[] = {
        {repeated("(", 60) + "1" + repeated(")", 60), 1},
        {"(-9223372036854775807 - 1) mod -1", 0},
        {"9223372036854775807 div 2", 4611686018427387903LL},  // exact, not through a float
        {"Date + 1 > Date", true},
    };
    for (const auto& [expression, expected] : sound)
        EXPECT_EQ(report.Calc(expression), expected) << expression.left(40).toStdString();
}

TEST_F(ExpressionFixture, ExpressionsAreCompiledOncePerText) {
    report.Calc("1 + 1");
    report.Calc("1 + 1");
    report.Calc("2 + 2");
    EXPECT_EQ(report.CompiledExpressionCount(), 2);
    report.ClearExpressionCache();
    EXPECT_EQ(report.CompiledExpressionCount(), 0);
}

TEST_F(ExpressionFixture, MemoTexts) {
    memo->DisplayFormat.Kind = frx::fkDateTime;
    memo->DisplayFormat.FormatStr = QStringLiteral("dd-mmm-yyyy");
    const QString january = formatSettings().shortMonthNames[0];
    ASSERT_FALSE(january.isEmpty());
    EXPECT_EQ(output("[Date]"), "05-" + january + "-2017\r\n");
    memo->DisplayFormat = TfrxFormat();

    EXPECT_EQ(output("[Page#]"), "3\r\n");
    EXPECT_EQ(output("[TotalPages#]"), "[TotalPages#]\r\n");
    EXPECT_EQ(output("[totalpages#]"), "[TotalPages#]\r\n");
    EXPECT_EQ(output("Página [Page#] de [TotalPages#] fin"), "Página 3 de [TotalPages#] fin\r\n");
    EXPECT_EQ(output("two\r\nlines [Line#]"), "two\r\nlines 31\r\n");
    EXPECT_EQ(output("plain"), "plain\r\n");
    EXPECT_EQ(output(""), "");

    memo->AllowExpressions = false;
    EXPECT_EQ(output("[Page#]"), "[Page#]\r\n");
}

TEST_F(ExpressionFixture, InlineFormats) {
    EXPECT_EQ(output("[3.14159 #n%2.2f]"), "3.14\r\n");
    EXPECT_EQ(output("[IIF(True, 2.5, 0) #n%2.2f]"), "2.50\r\n");  // a call split the same way
    EXPECT_EQ(output("[IIF(True, 'a #b', 'c')]"), "a #b\r\n");     // " #" inside the call
    EXPECT_EQ(output("[1234.5 #n%2,2f]"), "1234,50\r\n");  // "," becomes the decimal separator
    EXPECT_EQ(output("[Date #ddd/mm/yy]"), "05/01/17\r\n");
    EXPECT_EQ(output("[1 = 1 #bSí,No]"), "Sí\r\n");
}

TEST_F(ExpressionFixture, HideZerosAndHighlight) {
    memo->HideZeros = true;
    EXPECT_EQ(output("[1 - 1] and ['0']"), " and 0\r\n");
    memo->HideZeros = false;
    memo->Highlight.Condition = QStringLiteral("Page# > 2");
    output("x");
    EXPECT_TRUE(memo->Highlight.Active);
    memo->Highlight.Condition.clear();
    output("x");
    EXPECT_FALSE(memo->Highlight.Active);
}

TEST_F(ExpressionFixture, SuppressRepeatedEmptiesARepeatUntilANewRun) {
    memo->SuppressRepeated = true;
    EXPECT_EQ(output("[Page#]"), "3\r\n");
    EXPECT_EQ(output("[Page#]"), "");
    EXPECT_EQ(output("other"), "other\r\n");
    EXPECT_EQ(output("[Page#]"), "3\r\n");
    memo->BeforeStartReport();
    EXPECT_EQ(output("[Page#]"), "3\r\n");
}

TEST_F(ExpressionFixture, BoundMemoShowsItsFieldWhateverItsText) {
    memo->SetDataSet(&dataSet);
    memo->SetDataField(QStringLiteral("CardCode"));
    memo->SetText(QStringLiteral("[Page#]"));
    memo->BeforePrint();
    memo->GetData();
    EXPECT_EQ(memo->Text(), u"P001\r\n");
    EXPECT_EQ(memo->Value, QVariant("P001"));
    EXPECT_EQ(report.CurrentValue, QVariant("P001"));

    memo->SetDataField(QStringLiteral("CardName"));  // Null string field
    memo->GetData();
    EXPECT_EQ(memo->Text(), u"");
    EXPECT_TRUE(memo->Value.isNull());

    report.CurObject = memo->Name();
    memo->SetDataField(QStringLiteral("Missing"));
    memo->GetData();
    EXPECT_EQ(memo->Text(), u"Field not found: frxDBDataset1.\"Missing\"\r\n");
    EXPECT_EQ(report.Errors(), QStringList{"Memo1: Field not found: frxDBDataset1.\"Missing\""});
}

TEST_F(ExpressionFixture, ExtractMacrosFillsPageCountAndCopyName) {
    memo->SetText(QStringLiteral("Página 2 de [TotalPages#], [totalpages#] [CopyName#]."));
    memo->FTotalPages = 4;
    memo->ExtractMacros();
    EXPECT_EQ(memo->Text(), u"Página 2 de 4, 4 .\r\n");

    frxGlobalVariables().Set("CopyName1", "ORIGINAL");
    memo->SetText(QStringLiteral("[COPYNAME#]"));
    memo->ExtractMacros();
    EXPECT_EQ(memo->Text(), u"ORIGINAL\r\n");
    frxGlobalVariables().Remove("CopyName1");

    memo->AllowExpressions = false;
    memo->SetText(QStringLiteral("[TotalPages#]"));
    memo->ExtractMacros();
    EXPECT_EQ(memo->Text(), u"[TotalPages#]\r\n");
}

TEST_F(ExpressionFixture, FormatDataCases) {
    auto format = [](frx::TfrxFormatKind kind, const char* str, const char* decimal = "",
                     const char* thousand = "") {
        TfrxFormat f;
        f.Kind = kind;
        f.FormatStr = QString::fromUtf8(str);
        f.DecimalSeparator = QString::fromUtf8(decimal);
        f.ThousandSeparator = QString::fromUtf8(thousand);
        return f;
    };
    const QString january = formatSettings().shortMonthNames[0];
    struct Case {
        QVariant value;
        TfrxFormat format;
        QString expected;
    };
    const Case cases[] = {
        {QVariant(), format(frx::fkNumeric, "%2.2f"), ""},
        {QVariant(), format(frx::fkDateTime, "dd"), ""},
        {42, format(frx::fkText, ""), "42"},
        {0.1, format(frx::fkText, ""), "0.1"},
        {1e20, format(frx::fkText, ""), "1E20"},
        {QDate(2016, 6, 24), format(frx::fkText, ""), "24/06/2016"},
        {QDateTime(QDate(2016, 6, 24), QTime(14, 11, 21)), format(frx::fkText, ""),
         "24/06/2016 14:11:21"},
        {true, format(frx::fkText, ""), "True"},
        {QDateTime(QDate(1899, 12, 30), QTime(8, 30)), format(frx::fkText, ""), "08:30:00"},
        {3.14159, format(frx::fkNumeric, "%2.2f"), "3.14"},
        {3.7, format(frx::fkNumeric, "%d"), "4"},
        {7, format(frx::fkNumeric, "%5d"), "    7"},
        {1234567.891, format(frx::fkNumeric, "#,##0.00"), "1,234,567.89"},
        {1234567.891, format(frx::fkNumeric, "#,##0.00", ",", "."), "1.234.567,89"},
        {-5.5, format(frx::fkNumeric, "0.0;(0.0)"), "(5.5)"},
        {0.5, format(frx::fkNumeric, "#.##"), ".5"},
        {1234.5, format(frx::fkNumeric, "%n"), "1,234.50"},
        {"abc", format(frx::fkNumeric, "%2.2f"), "abc"},     // a text under a numeric format
        {"12.5", format(frx::fkNumeric, "%2.2f"), "12.50"},  // a text that reads as a number
        {QDate(2017, 1, 5), format(frx::fkDateTime, "dd-mmm-yyyy"), "05-" + january + "-2017"},
        {QDateTime(QDate(2017, 1, 5), QTime(9, 5, 7)), format(frx::fkDateTime, "d/m/yy hh:nn:ss"),
         "5/1/17 09:05:07"},
        {QDateTime(QDate(2017, 1, 5), QTime(9, 5)), format(frx::fkDateTime, "h:mm 'h'"), "9:05 h"},
        {"not a date", format(frx::fkDateTime, "dd"), "not a date"},
        {true, format(frx::fkBoolean, "Sí,No"), "Sí"},
        {false, format(frx::fkBoolean, "Sí,No"), "No"},
        {0, format(frx::fkBoolean, "Sí,No"), "No"},
        // Values and formats that once gave undefined results or exhausted
        // memory: beyond 64 bits, beyond any date, widths beyond any line.
        {9.3e18, format(frx::fkNumeric, "%d"), "9.3E18"},
        {qlonglong(-9223372036854775807LL - 1), format(frx::fkNumeric, "%d"),
         "-9223372036854775808"},
        {7, format(frx::fkNumeric, "%.5d"), "00007"},
        {7, format(frx::fkNumeric, "%999999999d"), "7"},
        {7, format(frx::fkNumeric, "%.2000f"), "7"},
        {1e300, format(frx::fkDateTime, "dd"), "1E300"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatData(c.value, c.format), c.expected)
            << c.format.FormatStr.toStdString() << " " << c.value.toString().toStdString();
}

}  // namespace
}  // namespace qev
