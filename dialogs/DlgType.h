#pragma once

#include <array>
#include <cstdint>

#include "ui/CommandTable.h"
#include "ui/EditingDialog.h"

class ColorButton;
class ColorLabel;
class MaskedTimeField;
class QAction;
class QLineEdit;

// "Appointment Type": a type's name, the colours of its bars and its duration rules
// (minimum, maximum with 0 for none, increment; whole minutes). Opened from the appointment
// dialog, centred on it. TypeId: 0 for a new type or the one to edit; after a save, the
// stored id; after a cancel, unchanged. A blank name and a duration that is none are
// refused; the record raises a minimum or increment below one minute to one.
class DlgType : public EditingDialog {
    Q_OBJECT

public:
    enum class Command { FileSave, FileCancel, Help, Count };

    DlgType(const Services& services, QWidget* parent);

    int32_t TypeId() const { return typeId_; }
    void SetTypeId(int32_t id) { typeId_ = id; }

    QLineEdit* TxtTypeName() const { return txtTypeName_; }
    ColorButton* BtnForeColor() const { return btnForeColor_; }
    ColorButton* BtnBackColor() const { return btnBackColor_; }
    ColorLabel* LblType() const { return lblType_; }
    MaskedTimeField* TxtMinTime() const { return txtMinTime_; }
    MaskedTimeField* TxtMaxTime() const { return txtMaxTime_; }
    MaskedTimeField* TxtIncTime() const { return txtIncTime_; }
    QAction* Action(Command command) const { return commands_.Action(command); }

    void BtnBackColor_Click();
    void BtnForeColor_Click();
    // A duration spin: a minute up (direction 0) or down, never below 0.
    static void Spin(MaskedTimeField* field, int direction);
    void mnuFileSave_Click();
    void mnuFileCancel_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

protected:
    void Form_Activate() override;

private:
    // The picker starts from the button's colour; closing it without a choice keeps it.
    void ChooseColor(ColorButton* button, const char* procedure);
    // Minimum, maximum and increment.
    std::array<MaskedTimeField*, 3> Durations() const {
        return {txtMinTime_, txtMaxTime_, txtIncTime_};
    }

    int32_t typeId_ = 0;
    // The type's durations as stored, and as the fields showed them: a field shows no more
    // than 99:59, and a longer duration the user leaves alone is saved as it was.
    std::array<int32_t, 3> stored_{};
    std::array<int32_t, 3> shown_{};
    QLineEdit* txtTypeName_;
    ColorButton* btnForeColor_;
    ColorButton* btnBackColor_;
    ColorLabel* lblType_;
    MaskedTimeField* txtMinTime_;
    MaskedTimeField* txtMaxTime_;
    MaskedTimeField* txtIncTime_;
    CommandTable commands_;
};
