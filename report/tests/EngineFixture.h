#pragma once

// Fixtures of the engine tests: a record set held in memory and recorders for
// the error box and the processing of window messages.

#include "testing/VectorRecordSet.h"
#include "report/TfrxEngineHooks.h"

#include <QList>
#include <QStringList>
#include <QVariant>

namespace qev::test {

// The engine tests' name for the in-memory record set.
using MemoryRecordSet = VectorRecordSet;

// Collects error boxes instead of showing them, and counts the points where
// window messages would be processed; puts the previous functions back.
class HookRecorder {
  public:
    HookRecorder() {
        FOldBox = frxSetMessageBox([this](const QString& text, const QString& caption) {
            Boxes.append(text);
            Captions.append(caption);
        });
        FOldProcess = frxSetProcessMessages([this] {
            ++ProcessCalls;
            if (OnProcess) OnProcess();
        });
    }
    ~HookRecorder() {
        frxSetMessageBox(FOldBox);
        frxSetProcessMessages(FOldProcess);
    }
    HookRecorder(const HookRecorder&) = delete;
    HookRecorder& operator=(const HookRecorder&) = delete;

    QStringList Boxes;
    QStringList Captions;
    int ProcessCalls = 0;
    std::function<void()> OnProcess;

  private:
    TfrxMessageBoxFunction FOldBox;
    TfrxProcessMessagesFunction FOldProcess;
};

}  // namespace qev::test
