#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QDialog;
class QWidget;

// Everything that would block on the user goes through here: modal dialogs, message
// boxes, popup menus, the help viewer and the file and colour dialogs. The program uses the Qt
// implementation; tests answer in advance with a scripted one.
class IWindowing {
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Buttons { Ok, YesNo, RetryCancel };
    enum class Answer { Ok, Yes, No, Retry, Cancel };

    // A request to the help viewer, named after the classic help commands.
    struct HelpRequest {
        enum class Command {
            Quit,
            Context,
            ContextPopup,
            Contents,
            Finder,
            HelpOnHelp,
            PartialKey,
            Macro,
            SetWindowPos
        };
        Command command = Command::Contents;
        QString file;                            // help file, possibly with ">window" appended
        int context = 0;                         // context number for Context and ContextPopup
        QString text;                            // keyword or macro
        int x = 0, y = 0, width = 0, height = 0; // SetWindowPos
    };

    virtual ~IWindowing() = default;

    // The answer of a box closed without a button: what its cancelling button would give.
    static Answer DismissedAnswer(Buttons buttons) {
        switch (buttons) {
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::RetryCancel:
            return Answer::Cancel;
        case Buttons::Ok:
            break;
        }
        return Answer::Ok;
    }

    // The detail, when given, says more under the text: why something was refused.
    virtual Answer MessageBox(QWidget* parent, const QString& text, const QString& title, Icon icon,
                              Buttons buttons, const QString& detail = QString()) = 0;
    // Shows the dialog modally and returns its result code (QDialog::Accepted / Rejected).
    virtual int ShowModal(QDialog* dialog) = 0;
    // Shows a popup menu at a global position; returns the chosen item's id, 0 if dismissed.
    // Each entry carries its id; a separator entry has isSeparator set.
    struct MenuEntry {
        int id = 0;
        QString text;
        bool enabled = true;
        bool isSeparator = false;
    };
    virtual int PopupMenu(QWidget* owner, const QPoint& globalPos,
                          const QList<MenuEntry>& entries) = 0;
    virtual void Help(QWidget* owner, const HelpRequest& request) = 0;
    // The modal colour dialog, starting from a colour reference 0x00BBGGRR; the colour chosen,
    // or nothing when the user closed it without choosing.
    virtual std::optional<uint32_t> PickColor(QWidget* parent, uint32_t initial) = 0;
    // The pointer position in global coordinates.
    virtual QPoint CursorPos() = 0;
    // The modal question for the name of a file to write, starting from a suggested path; the
    // filter names the kind of file ("PDF files (*.pdf)") and its first pattern's suffix is
    // added to a name typed without one. Nothing when the user backed out.
    virtual std::optional<QString> SaveFileName(QWidget* parent, const QString& caption,
                                                const QString& suggested,
                                                const QString& filter) = 0;
    // The modal question for an existing file to read, starting from a suggested path, showing
    // the files the filter names. Nothing when the user backed out.
    virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& caption,
                                                const QString& suggested,
                                                const QString& filter) = 0;
};
