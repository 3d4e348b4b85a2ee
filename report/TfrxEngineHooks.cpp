#include "report/TfrxEngineHooks.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <utility>

namespace qev {

namespace {

void writeToStandardError(const QString& text, const QString& caption) {
    std::fprintf(stderr, "%s\n%s\n", qPrintable(caption), qPrintable(text));
}

// The engine asks for every band, tens of thousands of times on a long
// statement: pending events are handled at most every few milliseconds, which
// a window's user does not notice.
void processPendingEvents() {
    using Clock = std::chrono::steady_clock;
    constexpr auto interval = std::chrono::milliseconds(10);
    thread_local Clock::time_point last;
    if (!QCoreApplication::instance()) return;
    const Clock::time_point now = Clock::now();
    if (now - last < interval) return;
    last = now;
    QCoreApplication::processEvents();
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
