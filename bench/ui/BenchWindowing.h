#pragma once

#include <QDialog>

#include <functional>

#include "platform/IWindowing.h"

// The windowing of the benchmarks: nothing blocks. Message boxes give `answer`, modal
// dialogs run `onModal` (Rejected when none is set), colour dialogs give `colors` in turn,
// and menus and file questions are backed out of.
class BenchWindowing : public IWindowing {
public:
    Answer answer = Answer::Cancel;
    std::function<int(QDialog*)> onModal;
    std::vector<uint32_t> colors;

    Answer MessageBox(QWidget*, const QString&, const QString&, Icon, Buttons,
                      const QString& = QString()) override {
        return answer;
    }
    int ShowModal(QDialog* dialog) override {
        return onModal ? onModal(dialog) : QDialog::Rejected;
    }
    int PopupMenu(QWidget*, const QPoint&, const QList<MenuEntry>&) override { return 0; }
    void Help(QWidget*, const HelpRequest&) override {}
    std::optional<uint32_t> PickColor(QWidget*, uint32_t) override {
        if (colors.empty()) {
            return std::nullopt;
        }
        return colors[picks_++ % colors.size()];
    }
    QPoint CursorPos() override { return {}; }
    std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&,
                                        const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> OpenFileName(QWidget*, const QString&, const QString&,
                                        const QString&) override {
        return std::nullopt;
    }

private:
    size_t picks_ = 0;
};
