#include "report/TfrxReportComponent.h"

namespace qev {

TfrxReportComponent::TfrxReportComponent(QObject* owner) : TfrxComponent(owner) {}

void TfrxReportComponent::Draw(QPainter*, double, double, double, double) {}

QRectF TfrxReportComponent::GetRealBounds() const {
    return QRectF(AbsLeft(), AbsTop(), Width(), Height());
}

}  // namespace qev
