#include "widgets/LookupComboBox.h"

#include <QCompleter>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>

#include <algorithm>

LookupComboBox::LookupComboBox(QWidget* parent)
    : QComboBox(parent), model_(new LookupListModel(this)) {
    setModel(model_);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Measuring every name for the width would take long on a long list.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(16);
    setMaxVisibleItems(15);
    if (auto* list = qobject_cast<QListView*>(view())) {
        list->setUniformItemSizes(true);
    }
    auto* completer = new QCompleter(model_, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setFilterMode(Qt::MatchStartsWith);
    completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    completer->setMaxVisibleItems(12);
    if (auto* list = qobject_cast<QListView*>(completer->popup())) {
        list->setUniformItemSizes(true);
    }
    setCompleter(completer);
    connect(lineEdit(), &QLineEdit::returnPressed, this, &LookupComboBox::Commit);
}

void LookupComboBox::Fill(LookupListModel::Items items) {
    const QSignalBlocker blocker(this);
    model_->SetItems(std::move(items));
    setCurrentIndex(-1);
}

int LookupComboBox::SelectId(int32_t id) {
    if (count() == 0) {
        return -1;
    }
    const int row = std::max(model_->RowOfId(id), 0);
    if (currentIndex() == row) {
        lineEdit()->setText(itemText(row));
        emit currentIndexChanged(row);
    } else {
        setCurrentIndex(row);
    }
    return row;
}

void LookupComboBox::Commit() {
    const int current = currentIndex();
    const QString typed = lineEdit()->text();
    if (current >= 0 && typed == itemText(current)) {
        return;
    }
    const int row = model_->RowNamed(typed);
    if (row >= 0 && row != current) {
        setCurrentIndex(row);
    }
    const int shown = row >= 0 ? row : current;
    lineEdit()->setText(shown >= 0 ? itemText(shown) : QString());
}

// The list's own drop-down and the completions take the focus for a moment: not a leave.
void LookupComboBox::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::PopupFocusReason) {
        Commit();
    }
    QComboBox::focusOutEvent(event);
}

// A screen reader reads the typing field, not the list around it: it goes by the list's name,
// given or taken from the label whose buddy the list is (known only once the window is built).
void LookupComboBox::showEvent(QShowEvent* event) {
    QString name = accessibleName();
    if (name.isEmpty() && parentWidget() != nullptr) {
        for (const QLabel* label :
             parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (label->buddy() == this) {
                name = label->text().remove(u'&');
            }
        }
    }
    lineEdit()->setAccessibleName(name);
    QComboBox::showEvent(event);
}
