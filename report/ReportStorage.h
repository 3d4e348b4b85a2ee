#pragma once

// The stored form of report components: JSON objects holding the class name,
// the properties that differ from a reference, and the children in order.
//
//   {"Class": "TfrxMemoView", "Name": "Memo1", "Left": 3.77953,
//    "Font": {"Height": -21, "Style": "fsBold"}, "HAlign": "haCenter",
//    "Objects": [ ... ]}
//
// Every Q_PROPERTY with a WRITE is stored unless the component's
// IsStoredProperty says no. Enumerations and sets are stored by name, value
// objects (font, frame, format) as objects of their own differing members,
// byte arrays as base64. Differences are taken in property order against a
// reference that is updated as it goes (replaying the setters, as reading
// will), so a setter's side effects (assigning a font turns ParentFont off,
// setting a frame colour colours the side lines) are accounted for and reading
// the stored form always gives back the stored component.

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace qev {

class TfrxComponent;

// A new component of a stored class name under `owner`; null for an unknown
// class. Every report class is known.
TfrxComponent* frxCreateComponent(const QString& className, QObject* owner);
// Every class frxCreateComponent knows.
QStringList frxComponentClassNames();

// The properties of `component` that differ from `reference` (a freshly
// constructed instance of the same class when null). Children not included.
QJsonObject frxStoreProperties(const TfrxComponent* component,
                               const TfrxComponent* reference = nullptr);
// Applies stored properties in property order.
void frxReadProperties(TfrxComponent* component, const QJsonObject& stored);
// Copies every stored property of `source` onto `target` (same class).
void frxAssignProperties(TfrxComponent* target, const TfrxComponent* source);
// Puts every stored property back to the constructor's default.
void frxResetProperties(TfrxComponent* component);

// Class, differing properties and, under "Objects", the children.
QJsonObject frxStoreComponent(const TfrxComponent* component);
// Creates the stored component (and its children) under `owner`. Throws
// qev::Error for an unknown class.
TfrxComponent* frxReadComponent(const QJsonObject& stored, QObject* owner);
// Reads the stored properties and children into an existing component.
void frxReadInto(TfrxComponent* component, const QJsonObject& stored);

}  // namespace qev
