#pragma once

// The two places where the report engine meets the windowing system: the error
// box shown at the end of a failed preparation, and the processing of pending
// window messages during long work. report/ has no widgets, so both are
// replaceable functions: the application installs a real message box, tests
// install recorders.

#include <QString>

#include <functional>

namespace qev {

// Shows `text` in a modal box captioned `caption` with the error icon.
using TfrxMessageBoxFunction = std::function<void(const QString& text, const QString& caption)>;
// Lets pending window messages be handled.
using TfrxProcessMessagesFunction = std::function<void()>;

// Installs a new function and returns the previous one; an empty function
// puts the default back (the default box writes to standard error, the default
// message processing is QCoreApplication::processEvents when an application
// object exists).
TfrxMessageBoxFunction frxSetMessageBox(TfrxMessageBoxFunction function);
TfrxProcessMessagesFunction frxSetProcessMessages(TfrxProcessMessagesFunction function);

void frxErrorBox(const QString& text, const QString& caption);
void frxProcessMessages();

}  // namespace qev
