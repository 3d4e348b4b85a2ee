#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace qev {

struct TfrxVariable {
    QString Name;
    QVariant Value;
};

// Named report variables, in insertion order; names match ignoring case.
class TfrxVariables {
  public:
    int IndexOf(const QString& name) const;
    bool Contains(const QString& name) const { return IndexOf(name) >= 0; }
    QVariant Value(const QString& name) const;
    void Set(const QString& name, const QVariant& value);
    void Remove(const QString& name);
    void Clear() { FItems.clear(); }
    const QList<TfrxVariable>& Items() const { return FItems; }
    int Count() const { return int(FItems.size()); }

  private:
    QList<TfrxVariable> FItems;
};

// The process-wide report variables (main thread only).
TfrxVariables& frxGlobalVariables();

}  // namespace qev
