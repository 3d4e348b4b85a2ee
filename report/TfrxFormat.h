#pragma once

#include "report/frxTypes.h"

#include <QMetaType>
#include <QString>

namespace qev {

// How a memo turns a value into text (see FormatData).
class TfrxFormat {
    Q_GADGET
    Q_PROPERTY(QString DecimalSeparator MEMBER DecimalSeparator)
    Q_PROPERTY(QString FormatStr MEMBER FormatStr)
    Q_PROPERTY(qev::frx::TfrxFormatKind Kind MEMBER Kind)
    Q_PROPERTY(QString ThousandSeparator MEMBER ThousandSeparator)

  public:
    frx::TfrxFormatKind Kind = frx::fkText;
    QString FormatStr;
    QString DecimalSeparator;
    QString ThousandSeparator;

    bool operator==(const TfrxFormat&) const = default;
};

}  // namespace qev

Q_DECLARE_METATYPE(qev::TfrxFormat)
