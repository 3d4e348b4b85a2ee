#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace qev {

// Converts report colours (0x00BBGGRR) into the operand text of "rg"/"RG".
// Keeps the last conversion: reports repeat the same colour view after view.
class PdfColorConverter {
  public:
    QByteArray GetPDFColor(quint32 color);

  private:
    quint32 FLastColor = 0;
    QByteArray FLastColorResult = QByteArrayLiteral("0 0 0");
};

// Frame line styles in the order the report model declares them.
enum class PdfDashStyle { Solid, Dash, Dot, DashDot, DashDotDot, Double, AltDot, Square };

// Dash operator ("[] 0 d", "[6.00 ] 0 d", ...) for a frame style and a width
// in report pixels; the dash lengths stay in report pixels.
QByteArray GetPDFDash(PdfDashStyle style, double width);

// Page background colour text: each channel as "0", "1" or "0.nn".
QByteArray PdfColor(quint32 color);

}  // namespace qev
