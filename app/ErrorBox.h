#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace qev {

// The stop-icon message box every unhandled error ends in. Replaceable so that
// tests can see what would have been shown; with QEV_NONINTERACTIVE set in the
// environment the default prints the box to stderr instead of waiting for a click.
using ErrorBoxFunction =
    std::function<void(QWidget* parent, const QString& title, const QString& text)>;

void showErrorBox(QWidget* parent, const QString& title, const QString& text);
// Installs a replacement and returns the one it replaces; an empty function
// restores the standard box.
ErrorBoxFunction setErrorBoxFunction(ErrorBoxFunction function);

// The information box that tells how an action went (e.g. a message sent);
// replaceable like the error box, and printed to stdout with QEV_NONINTERACTIVE.
void showInformationBox(QWidget* parent, const QString& title, const QString& text);
ErrorBoxFunction setInformationBoxFunction(ErrorBoxFunction function);

// The message as the standard error box shows it: with a final "." when missing.
QString handlerErrorText(const QString& message);

// The message of any exception: the exact text of a qev::Error, what() otherwise.
QString exceptionMessage(const std::exception& error);
// The readable class name of an exception ("qev::Error").
QString exceptionClassName(const std::exception& error);

// "Exception <class> in module <file> at <address>." and the message on the next
// line: the box shown when the program cannot start.
QString applicationErrorText(const QString& className, const QString& module, const void* address,
                             const QString& message);

// Runs a window handler the way every handler of this program runs: an error
// ends the handler and shows the standard box titled with the application's
// name; the window stays usable.
void runHandler(QWidget* parent, const std::function<void()>& handler);

}  // namespace qev
