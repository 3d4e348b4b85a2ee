#pragma once

#include "report/TfrxView.h"

namespace qev {

// A view that can grow with its content.
class TfrxStretcheable : public TfrxView {
    Q_OBJECT
    Q_PROPERTY(qev::frx::TfrxStretchMode StretchMode READ StretchMode WRITE SetStretchMode)

  public:
    explicit TfrxStretcheable(QObject* owner = nullptr) : TfrxView(owner) {}

    frx::TfrxStretchMode StretchMode() const { return FStretchMode; }
    void SetStretchMode(frx::TfrxStretchMode value) { FStretchMode = value; }

    // The height the content needs; by default the view's own height.
    virtual double CalcHeight() { return Height(); }
    virtual double DrawPart() { return 0; }
    virtual void InitPart() {}
    virtual bool HasNextDataPart() { return false; }

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxView::EachProperty(f, self...);
        f("StretchMode", self.FStretchMode...);
    }
    QEV_PREPARED_PROPERTIES

  private:
    frx::TfrxStretchMode FStretchMode = frx::smDontStretch;
};

}  // namespace qev
