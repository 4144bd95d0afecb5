#pragma once

#include <QAbstractSpinBox>
#include <QString>

#include <cstdint>
#include <optional>

class QKeyEvent;

// A field typed into a fixed mask, digits only, with spin buttons. The buttons, the Up, Down,
// Page Up and Page Down keys and the wheel only report ClickSpin: the window decides what a
// step means. The field holds the last complete, valid value typed or set. A text that is no
// value (31/02, 10:75, half typed) stays when the user leaves the field, shown as wrong, for
// the user to correct: the window must not take the held value for what the user sees.
class MaskedField : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit MaskedField(QWidget* parent = nullptr);

    // The text as shown, a blank position as '_'.
    QString Text() const;
    // True when the text is a complete, valid value, the one held.
    bool TextValid() const { return Parse(Text()).has_value(); }
    // A valid text is shown in full; any other is left as it is and shown as wrong.
    void Commit();
    // True while the text is shown as wrong.
    bool ShownWrong() const { return shownWrong_; }
    // The text the field shows for a value.
    QString TextOf(int32_t value) const { return Format(value); }

signals:
    // Direction 0 is up, 1 down; once per step.
    void ClickSpin(int direction);

protected:
    virtual std::optional<int32_t> Parse(const QString& text) const = 0;
    virtual QString Format(int32_t value) const = 0;
    // The widest text the field shows, for its size.
    virtual QString SampleText() const = 0;
    // What a wrong text is told as, in the field's tooltip.
    virtual QString WrongText() const = 0;
    // How the field is typed, for a screen reader; a wrong text is told instead.
    virtual QString HowToType() const = 0;

    int32_t Held() const { return held_; }
    // Holds the value and shows it.
    void Hold(int32_t value);
    // A new mask (positions: '9' a digit, '>A' a capital letter, anything else literal);
    // the held value is shown in it.
    void SetMask(const QString& mask);
    // Takes the text as it now stands, if it is a valid value.
    void TakeText();
    // Extra width inside the field, for a button drawn in it.
    void SetExtraWidth(int pixels);

    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void focusInEvent(QFocusEvent* event) override;
    QLineEdit* Editor() const { return lineEdit(); }

    // Tells a screen reader how to type the field, or what is wrong with it.
    void Describe();

private:
    void ShowWrong(bool wrong);

    int32_t held_ = 0;
    int extraWidth_ = 0;
    bool shownWrong_ = false;
};
