#include "ui/WindowFrame.h"

#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include "ui/ClsHelp.h"
#include "ui/Services.h"

WindowFrame::WindowFrame(QWidget& window, Handlers handlers)
    : window_(window), handlers_(std::move(handlers)) {}

WindowFrame::WindowFrame(QWidget& window, Handlers handlers, const Services& services,
                         int helpContext, QWidget* helpOwner)
    : window_(window), handlers_(std::move(handlers)), services_(&services),
      helpContext_(helpContext), helpOwner_(helpOwner != nullptr ? helpOwner : services.owner) {}

void WindowFrame::Event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        // A window brought back from the task bar is no new showing.
        if (!event->spontaneous()) {
            activated_ = activated_ && once_;
            if (handlers_.load) {
                handlers_.load();
            }
            ActivateSoon();
        }
        break;
    case QEvent::WindowActivate:
        if (activated_) {
            if (handlers_.again) {
                handlers_.again();
            }
        } else if (inEvent_ && window_.isVisible()) {
            if (handlers_.activate) {
                handlers_.activate();
            }
        } else {
            ActivateSoon();
        }
        break;
    case QEvent::Hide:
        // The showing stays activated until the next one: callers ask after it ended.
        if (!event->spontaneous() && activated_ && !once_ && handlers_.leave) {
            handlers_.leave();
        }
        break;
    default:
        break;
    }
}

// Queued, so the set-up never runs inside the window system's own event, and a window hidden
// meanwhile is not set up at all.
void WindowFrame::ActivateSoon() {
    QMetaObject::invokeMethod(
        &window_,
        [this] {
            if (!activated_ && window_.isVisible() && handlers_.activate) {
                handlers_.activate();
            }
        },
        Qt::QueuedConnection);
}

bool WindowFrame::FirstActivation() {
    if (activated_) {
        return false;
    }
    activated_ = true;
    return true;
}

void WindowFrame::ShowHelp() const {
    if (services_ != nullptr) {
        services_->help.ShowHelpTopic(helpOwner_, services_->helpFile, helpContext_);
    }
}
