#include "report/GraphicUtils.h"
#include "report/TfrxDrawText.h"
#include "report/TfrxDrawTextWordBreak.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

// Arial 10 at 600 per inch: "a" 46 pixels, " " 23; a memo width W report
// pixels wraps at rnd(W * 6.25).
struct Layout {
    TfrxDrawText engine;

    explicit Layout(int size = 10, bool tags = false, bool wordBreak = false) {
        FontDesc font;
        font.size = size;
        engine.SetFont(font);
        engine.SetOptions(true, tags, false, wordBreak, true, true, 0);
        engine.SetGaps(0, 0, 2);
    }
    Layout& wrap(const QStringList& lines, int width, double paragraphGap = 0, int height = 100) {
        engine.SetGaps(paragraphGap, 0, 2);
        const LayoutRect rect{0, 0, width, height};
        engine.SetDimensions(1, 1, 1, rect, rect);
        engine.SetText(lines);
        return *this;
    }
    QStringList texts() const {
        QStringList result;
        for (const auto& line : engine.WrappedLines()) result << line.text;
        return result;
    }
    std::vector<int> flags() const {
        std::vector<int> result;
        for (const auto& line : engine.WrappedLines()) result.push_back(line.flags);
        return result;
    }
};

struct WrapCase {
    const char* what;
    QStringList source;
    int width;
    double paragraphGap;
    QStringList lines;
    std::vector<int> flags;
};

TEST(TfrxDrawTextTest, WrapsSourceLines) {
    const WrapCase cases[] = {
        {"empty line is one space", {""}, 40, 0, {" "}, {3}},
        {"one character is never wrapped", {"W"}, 1, 0, {"W"}, {3}},
        {"fits: flags 3", {"aaaa aaaa"}, 70, 0, {"aaaa aaaa"}, {3}},
        {"one space: dropped at the break", {"aaaa aaaa"}, 40, 0, {"aaaa", "aaaa"}, {1, 2}},
        {"two spaces: one stays", {"aaaa  aaaa"}, 40, 0, {"aaaa ", "aaaa"}, {1, 2}},
        {"overlong word cut where it overflows", {"aaaaaaaaaa"}, 40, 0, {"aaaaa", "aaaaa"}, {1, 2}},
        {"a character wider than the memo stands alone", {"WW"}, 10, 0, {"W", "W"}, {1, 2}},
        {"exact fit is one line", {"aaaa"}, 30, 0.56, {"aaaa"}, {3}},
        {"one pixel less wraps", {"aaaa"}, 30, 0.72, {"aaa", "a"}, {1, 2}},
        {"three lines: 1, 0, 2", {"aaaa aaaa aaaa"}, 40, 0, {"aaaa", "aaaa", "aaaa"}, {1, 0, 2}},
        {"paragraph gap narrows only the first line",
         {"aaaa aaaa aaaa aaaa"},
         70,
         12,
         {"aaaa", "aaaa aaaa", "aaaa"},
         {1, 0, 2}},
        {"no gap: same text in two lines",
         {"aaaa aaaa aaaa aaaa"},
         70,
         0,
         {"aaaa aaaa", "aaaa aaaa"},
         {1, 2}},
        {"every source line is a paragraph",
         {"aaaa aaaa", "", "a"},
         40,
         0,
         {"aaaa", "aaaa", " ", "a"},
         {1, 2, 3, 3}},
        {"a no-break space is not a break point",
         {QStringLiteral("aaaa\u00A0aaaa")},
         40,
         0,
         {QStringLiteral("aaaa\u00A0"), "aaaa"},
         {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Layout layout;
        layout.wrap(c.source, c.width, c.paragraphGap);
        EXPECT_EQ(layout.texts(), c.lines);
        EXPECT_EQ(layout.flags(), c.flags);
    }
}

TEST(TfrxDrawTextTest, PlainTextKeepsEverySourceLineWithCrLf) {
    Layout layout;
    layout.wrap({"aaaa aaaa", "", "b"}, 40);
    EXPECT_EQ(layout.engine.PlainText(), QStringLiteral("aaaa aaaa\r\n \r\nb\r\n"));
    EXPECT_EQ(layout.engine.GetWrappedText(), QStringLiteral("aaaa\r\naaaa\r\n \r\nb\r\n"));
    layout.wrap({}, 40);
    EXPECT_TRUE(layout.engine.WrappedLines().empty());
    EXPECT_EQ(layout.engine.PlainText(), QString());
}

TEST(TfrxDrawTextTest, WordWrapOffKeepsLinesWhole) {
    Layout layout;
    layout.engine.SetOptions(false, false, false, false, true, true, 0);
    layout.wrap({"aaaa aaaa aaaa"}, 10);
    EXPECT_EQ(layout.texts(), QStringList{"aaaa aaaa aaaa"});
}

TEST(TfrxDrawTextTest, RotationAcrossWrapsToTheHeight) {
    Layout layout;
    layout.engine.SetOptions(true, false, false, false, true, true, -270);  // = 90
    EXPECT_EQ(layout.engine.Rotation(), 90);
    layout.wrap({"aaaa aaaa"}, 10, 0, 70);
    EXPECT_EQ(layout.texts(), QStringList{"aaaa aaaa"});
    layout.engine.SetOptions(true, false, false, false, true, true, 180);
    layout.wrap({"aaaa aaaa"}, 40, 0, 70);
    EXPECT_EQ(layout.texts(), (QStringList{"aaaa", "aaaa"}));
}

TEST(TfrxDrawTextTest, LineHeightsOfArial) {
    const std::pair<int, double> cases[] = {
        {8, 12.72}, {9, 14}, {10, 15.28}, {12, 18}, {16, 23.28}};
    for (auto [size, height] : cases) {
        Layout layout(size);
        EXPECT_NEAR(layout.engine.LineHeight(), height, 1e-9) << size;
        EXPECT_NEAR(layout.engine.TextHeight(), height - 2, 1e-9) << size;
    }
}

TEST(TfrxDrawTextTest, CalcHeightCountsWrappedLines) {
    Layout layout;
    EXPECT_EQ(layout.wrap({}, 40).engine.CalcHeight(), 0);
    EXPECT_NEAR(layout.wrap({"aaaa aaaa aaaa"}, 40).engine.CalcHeight(), 3 * 15.28, 1e-9);
    layout.engine.SetGaps(0, 0, -1);  // a negative spacing is given back once
    EXPECT_NEAR(layout.engine.CalcHeight(), 3 * 12.28 + 1, 1e-9);
}

TEST(TfrxDrawTextTest, CalcWidthIsTheWidestLine) {
    Layout layout;
    EXPECT_EQ(layout.wrap({}, 40).engine.CalcWidth(), 0);
    EXPECT_NEAR(layout.wrap({"aa", "aaaa", "a"}, 100).engine.CalcWidth(), 184 / 6.25, 1e-9);
    // Character spacing per character and the paragraph gap on first lines:
    // 184 + rnd(4 * 6.25) + rnd(2 * 6.25) = 184 + 25 + 12.
    layout.wrap({"aaaa"}, 100);
    layout.engine.SetGaps(2, 1, 2);
    EXPECT_NEAR(layout.engine.CalcWidth(), 221 / 6.25, 1e-9);
    // A continuation line carries no paragraph gap.
    layout.wrap({"aaaa"}, 100);
    layout.engine.SetParaBreaks(true, false);
    layout.engine.SetGaps(2, 0, 2);
    EXPECT_NEAR(layout.engine.CalcWidth(), 184 / 6.25, 1e-9);
    // A font set after wrapping is the one measured, not the wrapping's.
    layout.wrap({"aaaa"}, 100);
    FontDesc larger;
    larger.size = 20;
    layout.engine.SetFont(larger);
    Layout big(20);
    const double bigWidth = big.wrap({"aaaa"}, 100).engine.CalcWidth();
    EXPECT_GT(bigWidth, 184 / 6.25);
    EXPECT_EQ(layout.engine.CalcWidth(), bigWidth);
}

TEST(TfrxDrawTextTest, ParaBreaksClearFlagsOfContinuationParts) {
    Layout layout;
    layout.wrap({"aaaa aaaa aaaa"}, 40);
    layout.engine.SetParaBreaks(true, true);
    EXPECT_EQ(layout.flags(), (std::vector<int>{0, 0, 0}));
    layout.wrap({"a"}, 40);
    layout.engine.SetParaBreaks(false, true);
    EXPECT_EQ(layout.flags(), std::vector<int>{1});
    layout.wrap({}, 40);
    layout.engine.SetParaBreaks(true, true);  // nothing to change, no crash
    EXPECT_TRUE(layout.flags().empty());
}

TEST(TfrxDrawTextTest, MarkupTagsSetCharacterAttributes) {
    Layout layout(10, true);
    layout.wrap({"<b>ab</B>c<font color=\"#FF8000\">d</font><sub>e</sub><font color=red>f"}, 200);
    ASSERT_EQ(layout.texts(), QStringList{"abcdef"});
    const TfrxHTMLTags& tags = layout.engine.HTMLTags().lines().at(0);
    ASSERT_EQ(tags.size(), 6u);
    EXPECT_EQ(tags[0].Style, unsigned(FontDesc::Bold));
    EXPECT_FALSE(tags[0].Default);
    EXPECT_TRUE(tags[1].Default);  // same as the one before
    EXPECT_EQ(tags[2].Style, 0u);
    EXPECT_FALSE(tags[2].Default);  // back to the defaults is a change too
    EXPECT_EQ(tags[3].Color, 0x0080FFu);
    EXPECT_EQ(tags[4].Size, 7);
    EXPECT_EQ(tags[4].AddY, 1);
    EXPECT_TRUE(tags[4].Small);
    EXPECT_EQ(tags[4].SubType_, TfrxHTMLTag::ssSubscript);
    EXPECT_EQ(tags[5].Color, 0x0000FFu);
    // Positions point into the plain text, tags included.
    EXPECT_EQ(tags[0].Position, 4);
    EXPECT_EQ(tags[2].Position, 10);
}

TEST(TfrxDrawTextTest, UnknownTagsStayText) {
    Layout layout(10, true);
    layout.wrap({"a<x>b<font color=bogus>c<font color=\"#\">d"}, 400);
    EXPECT_EQ(layout.texts(), QStringList{"a<x>b<font color=bogus>c<font color=\"#\">d"});
    Layout plain(10, false);
    plain.wrap({"<b>x</b>"}, 400);
    EXPECT_EQ(plain.texts(), QStringList{"<b>x</b>"});
    EXPECT_EQ(plain.engine.DeleteTags("<b>x</b>"), QStringLiteral("<b>x</b>"));
    EXPECT_EQ(layout.engine.DeleteTags("<b>x</b><nowrap>y"), QStringLiteral("xy"));
}

TEST(TfrxDrawTextTest, MarkupMeasuresEachStyleWithItsFace) {
    Layout plain(10, true);
    const double regular = plain.wrap({"bbbb"}, 400).engine.CalcWidth();
    const double bold = plain.wrap({"<b>bbbb</b>"}, 400).engine.CalcWidth();
    FontFace* boldFace = FontCache::instance().face("Arial", FontDesc::Bold);
    EXPECT_NEAR(bold, 4 * boldFace->advance(u'b', 83) / 6.25, 1e-9);
    EXPECT_GT(bold, regular);
}

TEST(TfrxDrawTextTest, NoWrapSpansHaveNoBreakPoints) {
    Layout layout(10, true);
    layout.wrap({"aaaa <nowrap>aaaa aaaa</nowrap>"}, 40);
    EXPECT_EQ(layout.texts(), (QStringList{"aaaa", "aaaa ", "aaaa"}));
}

TEST(TfrxDrawTextTest, SmallCharactersTakeTwoThirds) {
    Layout layout(10, true);
    // Subscript "a": rnd(46 / 1.5) = 31, so eight of them fit where six
    // ordinary ones do: 8 * 31 = 248 <= 250.
    layout.wrap({"<sub>aaaaaaaa</sub>"}, 40);
    EXPECT_EQ(layout.texts().size(), 1);
    layout.wrap({"aaaaaaaa"}, 40);
    EXPECT_EQ(layout.texts().size(), 2);
}

TEST(TfrxDrawTextTest, SplittingAcrossPages) {
    Layout layout;
    // Height 30: trunc(31 / 15.28) = 2 lines fit, 31 - 30.56 left over.
    layout.wrap({"aaaa aaaa aaaa", "bb"}, 40, 0, 30);
    EXPECT_NEAR(layout.engine.UnusedSpace(), 31 - 2 * 15.28, 1e-9);
    bool paraBreak = false;
    EXPECT_EQ(layout.engine.GetOutBoundsText(paraBreak), QStringLiteral("aaaa\r\nbb\r\n"));
    EXPECT_TRUE(paraBreak);
    EXPECT_EQ(layout.engine.GetInBoundsText(), QStringLiteral("aaaa aaaa "));
    EXPECT_EQ(layout.texts(), (QStringList{"aaaa", "aaaa"}));

    layout.wrap({"aaaa aaaa", "bb"}, 40, 0, 30);  // the cut falls between paragraphs
    EXPECT_EQ(layout.engine.GetOutBoundsText(paraBreak), QStringLiteral("bb\r\n"));
    EXPECT_FALSE(paraBreak);
    EXPECT_EQ(layout.engine.GetInBoundsText(), QStringLiteral("aaaa aaaa\r\n"));

    layout.wrap({"aaaa"}, 40, 0, 30);  // everything fits
    EXPECT_EQ(layout.engine.GetOutBoundsText(paraBreak), QString());
    EXPECT_EQ(layout.engine.GetInBoundsText(), QStringLiteral("aaaa\r\n"));

    layout.wrap({"aaaa"}, 40, 0, 10);  // not one line fits
    EXPECT_EQ(layout.engine.UnusedSpace(), 0);
    EXPECT_EQ(layout.engine.GetOutBoundsText(paraBreak), QStringLiteral("aaaa\r\n"));
    EXPECT_EQ(layout.engine.GetInBoundsText(), QString());

    layout.wrap({"aaaa", "aaaa"}, 40, 0, 29);  // 30 / 15.28 < 2; exactly fitting gives 0.0001
    EXPECT_NEAR(layout.engine.UnusedSpace(), 30 - 15.28, 1e-9);
}

TEST(TfrxDrawTextTest, SplitMarkupCarriesTheLookOfTheCut) {
    Layout layout(10, true);
    layout.wrap({"aaaa <b><font color=\"#00FF00\">aaaa aaaa</font></b>"}, 40, 0, 30);
    bool paraBreak = false;
    EXPECT_EQ(layout.engine.GetOutBoundsText(paraBreak),
              QStringLiteral("<font color=\"#00FF00\"><b>aaaa</font></b>\r\n"));
}

TEST(TfrxDrawTextTest, FontsWithTheirOwnCharacterSetMeasureTheirCodePage) {
    // "ÿ" is not in Windows-1251: a Cyrillic font shows (and measures) "?".
    FontFace* face = FontCache::instance().face("Arial", 0);
    FontDesc cyrillic;
    cyrillic.charset = 204;
    TfrxDrawText engine;
    engine.SetFont(cyrillic);
    engine.SetOptions(true, false, false, false, true, true, 0);
    engine.SetGaps(0, 0, 2);
    engine.SetDimensions(1, 1, 1, {0, 0, 100, 100}, {0, 0, 100, 100});
    engine.SetText({QStringLiteral("ÿя")});
    EXPECT_NEAR(engine.CalcWidth(), (face->advance(u'?', 83) + face->advance(u'я', 83)) / 6.25,
                1e-9);
    engine.SetUseDefaultCharset(true);
    EXPECT_NEAR(engine.CalcWidth(), (face->advance(u'ÿ', 83) + face->advance(u'я', 83)) / 6.25,
                1e-9);
    ASSERT_NE(face->advance(u'?', 83), face->advance(u'ÿ', 83));
}

// The width measured without laying out is the width laid out, whenever it
// is given; it is refused where laying out would do more than keep the line.
TEST(TfrxDrawTextTest, PlainLineWidthIsTheWidthOfTheLineLaidOut) {
    struct Case {
        const char* what;
        QString text;
        int width;
        bool measured;  // not refused
        bool tags = false, wordWrap = true;
        double charSpacing = 0, paragraphGap = 0;
        int charset = FontDesc::DefaultCharset;
    };
    const Case cases[] = {
        {"an amount", "$1,234.50", 200, true},
        {"words that fit", "aaaa aaaa", 70, true},
        {"words that wrap", "aaaa aaaa", 40, false},
        {"one word just short of the width (184 < 188)", "aaaa", 30, true},
        {"one word as wide as the width allows (184 >= 181)", "aaaa", 29, false},
        {"one character never wraps", "W", 1, true},
        {"no word wrap: kept whole", "aaaa aaaa aaaa", 10, true, false, false},
        {"markup", "<b>aa</b>", 200, false, true},
        {"markup allowed but none there", "aa > bb", 200, true, true},
        {"no text", "", 200, false},
        {"a line end inside", "aa\rbb", 200, false},
        {"character spacing", "aaaa", 200, false, false, true, 1},
        {"paragraph gap", "aaaa", 200, false, false, true, 0, 2},
        {"a font with a character set of its own", "ÿя", 200, true, false, true, 0, 0, 204},
    };
    for (const Case& c : cases) {
        FontDesc font;
        font.charset = c.charset;
        TfrxDrawText engine;
        engine.SetFont(font);
        engine.SetOptions(c.wordWrap, c.tags, false, false, true, true, 0);
        engine.SetGaps(c.paragraphGap, c.charSpacing, 2);
        const LayoutRect rect{0, 0, c.width, 100};
        engine.SetDimensions(1, 1, 1, rect, rect);
        const double width = engine.PlainLineWidth(c.text);
        EXPECT_EQ(width >= 0, c.measured) << c.what;
        if (width < 0) continue;
        engine.SetText({c.text});
        ASSERT_EQ(engine.WrappedLines().size(), 1u) << c.what;
        EXPECT_EQ(engine.WrappedLines().front().text, c.text) << c.what;
        EXPECT_EQ(engine.CalcWidth(), width) << c.what;
    }
}

TEST(TfrxDrawTextTest, RussianHyphenation) {
    EXPECT_EQ(BreakRussianWord(QStringLiteral("МОЛОКО")), (std::vector<int>{2, 4}));
    EXPECT_EQ(BreakRussianWord(QStringLiteral("КАССА")), std::vector<int>{3});
    EXPECT_EQ(BreakRussianWord(QStringLiteral("РУССКИЙ")), (std::vector<int>{2, 3, 4}));
    EXPECT_TRUE(BreakRussianWord(QStringLiteral("ДОМ")).empty());
    // Overflow at "к" (index 4): the last break before it is after "моло".
    EXPECT_EQ(BreakWord(QStringLiteral("молоко, да"), 0, 4), QStringLiteral("моло"));
    EXPECT_EQ(BreakWord(QStringLiteral("молоко"), 0, 1), QString());
}

TEST(TfrxDrawTextTest, WordBreakHyphenatesOverlongWords) {
    FontFace* face = FontCache::instance().face("Arial", 0);
    const QString word = QStringLiteral("молоко");
    int fourLetters = 0;
    for (int i = 0; i < 4; ++i) fourLetters += face->advance(word[i].unicode(), 83);
    // Room for "моло" but not for "молок".
    const int width = int(std::ceil(fourLetters / 6.25));
    ASSERT_GE(rnd(width * 6.25), fourLetters);
    ASSERT_LT(rnd(width * 6.25), fourLetters + face->advance(u'к', 83));
    Layout breaking(10, false, true);
    breaking.wrap({word}, width);
    EXPECT_EQ(breaking.texts().front(), QStringLiteral("моло-"));
    EXPECT_EQ(breaking.texts().back(), QStringLiteral("ко"));
    Layout cutting(10, false, false);
    cutting.wrap({"aaaa " + word}, width);
    EXPECT_EQ(cutting.texts(), (QStringList{"aaaa", "моло", "ко"}));
    Layout hyphen(10, false, true);
    hyphen.wrap({"aaaa " + word}, width);
    EXPECT_EQ(hyphen.texts(), (QStringList{"aaaa", "моло-", "ко"}));
}

}  // namespace
}  // namespace qev
