#pragma once

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "platform/IWindowing.h"

// An IWindowing for tests: records every call and answers from queues filled in advance, so no
// test ever waits on a modal loop.
//
// Empty queues give the answer of a user who backs out: message boxes answer Ok, No or Cancel
// (by their buttons), ShowModal returns Rejected, popup menus return 0 (dismissed).
class ScriptedWindowing : public IWindowing {
public:
    struct MessageCall {
        QWidget* parent = nullptr;
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        Answer answer = Answer::Ok;
        QString detail;
    };
    struct ModalCall {
        QPointer<QDialog> dialog;
        QString className; // the dialog's class, kept in case the dialog is gone
        QString title;
        int result = QDialog::Rejected;
    };
    struct PopupCall {
        QWidget* owner = nullptr;
        QPoint position;
        QList<MenuEntry> entries;
        int result = 0;
    };
    struct HelpCall {
        QWidget* owner = nullptr;
        HelpRequest request;
    };
    // Runs while the dialog is shown: fill its fields, press its buttons, and return the
    // result code ShowModal should give.
    using ModalAction = std::function<int(QDialog*)>;

    // Answers, taken from the front.
    std::deque<Answer> answers;
    std::deque<ModalAction> modalActions;
    std::deque<int> popupResults;
    // Colours the colour dialog chooses; an empty queue or nullopt closes it without a choice.
    std::deque<std::optional<uint32_t>> colors;
    QPoint cursor;
    // Names the file dialog gives; an empty queue or nullopt backs out.
    std::deque<std::optional<QString>> fileNames;

    // What was asked, in order per kind.
    QList<MessageCall> messages;
    QList<ModalCall> modals;
    QList<PopupCall> popups;
    QList<HelpCall> helps;
    QList<uint32_t> colorsOffered; // the colour each colour dialog started from
    struct FileCall {
        QString caption;
        QString suggested;
        QString filter;
    };
    QList<FileCall> fileQuestions;
    // Every call in order, as "MessageBox <title>", "ShowModal <class>", "PopupMenu",
    // "Help <command number>", "PickColor", "CursorPos", "SaveFileName" and "OpenFileName".
    QStringList log;

    Answer MessageBox(QWidget* parent, const QString& text, const QString& title, Icon icon,
                      Buttons buttons, const QString& detail = QString()) override;
    // Shows the dialog (so its show and activation handling runs), lets pending events run,
    // calls the next action and hides the dialog if the action left it open.
    int ShowModal(QDialog* dialog) override;
    int PopupMenu(QWidget* owner, const QPoint& globalPos,
                  const QList<MenuEntry>& entries) override;
    void Help(QWidget* owner, const HelpRequest& request) override;
    std::optional<uint32_t> PickColor(QWidget* parent, uint32_t initial) override;
    QPoint CursorPos() override;
    std::optional<QString> SaveFileName(QWidget* parent, const QString& caption,
                                        const QString& suggested, const QString& filter) override;
    // Takes its answer from the same queue as SaveFileName.
    std::optional<QString> OpenFileName(QWidget* parent, const QString& caption,
                                        const QString& suggested, const QString& filter) override;

private:
    std::optional<QString> FileAnswer(const char* call, const QString& caption,
                                      const QString& suggested, const QString& filter);
};
