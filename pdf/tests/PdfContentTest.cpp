#include "PdfSamples.h"
#include "PdfTestTools.h"
#include "pdf/PdfNumbers.h"
#include "testing/QtPrinters.h"

#include <QFile>
#include <QRegularExpression>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include <random>

#include <gtest/gtest.h>

namespace qev::test {
namespace {

TEST(PdfNumbers, TwoDecimalsWithPoint) {
    const std::pair<double, const char*> cases[] = {{12.5, "12.50"},
                                                    {0, "0.00"},
                                                    {-3, "-3.00"},
                                                    {612, "612.00"},
                                                    {-0.001, "0.00"},  // no negative zero
                                                    {1234567.891, "1234567.89"},
                                                    {0.004, "0.00"},
                                                    {0.006, "0.01"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(frFloat2Str(value), QByteArray(text)) << value;
    EXPECT_EQ(StrToHex(QVector<quint16>{36, 37, 0xABCD}), QByteArray("00240025ABCD"));
}

// The texts must stay exactly printf's "%.2f": every coordinate of every page
// goes through them. Halves that a double holds exactly round to even; the
// others follow the binary value (2.675 is a little below, -612.345 a little
// beyond its half).
TEST(PdfNumbers, TwoDecimalsAsPrintfRoundsThem) {
    auto printed = [](double value) {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.2f", value);
        return QByteArray(buffer) == "-0.00" ? QByteArray("0.00") : QByteArray(buffer);
    };
    const std::pair<double, const char*> cases[] = {
        {0.125, "0.12"},   {0.375, "0.38"},   {2.675, "2.67"},     {1.005, "1.00"},
        {-0.005, "-0.01"}, {-0.0049, "0.00"}, {1e15 + 0.5, "1000000000000000.50"},
        {-612.345, "-612.35"}};  // -612.34500000000003
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(frFloat2Str(value), QByteArray(text)) << value;
        EXPECT_EQ(printed(value), QByteArray(text)) << value;
    }
    // Report pixels times 0.75 over a page and beyond, in steps that hit
    // every kind of fraction.
    for (int i = -200000; i <= 200000; ++i) {
        const double value = i * 0.0125 * 0.75 + i / 7.0;
        ASSERT_EQ(frFloat2Str(value), printed(value)) << value;
    }
    // Around every half of a hundredth, at the smallest steps a double takes,
    // and at random over many magnitudes.
    for (int k = -100000; k <= 100000; k += 7) {
        double value = k / 100.0 + 0.005;
        for (int step = 0; step < 4; ++step) value = std::nextafter(value, -1e300);
        for (int step = 0; step < 8; ++step, value = std::nextafter(value, 1e300))
            ASSERT_EQ(frFloat2Str(value), printed(value)) << value;
    }
    std::uint64_t seed = 42;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        const double unit = double(seed >> 11) / double(1ULL << 53);
        const double value = (unit - 0.5) * std::pow(10.0, double(i % 12) - 2);
        ASSERT_EQ(frFloat2Str(value), printed(value)) << value;
    }
    QByteArray appended = "x ";
    appendFloat2(appended, 3.14159);
    EXPECT_EQ(appended, QByteArray("x 3.14"));
}

TEST(PdfColors, ComponentsOfReportColours) {
    PdfColorConverter colors;
    EXPECT_EQ(colors.GetPDFColor(0), QByteArray("0 0 0"));
    EXPECT_EQ(colors.GetPDFColor(0xFFFFFF), QByteArray("1 1 1"));
    EXPECT_EQ(colors.GetPDFColor(0xFFFF00), QByteArray("0.00 1.00 1.00"));    // aqua
    EXPECT_EQ(colors.GetPDFColor(255), QByteArray("1.00 0.00 0.00"));         // red
    EXPECT_EQ(colors.GetPDFColor(255), QByteArray("1.00 0.00 0.00"));         // from the cache
    EXPECT_EQ(colors.GetPDFColor(0x1FFFFFFF), QByteArray("1.00 1.00 1.00"));  // clNone
    EXPECT_EQ(colors.GetPDFColor(0x00808080), QByteArray("0.50 0.50 0.50"));
    EXPECT_EQ(PdfColor(0x00808080), QByteArray("0.50 0.50 0.50"));
    EXPECT_EQ(PdfColor(0x00FF000D), QByteArray("0.05 0 1"));
}

TEST(PdfColors, DashPatterns) {
    const std::tuple<PdfDashStyle, double, const char*> cases[] = {
        {PdfDashStyle::Solid, 1, "[] 0 d"},
        {PdfDashStyle::Dash, 1, "[6.00 ] 0 d"},
        {PdfDashStyle::Dot, 1, "[2.00 6.00 ] 0 d"},
        {PdfDashStyle::DashDot, 2, "[12.00 12.00 4.00 12.00 ] 0 d"},
        {PdfDashStyle::DashDotDot, 1, "[6.00 6.00 2.00 6.00 2.00 6.00 ] 0 d"},
        {PdfDashStyle::Double, 3, "[] 0 d"},
        {PdfDashStyle::Square, 1, "[] 0 d"}};
    for (const auto& [style, width, text] : cases)
        EXPECT_EQ(GetPDFDash(style, width), QByteArray(text)) << text;
}

// A writer with one open Letter page (10 mm margins) and a painter on it.
class PdfContent : public ::testing::Test {
  protected:
    void SetUp() override {
        buffer.setBuffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        writer.start(&buffer, PdfDocumentOptions{}, fixedGuid, fixedDate);
        writer.startPage(816, 1056, 10, 10, 10, 10, pdfColorNone);
    }
    QByteArray content() const { return const_cast<PdfWriter&>(writer).OutStream(); }
    QList<QByteArray> contentLines() const {
        QList<QByteArray> lines = content().split('\n');
        for (QByteArray& line : lines) line.chop(1);
        lines.removeLast();
        return lines;
    }
    QList<double> textY() const {
        QList<double> ys;
        const QRegularExpression td(QStringLiteral("([-\\d.]+) ([-\\d.]+) Td"));
        for (const auto& m : td.globalMatch(QString::fromLatin1(content())))
            ys.append(m.captured(2).toDouble());
        return ys;
    }
    QList<double> textX() const {
        QList<double> xs;
        const QRegularExpression td(QStringLiteral("([-\\d.]+) ([-\\d.]+) Td"));
        for (const auto& m : td.globalMatch(QString::fromLatin1(content())))
            xs.append(m.captured(1).toDouble());
        return xs;
    }

    QByteArray bytes;
    QBuffer buffer;
    PdfWriter writer;
    PdfPainter painter{writer};
    FixedLayout layout;
};

TEST_F(PdfContent, PageTermsPlaceViewsHalfAPointInsideWithTenMillimetreMargins) {
    const PdfPainter::Edges e = painter.edges({41.57483, 185.19697, 100, 20});
    EXPECT_EQ(e.Left, QByteArray("31.68"));
    EXPECT_EQ(e.Top, QByteArray("652.60"));
    EXPECT_EQ(e.Width, QByteArray("75.00"));
    EXPECT_EQ(writer.GetLeft(0), 0.5);
    EXPECT_EQ(writer.GetTop(0), 791.5);
}

TEST_F(PdfContent, GreyPageBackground) {
    writer.startPage(816, 1056, 10, 10, 10, 10, 0x00808080);
    EXPECT_EQ(contentLines(), (QList<QByteArray>{"0.00 w", "0.50 0.50 0.50 RG", "0.50 0.50 0.50 rg",
                                                 "28.35 28.35 m", "583.65 28.35 l",
                                                 "583.65 763.65 l", "28.35 763.65 l", "B"}));
}

TEST_F(PdfContent, RectanglesAndLines) {
    PdfFrame frame;
    painter.drawShape({100, 200, 40, 20}, frame, 0xFFFF00, PdfShapeKind::Rectangle);
    EXPECT_EQ(contentLines(),
              (QList<QByteArray>{"[] 0 d", "0 0 0 RG", "0.75 w", "0.00 1.00 1.00 rg",
                                 "75.50 626.50 ", "30.00 15.00 re", "B"}));
    writer.OutStream().clear();
    painter.drawShape({100, 200, 40, 20}, frame, 0xFFFFFF, PdfShapeKind::Rectangle);
    EXPECT_EQ(contentLines()[3], QByteArray("1 1 1 rg"));
    writer.OutStream().clear();
    painter.drawShape({100, 200, 40, 20}, frame, pdfColorNone, PdfShapeKind::Rectangle);
    EXPECT_EQ(contentLines()[3], QByteArray("1.00 1.00 1.00 rg"));
    EXPECT_EQ(contentLines().last(), QByteArray("S"));

    writer.OutStream().clear();
    frame.Top = true;
    painter.drawLine({100, 200, 40, 0}, frame);  // zero height: a horizontal segment at the top
    EXPECT_EQ(contentLines(), (QList<QByteArray>{"[] 0 d", "0 0 0 RG", "0.75 w", "75.50 641.50 m",
                                                 "105.50 641.50 l", "S"}));
}

TEST_F(PdfContent, OtherShapesCloseWithFillOrStroke) {
    PdfFrame frame;
    painter.drawShape({100, 200, 40, 20}, frame, 255, PdfShapeKind::Triangle);
    EXPECT_EQ(contentLines()[4],
              QByteArray("90.50 641.50 m 105.50 626.50 l 75.50 626.50 l 90.50 641.50 l"));
    EXPECT_EQ(contentLines().last(), QByteArray("B"));
    writer.OutStream().clear();
    painter.drawShape({100, 200, 40, 20}, frame, 255, PdfShapeKind::Diagonal1);
    EXPECT_EQ(contentLines(), (QList<QByteArray>{"[] 0 d", "0 0 0 RG", "0.75 w", "75.50 626.50 m",
                                                 "105.50 641.50 l", "S"}));
    writer.OutStream().clear();
    painter.drawShape({100, 200, 40, 20}, frame, pdfColorNone, PdfShapeKind::Ellipse);
    EXPECT_EQ(contentLines()[4], QByteArray("105.50 634.00 m"));
    EXPECT_EQ(contentLines().last(), QByteArray("S"));
}

TEST_F(PdfContent, FrameSidesInTopRightBottomLeftOrder) {
    PdfMemo memo = sampleMemo(QString(), 100, 200, false);
    memo.lines.clear();
    memo.frame.Top = memo.frame.Bottom = true;
    memo.frame.BottomLine.Style = PdfDashStyle::Dash;
    memo.frame.BottomLine.Color = 255;
    painter.drawMemo(memo, layout);
    const QByteArray text = content();
    EXPECT_TRUE(text.contains(
        "0 0 0 RG\r\n0 0 0 RG\r\n[] 0 d\r\n0.75 w\r\n75.50 641.50 m\r\n300.50 641.50 l\r\nS\r\n"
        "1.00 0.00 0.00 RG\r\n[6.00 ] 0 d\r\n0.75 w\r\n75.50 628.00 m\r\n300.50 628.00 "
        "l\r\nS\r\n"));
}

TEST_F(PdfContent, EmptyMemoWritesOnlyItsClip) {
    PdfMemo memo = sampleMemo(QString(), 100, 200, false);
    memo.lines.clear();
    painter.drawMemo(memo, layout);
    EXPECT_EQ(contentLines(),
              (QList<QByteArray>{"q", "74.75 627.25 226.50 15.00 re", "W", "n", "Q"}));
    EXPECT_EQ(layout.lastRect, QRect(102, 201, 297, 17));
    EXPECT_EQ(layout.locks, 0);  // the layout lock was given back
}

TEST_F(PdfContent, FilledMemoWithText) {
    PdfMemo memo = sampleMemo(QStringLiteral("AB"), 100, 200, false);
    memo.Color = 0xFFFF00;
    painter.drawMemo(memo, layout);
    // Left aligned: AbsLeft + GapX + 0.01 s + GapX / 2; baseline at AbsTop + GapY - 0.1 s + h.
    EXPECT_EQ(contentLines(),
              (QList<QByteArray>{"q", "74.75 627.25 226.50 15.00 re", "W", "n", "0.00 1.00 1.00 rg",
                                 "75.50 628.00 225.00 13.50 re", "f", "/F0 10 Tf", "0 0 0 rg", "BT",
                                 "77.82 630.04 Td", "<00240025> Tj", "ET", "Q"}));
}

// The text cache tells texts apart by everything they are laid out with, not
// only by what it hashes (the text, box and font size and style).
TEST_F(PdfContent, SameTextInAnotherFontIsNotTakenFromTheCache) {
    PdfMemo memo = sampleMemo(QStringLiteral("AB"), 100, 200, false);
    painter.drawMemo(memo, layout);
    memo.font.name = QStringLiteral("Courier New");
    painter.drawMemo(memo, layout);
    memo.font.name = QStringLiteral("Arial");
    painter.drawMemo(memo, layout);
    QList<QByteArray> fonts;
    for (const QByteArray& line : contentLines())
        if (line.endsWith(" Tf")) fonts.append(line);
    EXPECT_EQ(fonts, (QList<QByteArray>{"/F0 10 Tf", "/F1 10 Tf", "/F0 10 Tf"}));
}

// A text met for the first time is laid out but not kept; met again it is
// kept. Either way it is drawn the same, whatever was drawn in between.
TEST_F(PdfContent, TextsMetOnceOrAgainAreDrawnAlike) {
    const QStringList texts{"$1,234.50", "F-44162", "$1,234.50", "AB",
                            "$1,234.50", "F-44162", "$9.99",     "F-44162"};
    for (const QString& text : texts) painter.drawMemo(sampleMemo(text, 100, 200, false), layout);
    QList<QByteArray> drawn;  // one "q ... Q" block per memo
    for (const QByteArray& line : contentLines()) {
        if (line == "q") drawn.append(QByteArray());
        drawn.last() += line + '\n';
    }
    ASSERT_EQ(drawn.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i)
        for (int j = 0; j < i; ++j)
            EXPECT_EQ(drawn[i] == drawn[j], texts[i] == texts[j]) << i << " and " << j;
}

// Numbers written again come from the writer's table of recent ones: each
// must still read as it did the first time, whatever shares its slot.
TEST_F(PdfContent, NumbersWrittenAgainReadAsTheFirstTime) {
    std::vector<double> values{0, -0.0, 0.004, -0.004, 0.005, 1.125, 74.75, 627.25,
                               -3.5, 1e7, 1e300, -1e300, 123456789.126};
    std::mt19937 random(3);
    for (int i = 0; i < 2000; ++i) values.push_back(double(random() % 100000) / 100 + 0.001 * (i % 7));
    QByteArray expected;
    for (int round = 0; round < 3; ++round)
        for (const double value : values) {
            writer.lineOf(value);
            expected += frFloat2Str(value) + "\r\n";
        }
    EXPECT_EQ(content(), expected);
}

TEST_F(PdfContent, EmptyWrappedLineIsSkippedButKeepsItsPlace) {
    PdfMemo memo = sampleMemo(QString(), 100, 200, false);
    memo.box.Height = 80;
    memo.lines = QStringList{QStringLiteral("uno"), QString(), QStringLiteral("tres"),
                             QStringLiteral("cuatro")};
    painter.drawMemo(memo, layout);
    const QList<double> ys = textY();
    ASSERT_EQ(ys.size(), 3);
    EXPECT_NEAR(ys[0] - ys[1], 2 * 15.28 * 0.75, 0.011);
    EXPECT_NEAR(ys[1] - ys[2], 15.28 * 0.75, 0.011);
    EXPECT_EQ(content().count("BT"), 3);
    EXPECT_EQ(content().count(" Tf"), 1);  // text state once per memo
}

TEST_F(PdfContent, CharSpacingShiftsOnlyRightAlignedLines) {
    auto x = [this](PdfHAlign align, double spacing) {
        writer.OutStream().clear();
        PdfMemo memo = sampleMemo(QStringLiteral("123"), 100, 200, false);
        memo.HAlign = align;
        memo.CharSpacing = spacing;
        painter.drawMemo(memo, layout);
        return textX().value(0);
    };
    const double shifted = x(PdfHAlign::Right, 2);
    EXPECT_TRUE(content().contains("\r\n1.50 Tc\r\n"));
    EXPECT_NEAR(shifted - x(PdfHAlign::Right, 0), 1.5, 0.011);
    EXPECT_FALSE(content().contains("Tc"));
    EXPECT_EQ(x(PdfHAlign::Left, 2), x(PdfHAlign::Left, 0));
    EXPECT_EQ(x(PdfHAlign::Center, 2), x(PdfHAlign::Center, 0));
    // Centred in Width - 8 (gaps and shadow width): 300 - 8 = 292 around 18 px of text.
    EXPECT_NEAR(x(PdfHAlign::Center, 0), writer.GetLeft(100 + 3 + 0.1 + (292 - 18) / 2.0), 0.006);
}

TEST_F(PdfContent, UnderlinedAndSimulatedBoldText) {
    PdfMemo memo = sampleMemo(QStringLiteral("AB"), 100, 200, false);
    memo.font.underline = true;
    memo.fontColor = 255;
    painter.drawMemo(memo, layout);
    const QByteArray text = content();
    EXPECT_TRUE(text.contains(
        "ET\r\n1.00 0.00 0.00 RG\r\n0.80 w\r\n77.82 628.84 m\r\n86.82 628.84 l\r\nS\r\nQ"));

    writer.OutStream().clear();
    memo.font = PdfFontStyle{QStringLiteral("MS UI Gothic"), true};
    painter.drawMemo(memo, layout);
    EXPECT_TRUE(content().contains("Td\r\n2 Tr 0.29 w 1.00 0.00 0.00 RG\r\n<"));
    EXPECT_TRUE(content().contains("ET\r\n0 Tr\r\n"));
}

TEST_F(PdfContent, RotatedMemoTurnsAroundItsCentre) {
    PdfMemo memo = sampleMemo(QStringLiteral("AB"), 100, 200, false);
    memo.Rotation = 90;
    painter.drawMemo(memo, layout);
    EXPECT_TRUE(content().contains("0.00 1.00 -1.00 0.00 188.00 634.75 cm\r\n"));
    // Left aligned, top: x = -(oh / 2) * 0.75, y = -((h) - ow / 2) * 0.75 + 0.4 s.
    EXPECT_EQ(textX().value(0), -5.25);
    EXPECT_NEAR(textY().value(0), -(15.28 - 148) * 0.75 + 4, 0.006);
}

TEST_F(PdfContent, DropShadowAndUnderlines) {
    PdfMemo memo = sampleMemo(QString(), 100, 200, false);
    memo.lines.clear();
    memo.Underlines = true;
    memo.box.Height = 40;
    memo.frame.DropShadow = true;
    painter.drawMemo(memo, layout);
    const QByteArray text = content();
    EXPECT_TRUE(text.contains("0 0 0 rg\r\n0 0 0 RG\r\n297.50 611.50 3.00 27.00 re\r\nB\r\n"));
    EXPECT_EQ(text.count(" m\r\n"), 2);  // trunc(40 / 15.28) ruled lines
}

TEST(PdfFonts, LookupNamesAndStyles) {
    PdfFontList fonts;
    PdfFontStyle bold{QStringLiteral("Arial"), true};
    PdfFontStyle regular{QStringLiteral("Arial")};
    PdfFontStyle underlined{QStringLiteral("Arial"), false, false, true};
    EXPECT_EQ(fonts.GetObjFontNumber(bold), 0);
    EXPECT_EQ(fonts.GetObjFontNumber(regular), 1);
    EXPECT_EQ(fonts.GetObjFontNumber(bold), 0);
    EXPECT_EQ(fonts.GetObjFontNumber(underlined), 2);
    EXPECT_EQ(fonts.pageFont(0).Name, QByteArray("/F0"));
    EXPECT_EQ(fonts.pageFont(0).GetFontName(), QByteArray("Arial,Bold"));
    EXPECT_EQ(fonts.pageFont(1).GetFontName(), QByteArray("Arial"));
    EXPECT_EQ(fonts.pageFont(2).GetFontName(), QByteArray("Arial"));
    EXPECT_EQ(fonts.pageFont(2).Name, QByteArray("/F2"));

    // Simulated faces share one entry whatever the style.
    EXPECT_EQ(fonts.GetObjFontNumber({QStringLiteral("MS UI Gothic"), true}), 3);
    EXPECT_EQ(fonts.GetObjFontNumber({QStringLiteral("ms ui gothic")}),
              4);  // the name compares exactly
    EXPECT_EQ(fonts.GetObjFontNumber({QStringLiteral("MS UI Gothic")}), 3);
    EXPECT_EQ(fonts.pageFont(3).GetFontName(), QByteArray("MS#20UI#20Gothic"));

    const std::pair<PdfFontStyle, const char*> names[] = {
        {{QStringLiteral("Times New Roman"), false, true}, "Times#20New#20Roman,Italic"},
        {{QStringLiteral("Courier New"), true, true}, "Courier#20New,BoldItalic"},
        {{QStringLiteral("A(b)%<c>[d]{e}/f")}, "A#28b#29#25#3Cc#3E#5Bd#5D#7Be#7D#2Ff"},
        {{QStringLiteral("Fuente Ñ")}, "Fuente#20#C3#91"}};
    for (const auto& [style, name] : names)
        EXPECT_EQ(TfrxPDFFont(style).GetFontName(), QByteArray(name));
}

TEST(PdfFonts, GlyphsWidthsAndMetricsFromTheFontFile) {
    TfrxPDFFont font({QStringLiteral("Arial")});
    EXPECT_TRUE(font.filePath().contains(QStringLiteral("LiberationSans-Regular")));
    EXPECT_EQ(font.RemapString(QStringLiteral("ABAB"), false), (QVector<quint16>{36, 37, 36, 37}));
    EXPECT_EQ(font.RemapString(QString(), false), QVector<quint16>());
    EXPECT_EQ(font.UsedAlphabet, (QVector<quint16>{36, 37}));
    EXPECT_EQ(font.Widths, (QVector<int>{667, 667}));
    EXPECT_EQ(font.UsedAlphabetUnicode,
              (QVector<QString>{QStringLiteral("A"), QStringLiteral("B")}));
    font.RemapString(QStringLiteral("Ó"), false);
    EXPECT_EQ(font.UsedAlphabetUnicode.last(), QStringLiteral("Ó"));

    const PdfOutlineMetrics& m = font.TextMetric();
    EXPECT_EQ(m.weight, 400);
    EXPECT_EQ(m.ascent, 728);
    EXPECT_EQ(m.descent, -210);
    EXPECT_EQ(m.cellHeight, 1117);
    EXPECT_EQ(m.internalLeading, 117);
    EXPECT_LT(m.bboxLeft, 0);
    EXPECT_GT(m.bboxTop, 900);
}

// Each distinct line is shaped once: the hex operands, and the alphabet with
// its widths and texts, must be what shaping every line gives, also after the
// cache has filled up and started again.
TEST(PdfFonts, ShapingOnceGivesWhatShapingEveryLineGives) {
    QStringList lines = {QStringLiteral("FAC"), QStringLiteral("24/JUN/2016"),
                         QStringLiteral("FAC"), QStringLiteral("$1'234,567.89"),
                         QStringLiteral("24/JUN/2016"), QStringLiteral("Código fiscal ñ")};
    for (int i = 0; i < 5000; ++i) lines << QStringLiteral("REF-%1").arg(i * 7919 % 100000);
    lines << QStringLiteral("FAC") << QStringLiteral("PAGINA") << QStringLiteral("REF-0");
    TfrxPDFFont cached({QStringLiteral("Arial")});
    TfrxPDFFont plain({QStringLiteral("Arial")});
    for (const QString& line : lines)
        ASSERT_EQ(cached.RemapHex(line, false), StrToHex(plain.RemapString(line, false)))
            << line.toStdString();
    EXPECT_EQ(cached.UsedAlphabet, plain.UsedAlphabet);
    EXPECT_EQ(cached.Widths, plain.Widths);
    EXPECT_EQ(cached.UsedAlphabetUnicode, plain.UsedAlphabetUnicode);
    // The same text shaped right to left is its own entry.
    EXPECT_EQ(cached.RemapHex(QStringLiteral("AB"), true),
              StrToHex(plain.RemapString(QStringLiteral("AB"), true)));
}

TEST(PdfFonts, FontObjectsInTheFile) {
    const PdfFileReader pdf(SamplePdf{}.write());
    const QByteArray descriptor = pdf.object(7);
    EXPECT_TRUE(
        descriptor.contains("/FontName /Arial,Bold\r\n/FontFamily /Arial,Bold\r\n/Flags 32\r\n"));
    EXPECT_TRUE(descriptor.contains("/StemV 166\r\n"));
    EXPECT_TRUE(pdf.object(11).contains("/StemV 88\r\n"));
    EXPECT_TRUE(
        descriptor.contains("/Ascent 728\r\n/Descent -210\r\n/Leading 117\r\n/CapHeight 1117\r\n"));
    EXPECT_FALSE(descriptor.contains("/FontFile2"));

    const QByteArray cmap = pdf.stream(8);
    EXPECT_TRUE(cmap.startsWith(
        "/CIDInit /ProcSet findresource begin\r\n12 dict begin\r\nbegincmap\r\n"
        "/CIDSystemInfo\r\n<< /Registry (Adobe)\r\n/Ordering (UCS)\r\n/Ordering (Identity)\r\n"));
    EXPECT_TRUE(cmap.contains("/CMapName /Arial+Bold def\r\n"));
    EXPECT_TRUE(cmap.contains("6 beginbfchar\r\n"));  // E M I S Ó N
    EXPECT_TRUE(cmap.contains("<0028> <0045>\r\n"));  // E
    EXPECT_TRUE(cmap.endsWith(
        "endcmap\r\nCMapName currentdict /CMap defineresource pop\r\nend\r\nend\r\n"));
    EXPECT_TRUE(pdf.object(8).contains("  /Filter /FlateDecode /Length1 "));
    EXPECT_TRUE(pdf.object(8).endsWith("endstream\r\nendobj"));

    EXPECT_EQ(pdf.object(9), QByteArray("9 0 obj\r\n<<\r\n/Registry (Adobe) /Ordering (Identity) "
                                        "/Supplement 0\r\n>>\r\nendobj"));
    const QByteArray descendant = pdf.object(10);
    EXPECT_TRUE(descendant.contains(
        "/Subtype /CIDFontType2\r\n/BaseFont /Arial,Bold\r\n/CIDSystemInfo 9 0 R\r\n"
        "/FontDescriptor 7 0 R\r\n/W [ 40 ["));
    EXPECT_FALSE(descendant.contains("/DW"));
    EXPECT_TRUE(pdf.object(4).contains(
        "/Encoding /Identity-H\r\n/DescendantFonts [10 0 R]\r\n/ToUnicode 8 0 R\r\n"));
}

TEST(PdfImages, LogoPlacementAndJpeg) {
    const PdfFileReader pdf(SamplePdf{}.write());
    EXPECT_TRUE(
        pdf.allContent().startsWith("q\r\n147.00 0 0 66.75 31.68 696.40 cm\r\n/Im0 Do\r\nQ\r\n"));
    const QByteArray image = pdf.object(2);
    EXPECT_TRUE(image.contains(
        "<<\r\n/Type /XObject\r\n/Subtype /Image\r\n/ColorSpace /DeviceRGB\r\n"
        "/BitsPerComponent 8\r\n/Filter /DCTDecode\r\n/Width 197\r\n/Height 90\r\n/Length "));
    const QByteArray jpeg = pdf.stream(2);
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));
    EXPECT_TRUE(jpeg.contains("\xFF\xC0"));   // baseline frame
    EXPECT_FALSE(jpeg.contains("\xFF\xC2"));  // not progressive
    const QImage decoded = QImage::fromData(jpeg, "JPEG");
    EXPECT_EQ(decoded.size(), QSize(197, 90));
    EXPECT_GT(decoded.pixelColor(196, 89).lightness(), 245);  // the extra row and column stay white
    EXPECT_LT(decoded.pixelColor(150, 40).lightness(), 120);
    EXPECT_TRUE(image.endsWith("\r\nendstream\r\nendobj"));
}

TEST_F(PdfContent, SamePictureTwiceOnAPageIsOneObject) {
    const QImage logo = sampleLogo();
    auto render = [&logo](QImage& image, double) { image.setPixelColor(0, 0, Qt::black); };
    painter.drawImage({50, 50, 196, 89}, PdfFrame{}, 1, render);
    painter.drawImage({50, 300, 196, 89}, PdfFrame{}, 1, render);
    writer.finishPage();
    writer.startPage(816, 1056, 10, 10, 10, 10, pdfColorNone);
    painter.drawImage({50, 50, 196, 89}, PdfFrame{}, 1, render);  // new page: written again
    writer.finishPage();
    writer.finish();
    const PdfFileReader pdf(bytes);
    EXPECT_TRUE(pdf.object(4).contains("/XObject << /Im0 2 0 R /Im0 2 0 R >>"));
    EXPECT_EQ(pdf.stream(3).count("/Im0 Do"), 2);
    EXPECT_TRUE(pdf.object(7).contains("/XObject << /Im1 5 0 R >>"));

    // Image numbers carry on in the next run of the same writer.
    QByteArray next;
    QBuffer nextBuffer(&next);
    nextBuffer.open(QIODevice::WriteOnly);
    writer.start(&nextBuffer, PdfDocumentOptions{}, fixedGuid, fixedDate);
    writer.startPage(816, 1056, 10, 10, 10, 10, pdfColorNone);
    painter.drawImage({50, 50, 196, 89}, PdfFrame{}, 1, render);
    writer.finishPage();
    writer.finish();
    EXPECT_TRUE(next.contains("/XObject << /Im2 2 0 R >>"));
}

TEST_F(PdfContent, ImageScaleAndFailingRenderer) {
    QSize seen;
    painter.drawImage({50, 50, 196, 89}, PdfFrame{}, 3, [&seen](QImage& image, double k) {
        seen = image.size();
        EXPECT_EQ(k, 3);
        throw std::runtime_error("broken picture");
    });
    EXPECT_EQ(seen, QSize(591, 270));
    EXPECT_TRUE(content().contains("147.00 0 0 66.75 "));
    painter.drawImage({50, 50, 0, 89}, PdfFrame{}, 1, [](QImage&, double) {});
    EXPECT_EQ(content().count(" Do"), 1);  // zero width: nothing
}

TEST(PdfFonts, EmbeddedSubsetKeepsGlyphIds) {
    TfrxPDFFont font({QStringLiteral("Arial")});
    const QVector<quint16> glyphs = font.RemapString(QStringLiteral("EMISIÓN Código"), false);
    QFile file(font.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    const QByteArray subset = font.GetFontFile();
    EXPECT_LT(subset.size(), whole.size() / 4);

    // The subset answers the same glyph ids with the same outlines.
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face original = nullptr, reduced = nullptr;
    ASSERT_EQ(FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(whole.constData()),
                                 whole.size(), 0, &original),
              0);
    ASSERT_EQ(FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(subset.constData()),
                                 subset.size(), 0, &reduced),
              0);
    EXPECT_GT(reduced->num_glyphs, *std::max_element(glyphs.begin(), glyphs.end()));
    for (quint16 glyph : glyphs) {
        ASSERT_EQ(FT_Load_Glyph(original, glyph, FT_LOAD_NO_SCALE), 0);
        const int points = original->glyph->outline.n_points;
        const FT_Pos advance = original->glyph->advance.x;
        ASSERT_EQ(FT_Load_Glyph(reduced, glyph, FT_LOAD_NO_SCALE), 0);
        EXPECT_EQ(reduced->glyph->outline.n_points, points) << glyph;
        EXPECT_EQ(reduced->glyph->advance.x, advance) << glyph;
    }
    // A glyph not used is empty in the subset.
    const FT_UInt unused = FT_Get_Char_Index(original, 'Z');
    ASSERT_EQ(FT_Load_Glyph(reduced, unused, FT_LOAD_NO_SCALE), 0);
    EXPECT_EQ(reduced->glyph->outline.n_points, 0);
    FT_Done_Face(reduced);
    FT_Done_Face(original);
    FT_Done_FreeType(library);

    font.PackFont = false;
    EXPECT_EQ(font.GetFontFile(), whole);
}

}  // namespace
}  // namespace qev::test
