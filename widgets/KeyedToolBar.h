#pragma once

#include <QString>
#include <QStringList>
#include <QToolBar>

#include <vector>

class DropDownToolButton;

// A window's toolbar: each button is named by a key, as the window's commands are, and a
// click reports the key and whether the button's drop-down part was hit (the flag).
class KeyedToolBar : public QToolBar {
    Q_OBJECT

public:
    explicit KeyedToolBar(QWidget* parent = nullptr);

    // Adds a button with the icon of its key; a drop-down button gets a drop-down part.
    DropDownToolButton* AddButton(const QString& key, const QString& tip, bool dropDown = false);
    // The button of a key; null for any other key.
    DropDownToolButton* Button(const QString& key) const;
    // The keys in order, "|" for a separator.
    QStringList Layout() const;
    // Shows or hides every button's tooltip.
    void ShowToolTips(bool on);
    // A new tip for the key's button, shown while tooltips are.
    void SetTip(const QString& key, const QString& tip);

signals:
    void ButtonClick(const QString& key, bool flag);

protected:
    void changeEvent(QEvent* event) override;

private:
    void FollowFont();

    struct Entry {
        QString key;
        QString tip;
        DropDownToolButton* button;
    };
    std::vector<Entry> entries_;
    bool tipsShown_ = true;
};
