#pragma once

#include "report/frxTypes.h"

#include <QMetaType>

namespace qev {

// One side of a view's border.
class TfrxFrameLine {
    Q_GADGET
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(qev::frx::TfrxFrameStyle Style MEMBER Style)
    Q_PROPERTY(double Width MEMBER Width)

  public:
    int Color = clBlack;
    frx::TfrxFrameStyle Style = frx::fsSolid;
    double Width = 1;

    bool operator==(const TfrxFrameLine&) const = default;
};

// The border of a view: which sides are drawn, and how. Setting the frame's
// Color, Style or Width sets the same value on all four side lines; a side line
// keeps a value of its own only when it is set afterwards.
class TfrxFrame {
    Q_GADGET
    Q_PROPERTY(qev::frx::TfrxFrameTypes Typ MEMBER Typ)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(qev::frx::TfrxFrameStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(double Width READ Width WRITE SetWidth)
    Q_PROPERTY(bool DropShadow MEMBER DropShadow)
    Q_PROPERTY(int ShadowColor MEMBER ShadowColor)
    Q_PROPERTY(double ShadowWidth MEMBER ShadowWidth)
    Q_PROPERTY(qev::TfrxFrameLine LeftLine MEMBER LeftLine)
    Q_PROPERTY(qev::TfrxFrameLine TopLine MEMBER TopLine)
    Q_PROPERTY(qev::TfrxFrameLine RightLine MEMBER RightLine)
    Q_PROPERTY(qev::TfrxFrameLine BottomLine MEMBER BottomLine)

  public:
    frx::TfrxFrameTypes Typ;
    bool DropShadow = false;
    int ShadowColor = clBlack;
    double ShadowWidth = 4;
    TfrxFrameLine LeftLine, TopLine, RightLine, BottomLine;

    int Color() const { return FColor; }
    frx::TfrxFrameStyle Style() const { return FStyle; }
    double Width() const { return FWidth; }
    void SetColor(int value);
    void SetStyle(frx::TfrxFrameStyle value);
    void SetWidth(double value);

    bool Has(frx::TfrxFrameType side) const { return Typ.testFlag(side); }

    bool operator==(const TfrxFrame&) const = default;

  private:
    int FColor = clBlack;
    frx::TfrxFrameStyle FStyle = frx::fsSolid;
    double FWidth = 1;
};

}  // namespace qev

Q_DECLARE_METATYPE(qev::TfrxFrameLine)
Q_DECLARE_METATYPE(qev::TfrxFrame)
