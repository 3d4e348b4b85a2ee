#pragma once

#include "report/frxTypes.h"

#include <QMetaType>
#include <QString>

namespace qev {

// A report font: a value. Height is in pixels at 96 pixels per inch; a negative
// height is the character height without internal leading (the usual case).
// Size is derived from Height in whole points.
class TfrxFont {
    Q_GADGET
    Q_PROPERTY(int Charset MEMBER Charset)
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(int Height MEMBER Height)
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(qev::frx::TfrxFontStyles Style MEMBER Style)

  public:
    QString Name = QStringLiteral("Arial");
    int Height = -13;  // 10 points
    int Color = clBlack;
    int Charset = DEFAULT_CHARSET;
    frx::TfrxFontStyles Style;
    int PixelsPerInch = 96;

    // -Height x 72 / 96, to the nearest whole point (-11 gives 8, -13 gives 10).
    int Size() const;
    void SetSize(int points);
    bool IsBold() const { return Style.testFlag(frx::fsBold); }
    bool IsItalic() const { return Style.testFlag(frx::fsItalic); }

    bool operator==(const TfrxFont&) const = default;
};

}  // namespace qev

Q_DECLARE_METATYPE(qev::TfrxFont)
