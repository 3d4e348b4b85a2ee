#pragma once

#include "report/TfrxStretcheable.h"

namespace qev {

// A line. A horizontal rule is a view of the line's length as Width, Height 0,
// with Frame.Typ [ftTop]; it is drawn with the frame's colour, style and width.
class TfrxCustomLineView : public TfrxStretcheable {
    Q_OBJECT
    Q_PROPERTY(bool ArrowEnd MEMBER ArrowEnd)
    Q_PROPERTY(double ArrowLength MEMBER ArrowLength)
    Q_PROPERTY(bool ArrowSolid MEMBER ArrowSolid)
    Q_PROPERTY(bool ArrowStart MEMBER ArrowStart)
    Q_PROPERTY(double ArrowWidth MEMBER ArrowWidth)
    Q_PROPERTY(bool Diagonal MEMBER Diagonal)

  public:
    explicit TfrxCustomLineView(QObject* owner = nullptr);

    bool ArrowEnd = false;
    double ArrowLength = 20;
    bool ArrowSolid = false;
    bool ArrowStart = false;
    double ArrowWidth = 5;
    bool Diagonal = false;

    void Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
              double offsetY) override;

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxStretcheable::EachProperty(f, self...);
        f("ArrowEnd", self.ArrowEnd...);
        f("ArrowLength", self.ArrowLength...);
        f("ArrowSolid", self.ArrowSolid...);
        f("ArrowStart", self.ArrowStart...);
        f("ArrowWidth", self.ArrowWidth...);
        f("Diagonal", self.Diagonal...);
    }
    QEV_PREPARED_PROPERTIES
};

class TfrxLineView : public TfrxCustomLineView {
    Q_OBJECT
  public:
    explicit TfrxLineView(QObject* owner = nullptr) : TfrxCustomLineView(owner) {}
};

}  // namespace qev
