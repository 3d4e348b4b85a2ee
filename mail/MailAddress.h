#pragma once

#include <QString>
#include <QStringList>

namespace qev {

// A plain Internet mail address ("local@domain.tld", ASCII only). Anything a
// server or a mail header could read in two ways (spaces, quotes, angle
// brackets, control characters) makes it invalid.
bool isValidMailAddress(const QString& address);

// The addresses of a partner's e-mail field: one address, or several separated
// by ";" or ",". Empty when the field holds none. Throws qev::Error
// "La dirección de correo "%1" no es válida" for the first one that is not.
QStringList parseMailAddresses(const QString& field);

}  // namespace qev
