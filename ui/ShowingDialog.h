#pragma once

#include <QDialog>

// A dialog whose every showing runs its load at once and its set-up at the first
// activation: when the window system activates it, or once it is up where nothing does.
class ShowingDialog : public QDialog {
    Q_OBJECT

public:
    // True once the set-up of the current showing has run.
    bool Activated() const { return activated_; }

    virtual void Form_Load() = 0;
    // Does nothing when the showing's set-up has run.
    virtual void Form_Activate() = 0;

protected:
    using QDialog::QDialog;

    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

    bool activated_ = false;
};
