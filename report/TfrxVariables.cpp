#include "report/TfrxVariables.h"

namespace qev {

int TfrxVariables::IndexOf(const QString& name) const {
    for (int i = 0; i < FItems.size(); ++i)
        if (FItems[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant TfrxVariables::Value(const QString& name) const {
    const int i = IndexOf(name);
    return i < 0 ? QVariant() : FItems[i].Value;
}

void TfrxVariables::Set(const QString& name, const QVariant& value) {
    const int i = IndexOf(name);
    if (i < 0)
        FItems.append({name, value});
    else
        FItems[i].Value = value;
}

void TfrxVariables::Remove(const QString& name) {
    const int i = IndexOf(name);
    if (i >= 0) FItems.removeAt(i);
}

TfrxVariables& frxGlobalVariables() {
    static TfrxVariables variables;
    return variables;
}

}  // namespace qev
