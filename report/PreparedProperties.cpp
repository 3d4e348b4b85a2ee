#include "report/PreparedProperties.h"

#include "report/TfrxBand.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxShapeView.h"

namespace qev {

QEV_DEFINE_PREPARED_PROPERTIES(TfrxComponent)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxReportComponent)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxView)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxStretcheable)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxCustomMemoView)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxCustomLineView)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxShapeView)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxPictureView)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxBand)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxDataBand)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxPageHeader)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxPageFooter)
QEV_DEFINE_PREPARED_PROPERTIES(TfrxGroupHeader)

// The stored properties beyond the prepared ones: data binding and picture.

void TfrxView::AssignStored(const TfrxComponent& source) {
    AssignPrepared(source);
    const auto& view = static_cast<const TfrxView&>(source);
    FDataSet = view.FDataSet;
    FDataSetName = view.FDataSetName;
    FDataField = view.FDataField;
}

void TfrxPictureView::AssignStored(const TfrxComponent& source) {
    TfrxView::AssignStored(source);
    const auto& picture = static_cast<const TfrxPictureView&>(source);
    FPicture = picture.FPicture;
    FImage = picture.FImage;
}

void TfrxDataBand::AssignStored(const TfrxComponent& source) {
    AssignPrepared(source);
    const auto& band = static_cast<const TfrxDataBand&>(source);
    FDataSet = band.FDataSet;
    FDataSetName = band.FDataSetName;
    SetRowCount(band.RowCount());  // with its counter data set
}

}  // namespace qev
