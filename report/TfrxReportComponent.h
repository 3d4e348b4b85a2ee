#pragma once

#include "report/TfrxComponent.h"

#include <QRectF>

class QPainter;

namespace qev {

// Anything that can be output. The engine calls, per output of a band:
// BeforePrint, GetData (compute the content) and, after the band is stored,
// AfterPrint (put the template back as it was).
class TfrxReportComponent : public TfrxComponent {
    Q_OBJECT
    Q_PROPERTY(QString Description READ Description WRITE SetDescription)

  public:
    explicit TfrxReportComponent(QObject* owner = nullptr);

    QString Description() const { return FDescription; }
    void SetDescription(const QString& value) { FDescription = value; }

    // Paints the component at offset + its absolute position times the scale.
    virtual void Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                      double offsetY);
    virtual void BeforePrint() {}
    virtual void GetData() {}
    virtual void AfterPrint() {}
    virtual QString GetComponentText() { return {}; }
    // The rectangle the component covers on its page.
    virtual QRectF GetRealBounds() const;

    // Views shifted down when this component grows (filled by the engine).
    QList<TfrxReportComponent*> ShiftChildren;

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxComponent::EachProperty(f, self...);
        f("Description", self.FDescription...);
    }
    QEV_PREPARED_PROPERTIES

  private:
    QString FDescription;
};

// A non-visual component (the base of report data sets).
class TfrxDialogComponent : public TfrxReportComponent {
    Q_OBJECT

  public:
    explicit TfrxDialogComponent(QObject* owner = nullptr) : TfrxReportComponent(owner) {}
};

}  // namespace qev
