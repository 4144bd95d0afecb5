#include "ui/EditHistory.h"

#include <QUndoCommand>

#include <memory>
#include <utility>
#include <vector>

// A step on the stack. The store is changed by the history itself, which asks first whether
// it can be; QUndoStack only keeps the steps and the place between them.
class EditHistory::Step final : public QUndoCommand {
public:
    explicit Step(std::shared_ptr<const EditStep> step)
        : QUndoCommand(QString::fromStdString(step->What())), step_(std::move(step)) {}
    void undo() override {}
    void redo() override {}
    const std::shared_ptr<const EditStep>& Edit() const { return step_; }

private:
    std::shared_ptr<const EditStep> step_;
};

EditHistory::EditHistory(StoreChanges& changes, int stepLimit, size_t byteLimit, QObject* parent)
    : QObject(parent), changes_(changes), byteLimit_(byteLimit) {
    stack_.setUndoLimit(stepLimit);
    connect(&stack_, &QUndoStack::indexChanged, this, &EditHistory::Changed);
    subscription_ = changes_.Subscribe([this](const ChangeSet& set) { Record(set); });
}

EditHistory::~EditHistory() {
    // The stack clears itself on the way out: nobody is to hear of that.
    disconnect(&stack_, nullptr, this, nullptr);
}

const EditHistory::Step* EditHistory::At(int index) const {
    return index >= 0 && index < stack_.count() ? static_cast<const Step*>(stack_.command(index))
                                                : nullptr;
}

const EditStep* EditHistory::NextUndo() const {
    const Step* step = At(stack_.index() - 1);
    return step ? step->Edit().get() : nullptr;
}

const EditStep* EditHistory::NextRedo() const {
    const Step* step = At(stack_.index());
    return step ? step->Edit().get() : nullptr;
}

void EditHistory::Clear() {
    stack_.clear();
    bytes_ = 0;
    emit Changed();
}

std::optional<StoreChanges::Refusal> EditHistory::Undo() {
    return Take(true);
}

std::optional<StoreChanges::Refusal> EditHistory::Redo() {
    return Take(false);
}

std::optional<StoreChanges::Refusal> EditHistory::Take(bool undo) {
    const EditStep* step = undo ? NextUndo() : NextRedo();
    if (step == nullptr) {
        return std::nullopt;
    }
    if (auto refusal = undo ? changes_.Undo(*step) : changes_.Redo(*step)) {
        return refusal;
    }
    undo ? stack_.undo() : stack_.redo();
    return std::nullopt;
}

void EditHistory::Record(const ChangeSet& set) {
    if (set.origin != ChangeSet::Origin::Change || (set.Records() == 0 && set.series.empty())) {
        return;
    }
    stack_.push(new Step(std::make_shared<const EditStep>(set)));
    bytes_ = 0;
    for (int i = 0; i < stack_.count(); ++i) {
        bytes_ += At(i)->Edit()->Bytes();
    }
    if (bytes_ > byteLimit_ && stack_.count() > 1) {
        DropOldest();
    }
    emit Changed();
}

// QUndoStack drops old steps only by count: past the byte limit the steps that stay are
// stacked again, without the oldest. A push has just emptied the redo side.
void EditHistory::DropOldest() {
    std::vector<std::shared_ptr<const EditStep>> kept;
    for (int i = 0; i < stack_.count(); ++i) {
        kept.push_back(At(i)->Edit());
    }
    size_t first = 0;
    while (bytes_ > byteLimit_ && first + 1 < kept.size()) {
        bytes_ -= kept[first]->Bytes();
        ++first;
    }
    stack_.clear();
    for (size_t i = first; i < kept.size(); ++i) {
        stack_.push(new Step(kept[i]));
    }
}
