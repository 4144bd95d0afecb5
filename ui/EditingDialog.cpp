#include "ui/EditingDialog.h"

#include <QAction>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPointer>
#include <QVBoxLayout>

#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "schedule/DlgMain.h"
#include "ui/ClsDialog.h"
#include "ui/ClsHelp.h"
#include "ui/Trap.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

EditingDialog::EditingDialog(DlgMain& main, QWidget* parent, const char* form, double widthTwips,
                             double heightTwips)
    : QDialog(parent), main_(main), form_(form), widthTwips_(widthTwips), heightTwips_(heightTwips),
      menuBar_(new QMenuBar(this)), toolBar_(new KeyedToolBar(this)), body_(new QVBoxLayout) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    toolBar_->setObjectName("ToolBar");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(toolBar_);
    body_->setContentsMargins(10, 8, 10, 10);
    layout->addLayout(body_, 1);
}

// Show is the load of a showing; the activation follows once the dialog is up, or when
// the window system activates it, whichever comes first.
bool EditingDialog::event(QEvent* event) {
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        Form_Load();
        QMetaObject::invokeMethod(this, &EditingDialog::Activate, Qt::QueuedConnection);
    } else if (event->type() == QEvent::WindowActivate) {
        Activate();
    }
    return QDialog::event(event);
}

void EditingDialog::Form_Load() {
    Trap(form_, "Form_Load", [&] {
        activated_ = false;
        layout()->activate();
        const QSize least = minimumSizeHint();
        resize(qMax(TwipsToPixelsX(widthTwips_, this), least.width()),
               qMax(TwipsToPixelsY(heightTwips_, this), least.height()));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

void EditingDialog::Activate() {
    if (!isVisible()) {
        return;
    }
    const bool first = !activated_;
    activated_ = true;
    Trap(form_, "Form_Activate", [&] { Form_Activate(first); });
}

QAction* EditingDialog::MakeAction(const QString& caption, const QKeySequence& shortcut) {
    auto* action = new QAction(caption, this);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

void EditingDialog::AddToolButton(const QString& key, const QString& tip, bool dropDown,
                                  QAction* action) {
    toolBar_->AddButton(key, tip, dropDown)->setFocusPolicy(Qt::NoFocus);
    if (action != nullptr) {
        toolActions_.insert(key, action);
    }
}

void EditingDialog::TriggerToolButton(const QString& key) {
    if (QAction* action = toolActions_.value(key)) {
        action->trigger();
    }
}

std::array<QAction*, 3> EditingDialog::AddSaveCancelHelp(const QString& saveCaption,
                                                         bool separatorBeforeCancel) {
    QAction* save = MakeAction(saveCaption, QKeySequence::Save);
    QAction* cancel = MakeAction(tr("&Cancel"));
    QAction* help = MakeAction(tr("&Help"), QKeySequence::HelpContents);
    SetCancelAction(cancel);
    QMenu* file = menuBar_->addMenu(tr("&File"));
    file->addAction(save);
    if (separatorBeforeCancel) {
        file->addSeparator();
    }
    file->addAction(cancel);
    menuBar_->addAction(help);
    AddToolButton("Save", tr("Save"), false, save);
    AddToolButton("Cancel", tr("Cancel"), false, cancel);
    AddToolButton("Help", tr("Help"), false, help);
    return {save, cancel, help};
}

void EditingDialog::SelectAllOnFocus(QLineEdit* field) {
    field->installEventFilter(this);
}

bool EditingDialog::RefuseBlankName(QLineEdit* field, const QString& record) {
    if (!field->text().trimmed().isEmpty()) {
        return false;
    }
    main_.Windowing().MessageBox(this, tr("Unable to save %1!").arg(record), tr("Error!"),
                                 IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok,
                                 tr("The %1 needs a name.").arg(record));
    field->setFocus();
    field->selectAll();
    return true;
}

void EditingDialog::ShowHelp(int contextId) {
    main_.Help().ShowHelpTopic(&main_, main_.HelpFile(), contextId);
}

bool EditingDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* field = qobject_cast<QLineEdit*>(watched)) {
            ClsDialog::TextSelectAll(field);
            // A click places the cursor after the focus arrived: select again once it has.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
                QPointer<QLineEdit> guarded(field);
                QMetaObject::invokeMethod(
                    this,
                    [guarded] {
                        if (guarded && guarded->hasFocus()) {
                            ClsDialog::TextSelectAll(guarded);
                        }
                    },
                    Qt::QueuedConnection);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EditingDialog::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel) && cancelAction_ != nullptr) {
        event->accept();
        cancelAction_->trigger();
        return;
    }
    QDialog::keyPressEvent(event);
}
