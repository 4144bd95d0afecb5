#pragma once

#include <QToolButton>

class QMenu;

// A toolbar button with a drop-down part. A click reports whether the drop-down part was
// hit, so the window can run the button's command or offer its menu of related commands.
class DropDownToolButton : public QToolButton {
    Q_OBJECT

public:
    explicit DropDownToolButton(QWidget* parent = nullptr);

    // True when the point (in the button's coordinates) lies in the drop-down part.
    bool InDropDownPart(const QPoint& pos) const;

signals:
    void Clicked(bool dropDown);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QMenu* placeholder_; // only so the style draws the drop-down part; never shown
};
