#pragma once

#include <cstdint>

#include "ui/CommandTable.h"
#include "ui/EditingDialog.h"

class QAction;
class QLineEdit;

// "Customer": adds a customer or renames one. Opened from the appointment dialog, centred on
// it. CustomerId: 0 for a new customer or the one to edit; after a save, the stored id;
// after a cancel, unchanged.
class DlgCustomer : public EditingDialog {
    Q_OBJECT

public:
    enum class Command { FileSave, FileCancel, Help, Count };

    DlgCustomer(const Services& services, QWidget* parent);

    int32_t CustomerId() const { return customerId_; }
    void SetCustomerId(int32_t id) { customerId_ = id; }

    QLineEdit* TxtCustomerName() const { return txtCustomerName_; }
    QAction* Action(Command command) const { return commands_.Action(command); }

    void mnuFileSave_Click();
    void mnuFileCancel_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

protected:
    void Form_Activate() override;

private:
    int32_t customerId_ = 0;
    QLineEdit* txtCustomerName_;
    CommandTable commands_;
};
