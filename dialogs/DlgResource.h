#pragma once

#include <cstdint>

#include "ui/CommandTable.h"
#include "ui/EditingDialog.h"

class QAction;
class QLineEdit;

// "Resource Definition": adds a resource (a row of the schedule) or renames one. Opened from
// the main window, centred on it. ResourceId: 0 for a new resource or the one to edit; after
// a save, the stored id; after Cancel (menu, toolbar or Escape), 0; after the close box,
// unchanged.
class DlgResource : public EditingDialog {
    Q_OBJECT

public:
    enum class Command { FileSave, FileCancel, Help, Count };
    static constexpr int NameLength = 24;

    explicit DlgResource(const Services& services);

    int32_t ResourceId() const { return resourceId_; }
    void SetResourceId(int32_t id) { resourceId_ = id; }

    QLineEdit* TxtResName() const { return txtResName_; }
    QAction* Action(Command command) const { return commands_.Action(command); }

    void mnuFileSave_Click();
    void mnuFileCancel_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

protected:
    void Form_Activate() override;
    void Form_Reactivate() override;

private:
    int32_t resourceId_ = 0;
    bool found_ = false; // the showing edits a stored resource
    QLineEdit* txtResName_;
    CommandTable commands_;
};
