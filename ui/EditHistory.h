#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <cstddef>
#include <optional>

#include "store/StoreChanges.h"

// The session's history of changes to records: every change set the user's work makes is
// one step, to be taken back and done again. Settings are not part of it. The oldest steps
// go when there are more than stepLimit or they hold more than byteLimit bytes; the newest
// is always kept.
class EditHistory : public QObject {
    Q_OBJECT

public:
    static constexpr int kStepLimit = 1000;
    static constexpr size_t kByteLimit = size_t{256} << 20;

    explicit EditHistory(StoreChanges& changes, int stepLimit = kStepLimit,
                         size_t byteLimit = kByteLimit, QObject* parent = nullptr);
    ~EditHistory() override;

    bool CanUndo() const { return stack_.canUndo(); }
    bool CanRedo() const { return stack_.canRedo(); }
    // The name of the step an undo or redo would take: "Delete 5,000 appointments".
    QString UndoText() const { return stack_.undoText(); }
    QString RedoText() const { return stack_.redoText(); }
    int Count() const { return stack_.count(); }
    size_t Bytes() const { return bytes_; }
    const QUndoStack& Stack() const { return stack_; }

    // Takes back the last step, or does the next one again. When the store refuses, both
    // stacks stay as they were and the refusal comes back; with nothing to do, nothing does.
    std::optional<StoreChanges::Refusal> Undo();
    std::optional<StoreChanges::Refusal> Redo();
    // Forgets every step.
    void Clear();
    // The step an undo or redo would take, or nullptr.
    const EditStep* NextUndo() const;
    const EditStep* NextRedo() const;

signals:
    // The stacks changed: what Undo and Redo offer may have changed with them.
    void Changed();

private:
    class Step;
    void Record(const ChangeSet& set);
    std::optional<StoreChanges::Refusal> Take(bool undo);
    void DropOldest();
    const Step* At(int index) const;

    StoreChanges& changes_;
    QUndoStack stack_;
    size_t byteLimit_;
    size_t bytes_ = 0;
    StoreChanges::Subscription subscription_;
};
