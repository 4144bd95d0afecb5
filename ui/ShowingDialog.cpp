#include "ui/ShowingDialog.h"

#include <QShowEvent>
#include <QTimer>

void ShowingDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Form_Load();
        QTimer::singleShot(0, this, [this] {
            if (!activated_ && isVisible()) {
                Form_Activate();
            }
        });
    }
    QDialog::showEvent(event);
}

bool ShowingDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !activated_ && isVisible()) {
        Form_Activate();
    }
    return QDialog::event(event);
}
