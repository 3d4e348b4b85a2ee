// Memo text layout with tags: the first bytes choose the memo (size, font,
// options, gaps, rotation), the rest is its text, one source line per line
// feed. The text is wrapped, measured, drawn, split across a page boundary and
// the continuation wrapped again. Every wrapped line must keep one tag record
// per character.

#include "FuzzSupport.h"
#include "report/TfrxDrawText.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <fuzzer/FuzzedDataProvider.h>

#include <array>

namespace {

using namespace qev;

void checkRecords(const TfrxDrawText& layout) {
    const auto& lines = layout.WrappedLines();
    const auto& records = layout.HTMLTags().lines();
    if (lines.size() != records.size())
        fuzz::broken("one tag list per wrapped line", QString::number(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (records[i].size() != std::size_t(lines[i].text.size()))
            fuzz::broken("one tag record per character", lines[i].text);
}

void layOut(TfrxDrawText& layout, const QStringList& lines, QPainter& painter, DrawHAlign h,
            DrawVAlign v) {
    layout.SetText(lines);
    checkRecords(layout);
    layout.CalcHeight();
    layout.CalcWidth();
    for (int i = 0; i < int(layout.WrappedLines().size()); ++i)
        layout.FillCharSpacingArray(i, 0, i % 2 == 0);
    layout.DrawText(&painter, h, v);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    static const std::array<int, 6> charsets{FontDesc::DefaultCharset, 0, 204, 128, 161, 238};
    static const std::array<const char*, 3> faces{"Arial", "Times New Roman", "Courier New"};
    FontDesc font;
    font.name = QString::fromLatin1(faces[in.ConsumeIntegralInRange<std::size_t>(0, 2)]);
    font.size = in.ConsumeIntegralInRange(1, 72);
    font.style = in.ConsumeIntegralInRange(0u, 15u);
    font.charset = charsets[in.ConsumeIntegralInRange<std::size_t>(0, charsets.size() - 1)];
    const int width = in.ConsumeIntegralInRange(0, 1200);
    const int height = in.ConsumeIntegralInRange(0, 1200);
    const bool wordWrap = in.ConsumeBool(), wordBreak = in.ConsumeBool();
    const int rotation = in.ConsumeBool() ? 90 * in.ConsumeIntegralInRange(0, 3)
                                          : in.ConsumeIntegralInRange(-720, 720);
    const double paragraphGap = in.ConsumeIntegralInRange(-40, 40) / 2.0;
    const double charSpacing = in.ConsumeIntegralInRange(-8, 16) / 2.0;
    const double lineSpacing = in.ConsumeIntegralInRange(-16, 16) / 2.0;
    const auto h = DrawHAlign(in.ConsumeIntegralInRange(0, 3));
    const auto v = DrawVAlign(in.ConsumeIntegralInRange(0, 2));
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QStringList lines =
        fuzz::text(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size())
            .split(u'\n');

    static QImage canvas(160, 160, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    TfrxDrawText layout;
    layout.Lock();
    layout.SetFont(font);
    layout.SetOptions(wordWrap, true, false, wordBreak, true, true, rotation);
    layout.SetGaps(paragraphGap, charSpacing, lineSpacing);
    const LayoutRect rect{0, 0, width, height};
    layout.SetDimensions(1, 1, 1, rect, rect);
    layOut(layout, lines, painter, h, v);

    // What does not fit goes on with the next page, as a memo split does.
    bool paraBreak = false;
    const QString rest1 = layout.GetOutBoundsText(paraBreak);
    layout.SetParaBreaks(paraBreak, false);
    checkRecords(layout);
    if (!rest1.isEmpty()) layOut(layout, rest1.split(QStringLiteral("\r\n")), painter, h, v);
    layout.Unlock();
    return 0;
}
