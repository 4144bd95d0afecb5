#pragma once

#include <QComboBox>

#include <cstdint>

#include "widgets/LookupListModel.h"

// A drop-down list of records kept in name order, in which the user may also type: the
// names that begin with what is typed drop down to choose from, and leaving the field (or
// Commit) selects the entry the text names, else the first entry it begins, else shows the
// selected entry again. Typing never adds an entry. Entries carry their record's id as
// Qt::UserRole, as the dialog helpers expect.
class LookupComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit LookupComboBox(QWidget* parent = nullptr);

    // Replaces the entries (see LookupListModel::SetItems); nothing is selected afterwards
    // and no signal is raised.
    void Fill(LookupListModel::Items items);
    // Selects the first entry carrying the id, or the first entry when none does, and
    // raises currentIndexChanged once, also when that entry was already selected. Returns
    // the position, or -1 for an empty list, which is left as it is.
    int SelectId(int32_t id);
    // Settles what was typed, as on leaving the field.
    void Commit();

    LookupListModel* Model() const { return model_; }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    LookupListModel* model_;
};
