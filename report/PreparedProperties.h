#pragma once

// Typed access to the properties that prepared pages keep: every stored
// property of a band or view but the data binding and a picture's bytes.
//
// Each class lists its own properties once, after its base class's, in the
// order of its Q_PROPERTY declarations:
//
//   template <class F, class... Self>
//   static void EachProperty(F&& f, Self&... self) {
//       TfrxView::EachProperty(f, self...);
//       f("Curve", self.Curve...);
//       f("Shape", self.Shape...);
//   }
//
// f gets the property's name and the member of every object passed, so one
// list serves copying and comparing (two objects of the class), rebuilding
// (one) and the check that it matches the Q_PROPERTY declarations. The name
// (the QObject's) is handled here, as position 0. The engine records and
// the store rebuilds thousands of these per report: going through the
// meta-object system and variants for each property would cost more than
// the rest of the preparation.

#include "report/PreparedPageCodec.h"

#include <QStringList>

namespace qev {

template <class C>
void frxAssignPrepared(C& target, const C& source) {
    if (&target == &source) return;
    if (target.Name() != source.Name()) target.SetName(source.Name());
    C::EachProperty([](const char*, auto& to, const auto& from) { to = from; }, target, source);
}

// Equal values; texts still shared with the source copy are equal at once.
template <class T>
bool frxSameValue(const T& a, const T& b) {
    return a == b;
}
inline bool frxSameValue(const QString& a, const QString& b) {
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

template <class C>
void frxWritePreparedDifferences(PreparedPageWriter& writer, const C& now, const C& source) {
    const QString name = now.Name();
    if (!frxSameValue(name, source.Name())) writer.writeProperty(0, name);
    int index = 0;
    C::EachProperty(
        [&](const char*, const auto& value, const auto& reference) {
            ++index;
            if (!frxSameValue(value, reference)) writer.writeProperty(index, value);
        },
        now, source);
    writer.endProperties();
}

// Whether two components of the class hold the same prepared properties.
template <class C>
bool frxSamePrepared(const C& a, const C& b) {
    bool same = frxSameValue(a.Name(), b.Name());
    C::EachProperty(
        [&](const char*, const auto& x, const auto& y) { same = same && frxSameValue(x, y); }, a,
        b);
    return same;
}

template <class C>
void frxReadPreparedDifferences(PreparedPageReader& reader, C& target) {
    int next = reader.nextProperty();
    if (next == 0) {
        QString name;
        reader.readValue(name);
        target.SetName(name);
        next = reader.nextProperty();
    }
    int index = 0;
    C::EachProperty(
        [&](const char*, auto& member) {
            if (++index != next) return;
            reader.readValue(member);
            next = reader.nextProperty();
        },
        target);
    reader.endProperties(next);
}

template <class C>
QStringList frxPreparedPropertyNames() {
    QStringList names{QStringLiteral("Name")};
    C::EachProperty([&](const char* name, auto&...) { names.append(QLatin1String(name)); });
    return names;
}

}  // namespace qev

// Defines the members QEV_PREPARED_PROPERTIES declares.
#define QEV_DEFINE_PREPARED_PROPERTIES(Class)                                                 \
    void Class::AssignPrepared(const TfrxComponent& source) {                                 \
        frxAssignPrepared(*this, static_cast<const Class&>(source));                          \
    }                                                                                         \
    void Class::WritePreparedDifferences(PreparedPageWriter& writer,                          \
                                         const TfrxComponent& source) const {                 \
        frxWritePreparedDifferences(writer, *this, static_cast<const Class&>(source));        \
    }                                                                                         \
    void Class::ReadPreparedDifferences(PreparedPageReader& reader) {                         \
        frxReadPreparedDifferences(reader, *this);                                            \
    }                                                                                         \
    QStringList Class::PreparedPropertyNames() const { return frxPreparedPropertyNames<Class>(); }
