#include "report/TfrxBand.h"

#include "report/TfrxDataSet.h"
#include "report/TfrxReport.h"

namespace qev {

TfrxBand::TfrxBand(QObject* owner) : TfrxReportComponent(owner) {
    FComponentStyle |= frx::csContainer;
}

TfrxBand* TfrxBand::ChildBand() const {
    if (Child.isEmpty()) return nullptr;
    const TfrxComponent* root = Report() ? static_cast<const TfrxComponent*>(Report()) : Parent();
    return root ? qobject_cast<TfrxBand*>(root->FindObject(Child)) : nullptr;
}

TfrxDataBand::TfrxDataBand(QObject* owner) : TfrxBand(owner) {}

TfrxDataBand::~TfrxDataBand() = default;

void TfrxDataBand::SetDataSet(TfrxDataSet* dataSet) {
    FDataSet = dataSet;
    FDataSetName = dataSet ? dataSet->UserName() : QString();
}

TfrxDataSet* TfrxDataBand::DataSet() const {
    return FDataSet;
}

QString TfrxDataBand::DataSetName() const {
    return FDataSet ? FDataSet->UserName() : FDataSetName;
}

void TfrxDataBand::SetDataSetName(const QString& name) {
    FDataSetName = name;
    FDataSet = frxFindDataSet(FDataSet, name, Report());
}

void TfrxDataBand::SetRowCount(int value) {
    FRowCount = value;
    if (value <= 0) {
        FVirtualDataSet.reset();
        return;
    }
    // Kept outside Objects: it is not part of the stored band.
    if (!FVirtualDataSet) FVirtualDataSet = std::make_unique<TfrxDataSet>();
    FVirtualDataSet->RangeEnd = frx::reCount;
    FVirtualDataSet->RangeEndCount = value;
}

}  // namespace qev
