#include "platform/QtWindowing.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "platform/ColorRef.h"
#include "platform/HelpViewer.h"

namespace {

QMessageBox::Icon ToQt(IWindowing::Icon icon) {
    switch (icon) {
    case IWindowing::Icon::Information:
        return QMessageBox::Information;
    case IWindowing::Icon::Question:
        return QMessageBox::Question;
    case IWindowing::Icon::Exclamation:
        return QMessageBox::Warning;
    case IWindowing::Icon::Critical:
        return QMessageBox::Critical;
    case IWindowing::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

void MakeModalToParent(QWidget* window) {
    if (window->parentWidget() != nullptr && window->windowModality() == Qt::NonModal) {
        window->setWindowModality(Qt::WindowModal);
    }
}

} // namespace

QtWindowing::QtWindowing() = default;
QtWindowing::~QtWindowing() = default;

IWindowing::Answer QtWindowing::MessageBox(QWidget* parent, const QString& text,
                                           const QString& title, Icon icon, Buttons buttons,
                                           const QString& detail) {
    QMessageBox box(parent != nullptr ? parent : QApplication::activeWindow());
    box.setIcon(ToQt(icon));
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(lines);
    box.setInformativeText(detail);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case Buttons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    MakeModalToParent(&box);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return DismissedAnswer(buttons);
    }
}

int QtWindowing::ShowModal(QDialog* dialog) {
    if (dialog == nullptr) {
        return QDialog::Rejected;
    }
    MakeModalToParent(dialog);
    return dialog->exec();
}

int QtWindowing::PopupMenu(QWidget* owner, const QPoint& globalPos,
                           const QList<MenuEntry>& entries) {
    QMenu menu(owner);
    for (const MenuEntry& entry : entries) {
        if (entry.isSeparator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(entry.text);
        action->setData(entry.id);
        action->setEnabled(entry.enabled);
    }
    const QAction* chosen = menu.exec(globalPos);
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

void QtWindowing::Help(QWidget* owner, const HelpRequest& request) {
    if (request.command == HelpRequest::Command::Quit) {
        // Quitting a viewer that never opened starts nothing.
        if (viewer_) {
            viewer_->Handle(owner, request);
        }
        return;
    }
    if (!viewer_) {
        viewer_ = std::make_unique<HelpViewer>();
    }
    viewer_->Handle(owner, request);
}

std::optional<uint32_t> QtWindowing::PickColor(QWidget* parent, uint32_t initial) {
    QColorDialog dialog(ColorRefToQColor(initial), parent);
    MakeModalToParent(&dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return QColorToColorRef(dialog.selectedColor());
}

QPoint QtWindowing::CursorPos() {
    return QCursor::pos();
}

std::optional<QString> QtWindowing::SaveFileName(QWidget* parent, const QString& caption,
                                                 const QString& suggested, const QString& filter) {
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QRegularExpressionMatch suffix =
        QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (suffix.hasMatch()) {
        dialog.setDefaultSuffix(suffix.captured(1));
    }
    MakeModalToParent(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtWindowing::OpenFileName(QWidget* parent, const QString& caption,
                                                 const QString& suggested, const QString& filter) {
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    MakeModalToParent(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}
