#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

#include "ui/CommandTable.h"
#include "ui/Services.h"
#include "ui/WindowFrame.h"

class ColorButton;
class KeyedToolBar;
class QAction;
class QCheckBox;
class QLineEdit;
class QMenuBar;
class QRadioButton;
class ScheduleView;

// "Configuration": the date format, four display options, the word for the resources and the
// schedule's five colours. Every change goes into the settings as it is made (there is no
// cancel); colours reach the main window's grid at once, the rest when it is next drawn.
class DlgConfigure : public QDialog {
    Q_OBJECT

public:
    // Every command of the window, in menu order.
    enum class Command { FileExit, Help, Count };
    static constexpr int kColors = 5;
    static constexpr int kOptions = 4;

    // Colours go to the schedule at once.
    DlgConfigure(const Services& services, ScheduleView& schedule);

    QRadioButton* BtnDate(int index) const { return btnDate_[static_cast<size_t>(index)]; }
    QCheckBox* ChkOption(int index) const { return chkOption_[static_cast<size_t>(index)]; }
    QLineEdit* TxtResType() const { return txtResType_; }
    ColorButton* BtnColor(int index) const { return btnColor_[static_cast<size_t>(index)]; }
    KeyedToolBar* ToolBar() const { return toolBar_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    QAction* Action(Command command) const { return commands_.Action(command); }
    bool Activated() const { return frame_.Activated(); }

    // Runs at each showing.
    void Form_Load();
    // Runs at the first activation of each showing.
    void Form_Activate();

    void BtnColor_Click(int index);
    void BtnDate_Click(int index);
    void ChkOption_Click(int index);
    void TxtResType_GotFocus();
    void TxtResType_LostFocus();
    void mnuFileExit_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildSettings();
    // The word in the field becomes the setting: without surrounding spaces, cut to 24.
    void StoreResourceType();

    const Services services_;
    ScheduleView& schedule_;
    QMenuBar* menuBar_ = nullptr;
    KeyedToolBar* toolBar_ = nullptr;
    std::array<QRadioButton*, 2> btnDate_{};
    std::array<QCheckBox*, kOptions> chkOption_{};
    QLineEdit* txtResType_ = nullptr;
    std::array<ColorButton*, kColors> btnColor_{};
    CommandTable commands_;
    WindowFrame frame_;
};
