#include "report/TfrxEngineHooks.h"

#include <QCoreApplication>

#include <cstdio>
#include <utility>

namespace qev {

namespace {

void writeToStandardError(const QString& text, const QString& caption) {
    std::fprintf(stderr, "%s\n%s\n", qPrintable(caption), qPrintable(text));
}

void processPendingEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

TfrxMessageBoxFunction& messageBox() {
    static TfrxMessageBoxFunction function = writeToStandardError;
    return function;
}

TfrxProcessMessagesFunction& processMessages() {
    static TfrxProcessMessagesFunction function = processPendingEvents;
    return function;
}

}  // namespace

TfrxMessageBoxFunction frxSetMessageBox(TfrxMessageBoxFunction function) {
    if (!function) function = writeToStandardError;
    return std::exchange(messageBox(), std::move(function));
}

TfrxProcessMessagesFunction frxSetProcessMessages(TfrxProcessMessagesFunction function) {
    if (!function) function = processPendingEvents;
    return std::exchange(processMessages(), std::move(function));
}

void frxErrorBox(const QString& text, const QString& caption) {
    messageBox()(text, caption);
}

void frxProcessMessages() {
    processMessages()();
}

}  // namespace qev
