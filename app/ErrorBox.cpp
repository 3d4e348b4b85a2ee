#include "app/ErrorBox.h"

#include "format/Error.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <cxxabi.h>
#include <cstdio>
#include <memory>
#include <typeinfo>

namespace qev {

namespace {

bool nonInteractive() {
    return qEnvironmentVariableIsSet("QEV_NONINTERACTIVE");
}

void standardErrorBox(QWidget* parent, const QString& title, const QString& text) {
    if (nonInteractive()) {
        std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(title), qUtf8Printable(text));
        std::fflush(stderr);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box.exec();
}

ErrorBoxFunction& currentErrorBox() {
    static ErrorBoxFunction function = standardErrorBox;
    return function;
}

void standardInformationBox(QWidget* parent, const QString& title, const QString& text) {
    if (nonInteractive()) {
        std::fprintf(stdout, "[%s] %s\n", qUtf8Printable(title), qUtf8Printable(text));
        std::fflush(stdout);
        return;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.exec();
}

ErrorBoxFunction& currentInformationBox() {
    static ErrorBoxFunction function = standardInformationBox;
    return function;
}

}  // namespace

void showInformationBox(QWidget* parent, const QString& title, const QString& text) {
    currentInformationBox()(parent, title, text);
}

ErrorBoxFunction setInformationBoxFunction(ErrorBoxFunction function) {
    ErrorBoxFunction previous = currentInformationBox();
    currentInformationBox() =
        function ? std::move(function) : ErrorBoxFunction(standardInformationBox);
    return previous;
}

void showErrorBox(QWidget* parent, const QString& title, const QString& text) {
    currentErrorBox()(parent, title, text);
}

ErrorBoxFunction setErrorBoxFunction(ErrorBoxFunction function) {
    ErrorBoxFunction previous = currentErrorBox();
    currentErrorBox() = function ? std::move(function) : ErrorBoxFunction(standardErrorBox);
    return previous;
}

QString handlerErrorText(const QString& message) {
    if (message.isEmpty() || message.endsWith(u'.')) return message;
    return message + u'.';
}

QString exceptionMessage(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Error*>(&error)) return own->message();
    return QString::fromLocal8Bit(error.what());
}

QString exceptionClassName(const std::exception& error) {
    const char* mangled = typeid(error).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> readable(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && readable ? readable.get() : mangled);
}

QString applicationErrorText(const QString& className, const QString& module, const void* address,
                             const QString& message) {
    const auto value = reinterpret_cast<quintptr>(address);
    const QString hex = QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("Exception %1 in module %2 at %3.\n%4")
        .arg(className, module, hex, handlerErrorText(message));
}

void runHandler(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        showErrorBox(parent, QCoreApplication::applicationName(),
                     handlerErrorText(exceptionMessage(error)));
    }
}

}  // namespace qev
