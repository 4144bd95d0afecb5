#include "support/ScriptedWindowing.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

template <typename T> bool TakeFront(std::deque<T>& queue, T& value) {
    if (queue.empty()) {
        return false;
    }
    value = std::move(queue.front());
    queue.pop_front();
    return true;
}

} // namespace

IWindowing::Answer ScriptedWindowing::MessageBox(QWidget* parent, const QString& text,
                                                 const QString& title, Icon icon, Buttons buttons,
                                                 const QString& detail) {
    Answer answer = DismissedAnswer(buttons);
    TakeFront(answers, answer);
    messages.append(MessageCall{parent, text, title, icon, buttons, answer, detail});
    log << QStringLiteral("MessageBox ") + title;
    return answer;
}

int ScriptedWindowing::ShowModal(QDialog* dialog) {
    ModalCall call;
    call.dialog = dialog;
    if (dialog != nullptr) {
        call.className = QString::fromLatin1(dialog->metaObject()->className());
        call.title = dialog->windowTitle();
    }
    log << QStringLiteral("ShowModal ") + call.className;
    // Recorded before the action runs, so dialogs opened from inside it come after it.
    const qsizetype index = modals.size();
    modals.append(call);
    ModalAction action;
    TakeFront(modalActions, action);
    int result = QDialog::Rejected;
    if (dialog != nullptr) {
        dialog->setResult(QDialog::Rejected);
        dialog->show();
        QCoreApplication::processEvents();
        if (action) {
            result = action(dialog);
        }
        if (dialog->isVisible()) {
            dialog->hide();
        }
    }
    modals[index].result = result;
    return result;
}

int ScriptedWindowing::PopupMenu(QWidget* owner, const QPoint& globalPos,
                                 const QList<MenuEntry>& entries) {
    int result = 0;
    TakeFront(popupResults, result);
    popups.append(PopupCall{owner, globalPos, entries, result});
    log << QStringLiteral("PopupMenu");
    return result;
}

void ScriptedWindowing::Help(QWidget* owner, const HelpRequest& request) {
    helps.append(HelpCall{owner, request});
    log << QStringLiteral("Help %1").arg(static_cast<int>(request.command));
}

std::optional<uint32_t> ScriptedWindowing::PickColor(QWidget*, uint32_t initial) {
    std::optional<uint32_t> chosen;
    TakeFront(colors, chosen);
    colorsOffered.append(initial);
    log << QStringLiteral("PickColor");
    return chosen;
}

QPoint ScriptedWindowing::CursorPos() {
    log << QStringLiteral("CursorPos");
    return cursor;
}

std::optional<QString> ScriptedWindowing::FileAnswer(const char* call, const QString& caption,
                                                     const QString& suggested,
                                                     const QString& filter) {
    std::optional<QString> chosen;
    TakeFront(fileNames, chosen);
    fileQuestions.append(FileCall{caption, suggested, filter});
    log << QLatin1String(call);
    return chosen;
}

std::optional<QString> ScriptedWindowing::SaveFileName(QWidget*, const QString& caption,
                                                       const QString& suggested,
                                                       const QString& filter) {
    return FileAnswer("SaveFileName", caption, suggested, filter);
}

std::optional<QString> ScriptedWindowing::OpenFileName(QWidget*, const QString& caption,
                                                       const QString& suggested,
                                                       const QString& filter) {
    return FileAnswer("OpenFileName", caption, suggested, filter);
}
