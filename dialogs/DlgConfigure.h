#pragma once

#include "ui/ShowingDialog.h"

#include <array>
#include <cstdint>

class ColorButton;
class DlgMain;
class KeyedToolBar;
class QAction;
class QCheckBox;
class QLineEdit;
class QMenuBar;
class QRadioButton;

// "Configuration": the date format, four display options, the word for the resources and the
// schedule's five colours. Every change goes into the settings as it is made (there is no
// cancel); colours reach the main window's grid at once, the rest when it is next drawn.
class DlgConfigure : public ShowingDialog {
    Q_OBJECT

public:
    // Every command of the window, in menu order.
    enum class Command { FileExit, Help, Count };
    static constexpr int kColors = 5;
    static constexpr int kOptions = 4;

    explicit DlgConfigure(DlgMain& main);

    QRadioButton* BtnDate(int index) const { return btnDate_[static_cast<size_t>(index)]; }
    QCheckBox* ChkOption(int index) const { return chkOption_[static_cast<size_t>(index)]; }
    QLineEdit* TxtResType() const { return txtResType_; }
    ColorButton* BtnColor(int index) const { return btnColor_[static_cast<size_t>(index)]; }
    KeyedToolBar* ToolBar() const { return toolBar_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    QAction* Action(Command command) const { return actions_[static_cast<size_t>(command)]; }

    // Runs at each showing.
    void Form_Load() override;
    // Runs at the first activation of each showing.
    void Form_Activate() override;

    void BtnColor_Click(int index);
    void BtnDate_Click(int index);
    void ChkOption_Click(int index);
    void TxtResType_GotFocus();
    void TxtResType_LostFocus();
    void mnuFileExit_Click();
    void mnuHelp_Click();
    void ToolBar_ButtonClick(const QString& key, bool flag);

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    QWidget* BuildSettings();
    // The word in the field becomes the setting: without surrounding spaces, cut to 24.
    void StoreResourceType();

    DlgMain& main_;
    QMenuBar* menuBar_ = nullptr;
    KeyedToolBar* toolBar_ = nullptr;
    std::array<QRadioButton*, 2> btnDate_{};
    std::array<QCheckBox*, kOptions> chkOption_{};
    QLineEdit* txtResType_ = nullptr;
    std::array<ColorButton*, kColors> btnColor_{};
    std::array<QAction*, static_cast<size_t>(Command::Count)> actions_{};
};
