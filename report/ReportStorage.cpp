#include "report/ReportStorage.h"

#include "format/Error.h"
#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxReport.h"
#include "report/TfrxShapeView.h"

#include <QByteArray>
#include <QJsonValue>
#include <QMetaEnum>
#include <QMetaProperty>

#include <cstring>
#include <functional>
#include <memory>

namespace qev {

namespace {

using Factory = std::function<TfrxComponent*(QObject*)>;

template <class T>
std::pair<QString, Factory> entry() {
    QString name = QString::fromLatin1(T::staticMetaObject.className());
    name = name.mid(name.lastIndexOf(u':') + 1);
    return {name, [](QObject* owner) -> TfrxComponent* { return new T(owner); }};
}

const QHash<QString, Factory>& factories() {
    static const QHash<QString, Factory> table{
        entry<TfrxReport>(),        entry<TfrxReportPage>(),   entry<TfrxDataPage>(),
        entry<TfrxMemoView>(),      entry<TfrxSysMemoView>(),  entry<TfrxLineView>(),
        entry<TfrxShapeView>(),     entry<TfrxPictureView>(),  entry<TfrxBand>(),
        entry<TfrxDataBand>(),      entry<TfrxMasterData>(),   entry<TfrxDetailData>(),
        entry<TfrxSubdetailData>(), entry<TfrxPageHeader>(),   entry<TfrxPageFooter>(),
        entry<TfrxGroupHeader>(),   entry<TfrxGroupFooter>(),  entry<TfrxReportTitle>(),
        entry<TfrxReportSummary>(), entry<TfrxColumnHeader>(), entry<TfrxColumnFooter>(),
        entry<TfrxHeader>(),        entry<TfrxFooter>(),       entry<TfrxChild>(),
        entry<TfrxOverlay>(),       entry<TfrxNullBand>(),
    };
    return table;
}

// Where property values live: a component, or a value object inside a variant.
struct Target {
    void* ptr;
    bool isObject;

    QVariant read(const QMetaProperty& p) const {
        return isObject ? p.read(static_cast<QObject*>(ptr)) : p.readOnGadget(ptr);
    }
    void write(const QMetaProperty& p, const QVariant& v) const {
        if (isObject)
            p.write(static_cast<QObject*>(ptr), v);
        else
            p.writeOnGadget(ptr, v);
    }
};

bool isValueObject(const QMetaProperty& p) {
    return p.metaType().flags() & QMetaType::IsGadget;
}

int enumNumber(const QVariant& v) {
    int n = 0;
    std::memcpy(&n, v.constData(), std::min<qsizetype>(sizeof n, v.metaType().sizeOf()));
    return n;
}

QVariant enumVariant(const QMetaProperty& p, int n) {
    return QVariant(p.metaType(), &n);
}

bool sameValue(const QMetaProperty& p, const QVariant& a, const QVariant& b) {
    if (p.isEnumType()) return enumNumber(a) == enumNumber(b);
    return a == b;
}

QJsonValue toJson(const QMetaProperty& p, const QVariant& v) {
    if (p.isEnumType()) {
        const QMetaEnum e = p.enumerator();
        const int n = enumNumber(v);
        if (e.isFlag()) return n == 0 ? QString() : QString::fromLatin1(e.valueToKeys(n));
        return QString::fromLatin1(e.valueToKey(n));
    }
    switch (p.metaType().id()) {
        case QMetaType::Bool:
            return v.toBool();
        case QMetaType::Int:
            return v.toInt();
        case QMetaType::Double:
            return v.toDouble();
        case QMetaType::QString:
            return v.toString();
        case QMetaType::QStringList:
            return QJsonArray::fromStringList(v.toStringList());
        case QMetaType::QByteArray:
            return QString::fromLatin1(v.toByteArray().toBase64());
        default:
            return QJsonValue::fromVariant(v);
    }
}

QVariant fromJson(const QMetaProperty& p, const QJsonValue& j) {
    if (p.isEnumType()) {
        const QMetaEnum e = p.enumerator();
        const QByteArray keys = j.toString().toLatin1();
        bool ok = true;
        int n = 0;
        if (!keys.isEmpty()) n = e.isFlag() ? e.keysToValue(keys, &ok) : e.keyToValue(keys, &ok);
        if (!ok)
            throw Error(
                QStringLiteral("Invalid property value: %1 = %2").arg(p.name(), j.toString()));
        return enumVariant(p, n);
    }
    switch (p.metaType().id()) {
        case QMetaType::Bool:
            return j.toBool();
        case QMetaType::Int:
            return j.toInt();
        case QMetaType::Double:
            return j.toDouble();
        case QMetaType::QString:
            return j.toString();
        case QMetaType::QStringList:
            return j.toVariant().toStringList();
        case QMetaType::QByteArray:
            return QByteArray::fromBase64(j.toString().toLatin1());
        default: {
            QVariant v = j.toVariant();
            v.convert(p.metaType());
            return v;
        }
    }
}

using PropertyFilter = std::function<bool(const QMetaProperty&)>;

// The stored properties of a class, in declaration order (base class first).
QList<QMetaProperty> storedProperties(const QMetaObject* mo, bool isObject,
                                      const PropertyFilter& keep) {
    QList<QMetaProperty> list;
    const int first = isObject ? QObject::staticMetaObject.propertyCount() : 0;
    for (int i = first; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (p.isWritable() && p.isStored() && (!keep || keep(p))) list.append(p);
    }
    return list;
}

QJsonObject diff(const QMetaObject* mo, Target value, Target reference, const PropertyFilter& keep);

QJsonObject diffValueObject(const QMetaProperty& p, const QVariant& value, QVariant& reference) {
    const QMetaObject* mo = p.metaType().metaObject();
    return diff(mo, {const_cast<void*>(value.constData()), false}, {reference.data(), false}, {});
}

// Differences in property order; every difference is also written into the
// reference so that later properties compare against what reading will give.
QJsonObject diff(const QMetaObject* mo, Target value, Target reference,
                 const PropertyFilter& keep) {
    QJsonObject out;
    for (const QMetaProperty& p : storedProperties(mo, value.isObject, keep)) {
        const QVariant a = value.read(p);
        QVariant r = reference.read(p);
        if (isValueObject(p)) {
            const QJsonObject sub = diffValueObject(p, a, r);
            if (sub.isEmpty()) continue;
            out.insert(QString::fromLatin1(p.name()), sub);
        } else {
            if (sameValue(p, a, r)) continue;
            out.insert(QString::fromLatin1(p.name()), toJson(p, a));
        }
        reference.write(p, a);
    }
    return out;
}

void apply(const QMetaObject* mo, Target target, const QJsonObject& stored,
           const PropertyFilter& keep) {
    for (const QMetaProperty& p : storedProperties(mo, target.isObject, keep)) {
        const auto it = stored.constFind(QString::fromLatin1(p.name()));
        if (it == stored.constEnd()) continue;
        if (isValueObject(p)) {
            QVariant current = target.read(p);
            apply(p.metaType().metaObject(), {current.data(), false}, it->toObject(), {});
            target.write(p, current);
        } else {
            target.write(p, fromJson(p, *it));
        }
    }
}

PropertyFilter storedBy(const TfrxComponent* component) {
    return [component](const QMetaProperty& p) { return component->IsStoredProperty(p.name()); };
}

std::unique_ptr<TfrxComponent> freshInstance(const TfrxComponent* like) {
    std::unique_ptr<TfrxComponent> fresh(frxCreateComponent(like->ClassName(), nullptr));
    if (!fresh) throw Error(QStringLiteral("Class %1 not found").arg(like->ClassName()));
    return fresh;
}

}  // namespace

TfrxComponent* frxCreateComponent(const QString& className, QObject* owner) {
    const auto it = factories().constFind(className);
    return it == factories().constEnd() ? nullptr : (*it)(owner);
}

QStringList frxComponentClassNames() {
    return factories().keys();
}

QJsonObject frxStoreProperties(const TfrxComponent* component, const TfrxComponent* reference) {
    std::unique_ptr<TfrxComponent> scratch = freshInstance(component);
    if (reference) frxAssignProperties(scratch.get(), reference);
    return diff(component->metaObject(), {const_cast<TfrxComponent*>(component), true},
                {scratch.get(), true}, storedBy(component));
}

void frxReadProperties(TfrxComponent* component, const QJsonObject& stored) {
    apply(component->metaObject(), {component, true}, stored, storedBy(component));
}

void frxAssignProperties(TfrxComponent* target, const TfrxComponent* source) {
    for (const QMetaProperty& p : storedProperties(target->metaObject(), true, storedBy(target)))
        p.write(target, p.read(source));
}

void frxResetProperties(TfrxComponent* component) {
    std::unique_ptr<TfrxComponent> fresh = freshInstance(component);
    frxAssignProperties(component, fresh.get());
}

QJsonObject frxStoreComponent(const TfrxComponent* component) {
    QJsonObject out = frxStoreProperties(component);
    out.insert(QStringLiteral("Class"), component->ClassName());
    if (!component->Objects().isEmpty()) {
        QJsonArray children;
        for (const TfrxComponent* child : component->Objects())
            children.append(frxStoreComponent(child));
        out.insert(QStringLiteral("Objects"), children);
    }
    return out;
}

TfrxComponent* frxReadComponent(const QJsonObject& stored, QObject* owner) {
    const QString className = stored.value(QStringLiteral("Class")).toString();
    TfrxComponent* component = frxCreateComponent(className, owner);
    if (!component) throw Error(QStringLiteral("Class %1 not found").arg(className));
    frxReadInto(component, stored);
    return component;
}

void frxReadInto(TfrxComponent* component, const QJsonObject& stored) {
    frxReadProperties(component, stored);
    for (const QJsonValue child : stored.value(QStringLiteral("Objects")).toArray())
        frxReadComponent(child.toObject(), component);
}

}  // namespace qev
