#pragma once

#include <memory>

#include "platform/IWindowing.h"

class HelpViewer;

// The program's windowing: Qt message boxes, modal dialogs, popup menus and the help viewer.
class QtWindowing : public IWindowing {
public:
    QtWindowing();
    ~QtWindowing() override;
    QtWindowing(const QtWindowing&) = delete;
    QtWindowing& operator=(const QtWindowing&) = delete;

    Answer MessageBox(QWidget* parent, const QString& text, const QString& title, Icon icon,
                      Buttons buttons, const QString& detail = QString()) override;
    // A dialog with a parent is made modal to its parent's window hierarchy only, so the help
    // viewer stays usable while the dialog is open.
    int ShowModal(QDialog* dialog) override;
    int PopupMenu(QWidget* owner, const QPoint& globalPos,
                  const QList<MenuEntry>& entries) override;
    void Help(QWidget* owner, const HelpRequest& request) override;
    std::optional<uint32_t> PickColor(QWidget* parent, uint32_t initial) override;
    QPoint CursorPos() override;
    std::optional<QString> SaveFileName(QWidget* parent, const QString& caption,
                                        const QString& suggested, const QString& filter) override;
    std::optional<QString> OpenFileName(QWidget* parent, const QString& caption,
                                        const QString& suggested, const QString& filter) override;

    // The help viewer, created on first use; null until then.
    HelpViewer* Viewer() const { return viewer_.get(); }

private:
    std::unique_ptr<HelpViewer> viewer_;
};
