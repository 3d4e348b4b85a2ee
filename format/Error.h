#pragma once

#include <QString>

#include <stdexcept>

namespace qev {

// Every error this program raises for the user to see. what() holds the exact
// user-visible text (UTF-8); message() gives it back as a QString.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// A text that does not convert to a number ("'%s' is not a valid ... value").
class ConversionError : public Error {
public:
    using Error::Error;
};

}  // namespace qev
