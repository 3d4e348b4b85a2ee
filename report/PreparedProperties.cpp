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

}  // namespace qev
