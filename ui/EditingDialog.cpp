#include "ui/EditingDialog.h"

#include <QAction>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMetaObject>
#include <QPointer>
#include <QVBoxLayout>

#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "ui/ClsDialog.h"
#include "ui/Trap.h"
#include "widgets/KeyedToolBar.h"

EditingDialog::EditingDialog(const Services& services, QWidget* parent, const char* form,
                             double widthTwips, double heightTwips, int helpContext)
    : QDialog(parent), services_(services), form_(form), widthTwips_(widthTwips),
      heightTwips_(heightTwips), menuBar_(new QMenuBar(this)), toolBar_(new KeyedToolBar(this)),
      body_(new QVBoxLayout),
      frame_(*this,
             {.load = [this] { Form_Load(); },
              .activate = [this] { Activate(); },
              .again = [this] { Trap(form_, "Form_Activate", [&] { Form_Reactivate(); }); }},
             services_, helpContext) {
    frame_.ActivateInEvent();
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

bool EditingDialog::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

void EditingDialog::Form_Load() {
    Trap(form_, "Form_Load", [&] {
        layout()->activate();
        const QSize least = minimumSizeHint();
        resize(qMax(TwipsToPixelsX(widthTwips_, this), least.width()),
               qMax(TwipsToPixelsY(heightTwips_, this), least.height()));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

void EditingDialog::Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    Trap(form_, "Form_Activate", [&] { Form_Activate(); });
}

void EditingDialog::SelectAllOnFocus(QLineEdit* field) {
    field->installEventFilter(this);
}

bool EditingDialog::RefuseBlankName(QLineEdit* field, const QString& record) {
    if (!field->text().trimmed().isEmpty()) {
        return false;
    }
    services_.windowing.MessageBox(this, tr("Unable to save %1!").arg(record), tr("Error!"),
                                   IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok,
                                   tr("The %1 needs a name.").arg(record));
    field->setFocus();
    field->selectAll();
    return true;
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
