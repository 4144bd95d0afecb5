#pragma once

#include <QDialog>

#include "ui/Services.h"
#include "ui/WindowFrame.h"

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
    bool Activated() const { return frame_.Activated(); }

protected:
    // The form name is the one failures are logged under; the size is the least the
    // dialog takes, more when its fields need more.
    EditingDialog(const Services& services, QWidget* parent, const char* form, double widthTwips,
                  double heightTwips, int helpContext);

    // The fields go here, below the toolbar.
    QVBoxLayout* Body() const { return body_; }

    // The set-up of a showing, at its first activation.
    virtual void Form_Activate() = 0;
    // Each later activation of the showing, when the user comes back from another window.
    virtual void Form_Reactivate() {}

    // Escape runs this command. Not as a shortcut: a list's completions or a calendar that
    // dropped down must see Escape first.
    void SetCancelAction(QAction* action) { cancelAction_ = action; }
    // The field selects its whole text whenever it gets the focus.
    void SelectAllOnFocus(QLineEdit* field);
    // A name of nothing but blanks would be stored as a blank row: refuses it with a message
    // and puts the focus back in the field. True when refused. The record word is "customer",
    // "resource" or "appointment type".
    bool RefuseBlankName(QLineEdit* field, const QString& record);
    // Opens this dialog's help topic, owned by the main window.
    void ShowHelp() const { frame_.ShowHelp(); }

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    const Services services_;

private:
    void Form_Load();
    void Activate();

    const char* form_;
    double widthTwips_;
    double heightTwips_;
    QMenuBar* menuBar_;
    KeyedToolBar* toolBar_;
    QVBoxLayout* body_;
    QAction* cancelAction_ = nullptr;
    WindowFrame frame_;
};
