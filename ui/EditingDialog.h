#pragma once

#include <QDialog>

#include <QHash>
#include <QKeySequence>
#include <QString>

#include <array>

class DlgMain;
class KeyedToolBar;
class QAction;
class QLineEdit;
class QMenuBar;
class QVBoxLayout;

// What the editing dialogs share: a menu bar and a keyed toolbar above the fields, a size
// in twips, centring on the parent at each showing ("load") and a set-up once per showing
// at the first activation. The dialog object and its properties outlive its showings.
class EditingDialog : public QDialog {
    Q_OBJECT

public:
    KeyedToolBar* ToolBar() const { return toolBar_; }
    QMenuBar* MenuBar() const { return menuBar_; }
    // True once the set-up of the current showing has run.
    bool Activated() const { return activated_; }

protected:
    // The form name is the one failures are logged under; the size is the least the
    // dialog takes, more when its fields need more.
    EditingDialog(DlgMain& main, QWidget* parent, const char* form, double widthTwips,
                  double heightTwips);

    DlgMain& Main() const { return main_; }
    const char* Form() const { return form_; }
    // The fields go here, below the toolbar.
    QVBoxLayout* Body() const { return body_; }

    // Every activation of a showing; first is true for the first one.
    virtual void Form_Activate(bool first) = 0;

    // A command of the dialog: its caption ("&" marks the access key) and shortcut, which
    // works anywhere in the dialog.
    QAction* MakeAction(const QString& caption, const QKeySequence& shortcut = {});
    // Escape runs this command. Not as a shortcut: a list's completions or a calendar that
    // dropped down must see Escape first.
    void SetCancelAction(QAction* action) { cancelAction_ = action; }
    // A toolbar button; toolbar buttons take no focus, so Tab runs through the fields only.
    // A click on it runs the action, if one is given, through TriggerToolButton.
    void AddToolButton(const QString& key, const QString& tip, bool dropDown = false,
                       QAction* action = nullptr);
    // Runs the action of the button's key, if it was given one.
    void TriggerToolButton(const QString& key);
    // The File menu (Save, Cancel) and Help of a dialog that edits one record, with toolbar
    // buttons of the same names and Escape running Cancel; the actions in that order.
    std::array<QAction*, 3> AddSaveCancelHelp(const QString& saveCaption,
                                              bool separatorBeforeCancel);
    // The field selects its whole text whenever it gets the focus.
    void SelectAllOnFocus(QLineEdit* field);
    // A name of nothing but blanks would be stored as a blank row: refuses it with a message
    // and puts the focus back in the field. True when refused. The record word is "customer",
    // "resource" or "appointment type".
    bool RefuseBlankName(QLineEdit* field, const QString& record);
    // Opens this dialog's help topic, owned by the main window.
    void ShowHelp(int contextId);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void Activate();

    DlgMain& main_;
    const char* form_;
    double widthTwips_;
    double heightTwips_;
    QMenuBar* menuBar_;
    KeyedToolBar* toolBar_;
    QVBoxLayout* body_;
    QAction* cancelAction_ = nullptr;
    QHash<QString, QAction*> toolActions_;
    bool activated_ = false;
};
