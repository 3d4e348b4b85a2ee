#include "report/TfrxComponent.h"

#include "report/ReportStorage.h"
#include "report/TfrxPage.h"
#include "report/TfrxReport.h"

namespace qev {

TfrxComponent::TfrxComponent(QObject* owner) {
    if (auto* parent = qobject_cast<TfrxComponent*>(owner))
        attachTo(parent);
    else
        QObject::setParent(owner);
}

TfrxComponent::~TfrxComponent() {
    // Children go first, while this component can still take them off its list.
    Clear();
    if (FParent) FParent->FObjects.removeOne(this);
}

void TfrxComponent::attachTo(TfrxComponent* parent) {
    if (FParent) FParent->FObjects.removeOne(this);
    FParent = parent;
    QObject::setParent(parent);
    if (!parent) return;
    parent->FObjects.append(this);
    if (FParentFont) {
        FFont = parent->FFont;
        FontChanged();
    }
}

void TfrxComponent::SetParent(TfrxComponent* parent) {
    if (parent != FParent) attachTo(parent);
}

void TfrxComponent::SetBounds(double left, double top, double width, double height) {
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

double TfrxComponent::AbsLeft() const {
    return FParent ? FParent->AbsLeft() + FLeft : FLeft;
}

double TfrxComponent::AbsTop() const {
    return FParent ? FParent->AbsTop() + FTop : FTop;
}

void TfrxComponent::SetFont(const TfrxFont& font) {
    FFont = font;
    FParentFont = false;
    FontChanged();
}

void TfrxComponent::SetParentFont(bool value) {
    FParentFont = value;
    if (value && FParent) {
        FFont = FParent->FFont;
        FontChanged();
    }
}

void TfrxComponent::FontChanged() {
    for (TfrxComponent* child : FObjects) {
        if (!child->FParentFont) continue;
        child->FFont = FFont;
        child->FontChanged();
    }
}

QList<TfrxComponent*> TfrxComponent::AllObjects() const {
    QList<TfrxComponent*> all;
    appendAllObjects(all);
    return all;
}

void TfrxComponent::appendAllObjects(QList<TfrxComponent*>& all) const {
    for (TfrxComponent* child : FObjects) {
        all.append(child);
        child->appendAllObjects(all);
    }
}

TfrxComponent* TfrxComponent::FindObject(const QString& name) const {
    for (TfrxComponent* c : AllObjects())
        if (c->Name().compare(name, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

TfrxPage* TfrxComponent::Page() const {
    for (const TfrxComponent* c = this; c; c = c->FParent)
        if (auto* page = qobject_cast<TfrxPage*>(const_cast<TfrxComponent*>(c))) return page;
    return nullptr;
}

TfrxReport* TfrxComponent::Report() const {
    for (const TfrxComponent* c = this; c; c = c->FParent)
        if (TfrxReport* report = c->asReport()) return report;
    return nullptr;
}

QString TfrxComponent::ClassName() const {
    QString name = QString::fromLatin1(metaObject()->className());
    const qsizetype scope = name.lastIndexOf(u"::");
    return scope < 0 ? name : name.mid(scope + 2);
}

QString TfrxComponent::BaseName() const {
    QString name = ClassName();
    const qsizetype frx = name.indexOf(u"Tfrx");
    if (frx >= 0) name.remove(frx, 4);
    const qsizetype view = name.indexOf(u"View");
    if (view >= 0) name.remove(view, 4);
    return name;
}

void TfrxComponent::Clear() {
    const QList<TfrxComponent*> children = FObjects;
    FObjects.clear();
    for (TfrxComponent* child : children) {
        child->FParent = nullptr;
        delete child;
    }
}

bool TfrxComponent::IsStoredProperty(const char*) const {
    return true;
}

void TfrxComponent::AssignStored(const TfrxComponent& source) {
    frxAssignProperties(this, &source);
}

}  // namespace qev
