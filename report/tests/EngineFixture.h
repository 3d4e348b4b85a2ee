#pragma once

// Fixtures of the engine tests: a record set held in memory (it behaves like
// the application's tables: next() on the last row sets eof and stays there)
// and recorders for the error box and the processing of window messages.

#include "data/RecordSet.h"
#include "report/TfrxEngineHooks.h"

#include <QList>
#include <QStringList>
#include <QVariant>

namespace qev::test {

class MemoryRecordSet : public RecordSet {
  public:
    MemoryRecordSet(QString name, QStringList fields, QList<QVariantList> rows = {})
        : FName(std::move(name)), FFields(std::move(fields)), FRows(std::move(rows)) {}

    void open() override {
        if (FOpen) return;
        FOpen = true;
        FPos = 0;
        FEof = FRows.isEmpty();
        notifyAfterOpen();
    }
    void close() override {
        if (!FOpen) return;
        notifyBeforeClose();
        FOpen = false;
    }
    bool isOpen() const override { return FOpen; }

    void first() override { moveTo(0); }
    void next() override {
        ++Moves;
        if (FPos + 1 >= FRows.size()) {
            FEof = true;
            return;
        }
        moveTo(FPos + 1);
    }
    void prior() override {
        if (FPos > 0) moveTo(FPos - 1);
    }
    void last() override { moveTo(int(FRows.size()) - 1); }
    bool eof() const override { return FEof || FRows.isEmpty(); }
    bool bof() const override { return FRows.isEmpty() || FPos == 0; }
    int recordCount() const override { return int(FRows.size()); }

    QStringList fieldNames() const override { return FFields; }
    FieldType fieldType(const QString&) const override { return FieldType::String; }
    QVariant value(const QString& name) const override {
        qsizetype column = FFields.size() - 1;
        while (column >= 0 && FFields[column].compare(name, Qt::CaseInsensitive) != 0) --column;
        if (column < 0) throw FieldNotFound(FName, name);
        if (FPos < 0 || FPos >= FRows.size()) return {};
        return FRows[FPos].value(column);
    }

    int position() const override { return FPos; }
    void goTo(int position) override { moveTo(position); }

    // Every next(), to show what a run moved.
    int Moves = 0;

  private:
    void moveTo(int position) {
        FPos = std::max(0, std::min(position, int(FRows.size()) - 1));
        FEof = FRows.isEmpty();
        notifyAfterScroll();
    }

    QString FName;
    QStringList FFields;
    QList<QVariantList> FRows;
    bool FOpen = false;
    int FPos = 0;
    bool FEof = false;
};

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
