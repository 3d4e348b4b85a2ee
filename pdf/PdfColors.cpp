#include "pdf/PdfColors.h"

#include "pdf/PdfNumbers.h"

namespace qev {

namespace {

int red(quint32 color) {
    return color & 0xFF;
}
int green(quint32 color) {
    return (color >> 8) & 0xFF;
}
int blue(quint32 color) {
    return (color >> 16) & 0xFF;
}

}  // namespace

QByteArray PdfColorConverter::GetPDFColor(quint32 color) {
    if (color == 0) return QByteArrayLiteral("0 0 0");
    if (color == 0xFFFFFF) return QByteArrayLiteral("1 1 1");
    if (color == FLastColor) return FLastColorResult;
    FLastColor = color;
    FLastColorResult = frFloat2Str(red(color) / 255.0) + ' ' + frFloat2Str(green(color) / 255.0) +
                       ' ' + frFloat2Str(blue(color) / 255.0);
    return FLastColorResult;
}

QByteArray GetPDFDash(PdfDashStyle style, double width) {
    const QByteArray d = frFloat2Str(width * 6) + ' ';
    const QByteArray p = frFloat2Str(width * 2) + ' ';
    switch (style) {
        case PdfDashStyle::Dash:
            return "[" + d + "] 0 d";
        case PdfDashStyle::Dot:
            return "[" + p + d + "] 0 d";
        case PdfDashStyle::DashDot:
            return "[" + d + d + p + d + "] 0 d";
        case PdfDashStyle::DashDotDot:
            return "[" + d + d + p + d + p + d + "] 0 d";
        default:
            return QByteArrayLiteral("[] 0 d");
    }
}

QByteArray PdfColor(quint32 color) {
    auto channel = [](int v) -> QByteArray {
        if (v == 0) return "0";
        if (v == 255) return "1";
        return "0." + QByteArray::number(v * 100 / 256).rightJustified(2, '0');
    };
    return channel(red(color)) + ' ' + channel(green(color)) + ' ' + channel(blue(color));
}

}  // namespace qev
