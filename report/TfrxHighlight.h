#pragma once

#include "report/TfrxFont.h"

#include <QMetaType>
#include <QString>

namespace qev {

// A conditional font and fill of a memo. The memo evaluates Condition after
// computing its text; with an empty condition the highlight stays inactive.
class TfrxHighlight {
    Q_GADGET
    Q_PROPERTY(bool Active MEMBER Active)
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(QString Condition MEMBER Condition)
    Q_PROPERTY(qev::TfrxFont Font MEMBER Font)

  public:
    TfrxHighlight() { Font.Color = clRed; }

    bool Active = false;
    int Color = clNone;
    QString Condition;
    TfrxFont Font;

    bool operator==(const TfrxHighlight&) const = default;
};

}  // namespace qev

Q_DECLARE_METATYPE(qev::TfrxHighlight)
