#pragma once

#include "report/TfrxView.h"

namespace qev {

// A rectangle, ellipse or other outline. The outline uses the frame's colour,
// width and style whatever the frame's Typ (none when the colour is clNone);
// the inside is filled with Color unless it is clNone.
class TfrxShapeView : public TfrxView {
    Q_OBJECT
    Q_PROPERTY(double Curve MEMBER Curve)
    Q_PROPERTY(qev::frx::TfrxShapeKind Shape MEMBER Shape)

  public:
    explicit TfrxShapeView(QObject* owner = nullptr);

    // Corner radius of a round rectangle; 0: a quarter of the smaller side.
    double Curve = 0;
    frx::TfrxShapeKind Shape = frx::skRectangle;

    void Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
              double offsetY) override;

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxView::EachProperty(f, self...);
        f("Curve", self.Curve...);
        f("Shape", self.Shape...);
    }
    QEV_PREPARED_PROPERTIES
};

}  // namespace qev
