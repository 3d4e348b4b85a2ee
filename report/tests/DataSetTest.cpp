#include "format/Currency.h"
#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxReport.h"
#include "testing/VectorRecordSet.h"
#include "testing/QtPrinters.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace qev {
namespace {

using test::VectorRecordSet;

VectorRecordSet suppliers() {
    return VectorRecordSet(
        QStringLiteral("TablaProveedores"),
        {{"CardCode"},
         {"CardName"},
         {"Balance", FieldType::Currency},
         {"Docs", FieldType::Integer},
         {"Since", FieldType::DateTime},
         {"Notes", FieldType::Blob},
         {"Active", FieldType::Boolean}},
        {{"P001", "Aceros del Norte", 1500.25, 3, QDateTime(QDate(2016, 6, 24), QTime(10, 0)),
          "nota", true},
         {"P002", QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), false},
         {"P003", "Cartones Bajío", -20.5, 0, QVariant(), QVariant(), true}});
}

struct DataSetFixture : ::testing::Test {
    DataSetFixture() {
        dataSet.SetName(QStringLiteral("frxDBDataset1"));
        dataSet.SetUserName(QStringLiteral("frxDBDataset1"));
        dataSet.SetDataSet(&records);
        dataSet.ReportRef = &report;
        report.AddDataSet(&dataSet);
    }
    QStringList walk() {
        QStringList codes;
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
            codes << dataSet.GetValue(QStringLiteral("CardCode")).toString();
        return codes;
    }

    VectorRecordSet records = suppliers();
    TfrxReport report;
    TfrxDBDataset dataSet;
};

TEST_F(DataSetFixture, LookupByNameIgnoresCase) {
    TfrxDBDataset movements;
    movements.SetUserName(QStringLiteral("frxDBDataset2"));
    EXPECT_EQ(frxFindDataSet(nullptr, QStringLiteral("FRXDBDATASET2"), &report), &movements);
    EXPECT_EQ(report.GetDataset(QStringLiteral("FRXDBDATASET1")), &dataSet);
    EXPECT_EQ(report.GetDataset(QStringLiteral("frxDBDataset2")),
              nullptr);  // not one of the report's
    EXPECT_EQ(frxFindDataSet(&dataSet, QStringLiteral("nothing"), &report),
              &dataSet);  // keeps the previous
    EXPECT_EQ(frxFindDataSet(&dataSet, QString(), &report), nullptr);

    report.EngineOptions.UseGlobalDataSetList = false;
    EXPECT_EQ(frxFindDataSet(nullptr, QStringLiteral("frxDBDataset2"), &report), nullptr);
    EXPECT_EQ(frxFindDataSet(nullptr, QStringLiteral("frxdbdataset1"), &report), &dataSet);
}

TEST_F(DataSetFixture, DataSetsOfAnotherReportAreSkipped) {
    TfrxReport other;
    auto* owned = new TfrxDBDataset(&other);
    owned->SetUserName(QStringLiteral("Shared"));
    TfrxDBDataset global;
    global.SetUserName(QStringLiteral("shared"));
    EXPECT_EQ(frxFindDataSet(nullptr, QStringLiteral("Shared"), &report), &global);
    EXPECT_EQ(frxFindDataSet(nullptr, QStringLiteral("Shared"), &other), owned);

    TfrxMasterData band;  // a band of no report: the global list
    band.SetDataSetName(QStringLiteral("FRXDBDATASET1"));
    EXPECT_EQ(band.DataSet(), &dataSet);
    EXPECT_EQ(band.DataSetName(), u"frxDBDataset1");
}

TEST_F(DataSetFixture, BlankUserNameAndMissingRecordSetAreRefused) {
    try {
        dataSet.SetUserName(QStringLiteral("  "));
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), u"prInvProp");
    }
    TfrxDBDataset unconnected;
    unconnected.SetName(QStringLiteral("frxDBDataset9"));
    try {
        unconnected.Initialize();
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), u"DataSet frxDBDataset9 is not connected to data");
    }
}

TEST_F(DataSetFixture, HeaderDataSetIsReadWithoutMovingOrClosing) {
    records.open();
    records.goTo(1);
    int appOpenCalls = 0;
    records.afterOpen = [&] { ++appOpenCalls; };

    dataSet.Initialize();
    EXPECT_EQ(records.position(), 1);
    EXPECT_FALSE(dataSet.IsOpened());
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("CardCode")),
              QVariant("P002"));  // opens: field list only
    EXPECT_EQ(records.Opens, 1);
    EXPECT_EQ(records.Moves, 0);
    EXPECT_EQ(dataSet.GetFieldList().size(), 7);
    dataSet.Finalize();

    EXPECT_TRUE(records.isOpen());
    EXPECT_EQ(records.position(), 1);
    EXPECT_FALSE(dataSet.IsOpened());
    records.close();
    records.open();
    EXPECT_EQ(appOpenCalls, 1);  // the application's handler is back and was kept
}

TEST_F(DataSetFixture, WalkFromFirstToLastAndStayOnTheLast) {
    dataSet.Initialize();
    EXPECT_EQ(walk(), (QStringList{"P001", "P002", "P003"}));
    dataSet.Finalize();
    EXPECT_TRUE(records.isOpen());
    EXPECT_EQ(records.position(), 2);

    VectorRecordSet empty(QStringLiteral("TablaSql"), QStringList{"MFECHA"});
    dataSet.SetDataSet(&empty);
    dataSet.Initialize();
    dataSet.First();
    EXPECT_TRUE(dataSet.Eof());
    dataSet.Finalize();
}

TEST_F(DataSetFixture, Ranges) {
    records.open();
    records.goTo(1);
    dataSet.RangeBegin = frx::rbCurrent;
    dataSet.Initialize();
    EXPECT_EQ(walk(), (QStringList{"P002", "P003"}));
    dataSet.Finalize();
    EXPECT_EQ(records.position(), 1);  // back to the bookmark

    dataSet.RangeEnd = frx::reCurrent;
    dataSet.Initialize();
    EXPECT_EQ(walk(), QStringList{"P002"});
    dataSet.Finalize();

    dataSet.RangeBegin = frx::rbFirst;
    dataSet.RangeEnd = frx::reCount;
    dataSet.RangeEndCount = 2;
    dataSet.Initialize();
    EXPECT_EQ(walk(), (QStringList{"P001", "P002"}));
    EXPECT_EQ(dataSet.RecNo, 1);
    dataSet.Finalize();
}

TEST_F(DataSetFixture, CounterDataSetOfABandWithRowCount) {
    TfrxMasterData band;
    band.SetRowCount(3);
    TfrxDataSet* counter = band.VirtualDataSet();
    ASSERT_NE(counter, nullptr);
    int rows = 0;
    for (counter->First(); !counter->Eof(); counter->Next()) ++rows;
    EXPECT_EQ(rows, 3);
    EXPECT_TRUE(band.Objects().isEmpty());
}

TEST_F(DataSetFixture, UnknownFieldGivesTheNotFoundTextAndOneError) {
    dataSet.Initialize();
    report.CurObject = QStringLiteral("frxDBDataset1CardCode");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dataSet.GetDisplayText(QStringLiteral("Nope")),
                  u"Field not found: frxDBDataset1.\"Nope\"");
    EXPECT_TRUE(dataSet.GetValue(QStringLiteral("Nope")).isNull());
    EXPECT_EQ(report.Errors(),
              QStringList{"frxDBDataset1CardCode: Field not found: frxDBDataset1.\"Nope\""});
    dataSet.Finalize();
}

TEST_F(DataSetFixture, ValuesByFieldType) {
    dataSet.Initialize();
    dataSet.First();
    const QVariant balance = dataSet.GetValue(QStringLiteral("balance"));
    EXPECT_EQ(balance.typeId(), QMetaType::Double);
    EXPECT_EQ(balance.toDouble(), 1500.25);
    dataSet.BCDToCurrency = true;
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("Balance")).value<Currency>(),
              Currency::fromRaw(15002500));
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("Docs")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("Since")).toDateTime(),
              QDateTime(QDate(2016, 6, 24), QTime(10, 0)));
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("Notes")), QVariant("nota"));
    EXPECT_TRUE(dataSet.IsBlobField(QStringLiteral("Notes")));
    EXPECT_FALSE(dataSet.IsBlobField(QStringLiteral("CardName")));
    EXPECT_EQ(dataSet.GetDisplayText(QStringLiteral("Balance")), u"1500.25");
    EXPECT_EQ(dataSet.GetFieldType(QStringLiteral("CardName")), frx::fftString);
    EXPECT_EQ(dataSet.GetFieldType(QStringLiteral("Active")), frx::fftBoolean);
    EXPECT_EQ(dataSet.GetFieldType(QStringLiteral("Docs")), frx::fftNumeric);
    EXPECT_EQ(dataSet.GetFieldType(QStringLiteral("Nope")), frx::fftNumeric);

    dataSet.Next();
    for (const char* field : {"CardName", "Balance", "Docs", "Since"})
        EXPECT_TRUE(dataSet.GetValue(QString::fromLatin1(field)).isNull()) << field;
    EXPECT_EQ(dataSet.GetDisplayText(QStringLiteral("CardName")), u"");
    dataSet.Finalize();
}

// What a memo reads of a row in one call is what it would read field by
// field: the value, the display text, a blob's text; nulls and unknown fields
// too. Memos pass the same strings row after row; two of these share their
// characters but not their length.
TEST_F(DataSetFixture, ReadFieldGivesTheValueAndTheDisplayText) {
    static const QChar shared[] = {u'C', u'a', u'r', u'd', u'N', u'a', u'm', u'e'};
    QStringList fields = {QString::fromRawData(shared, 8), QString::fromRawData(shared, 4)};
    for (const char* name : {"cardname", "Balance", "Docs", "Since", "Notes", "Active", "Nope"})
        fields << QString::fromLatin1(name);
    dataSet.Initialize();
    dataSet.First();
    EXPECT_EQ(dataSet.ReadField(fields[0], true).text, u"Aceros del Norte");
    EXPECT_FALSE(dataSet.ReadField(fields[1], true).value.isValid());  // "Card"
    for (int row = 0; row < 2; ++row, dataSet.Next()) {
        for (const QString& field : fields) {
            const std::string name = field.toStdString();
            const bool blob = dataSet.IsBlobField(field);
            const QVariant value = dataSet.GetValue(field);
            const QString text = blob ? value.toString() : dataSet.GetDisplayText(field);
            const TfrxFieldReading withText = dataSet.ReadField(field, true);
            EXPECT_EQ(withText.value, value) << name << row;
            EXPECT_EQ(withText.value.isValid(), value.isValid()) << name << row;
            EXPECT_EQ(withText.blob, blob) << name << row;
            EXPECT_EQ(withText.text, text) << name << row;
            const TfrxFieldReading without = dataSet.ReadField(field, false);
            EXPECT_EQ(without.value, value) << name << row;
            EXPECT_EQ(without.text, blob ? text : QString()) << name << row;
        }
    }
    dataSet.Finalize();
}

// Field names are resolved once per record set: another record set, with
// its fields in another order, is read by its own.
TEST_F(DataSetFixture, AnotherRecordSetIsReadByItsOwnFields) {
    dataSet.Initialize();
    dataSet.First();
    EXPECT_EQ(dataSet.GetDisplayText(QStringLiteral("CardName")), u"Aceros del Norte");
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("Docs")), QVariant(qlonglong(3)));
    EXPECT_EQ(dataSet.GetDisplayText(QStringLiteral("Balance")), u"1500.25");
    dataSet.Finalize();
    VectorRecordSet other(QStringLiteral("Otra"), {{"Docs", FieldType::Integer}, {"CardName"}},
                          {{7, "Papelera del Sur"}});
    dataSet.SetDataSet(&other);
    dataSet.Initialize();
    dataSet.First();
    EXPECT_EQ(dataSet.GetDisplayText(QStringLiteral("CardName")), u"Papelera del Sur");
    EXPECT_EQ(dataSet.GetValue(QStringLiteral("Docs")), QVariant(qlonglong(7)));
    EXPECT_EQ(dataSet.GetDisplayText(QStringLiteral("Balance")),
              u"Field not found: frxDBDataset1.\"Balance\"");
    dataSet.Finalize();
}

TEST_F(DataSetFixture, ClosingTheRecordSetDropsTheBookmark) {
    dataSet.RangeBegin = frx::rbCurrent;
    dataSet.Initialize();
    dataSet.First();
    records.close();
    EXPECT_FALSE(dataSet.IsOpened());
    dataSet.CloseDataSource = true;
    dataSet.Finalize();  // no bookmark to go back to; closes
    EXPECT_FALSE(records.isOpen());
}

}  // namespace
}  // namespace qev
