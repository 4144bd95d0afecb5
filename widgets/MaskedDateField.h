#pragma once

#include "widgets/MaskedField.h"

class QAction;

// A date typed into "__/__/____", day first or month first, held as a day number (days
// since 1 Jan 1900). A calendar button inside the field, F4 and Alt+Down report ClickDrop.
class MaskedDateField : public MaskedField {
    Q_OBJECT

public:
    // The last day a packed date-time can hold.
    static constexpr int32_t LastDay = 1048575;

    explicit MaskedDateField(QWidget* parent = nullptr);

    int32_t Value() const { return Held(); }
    // Days before 1 Jan 1900 or past LastDay are not dates of the field: ignored.
    void SetValue(int32_t dayNumber);
    bool MonthFirst() const { return monthFirst_; }
    void SetMonthFirst(bool on);
    QAction* DropAction() const { return drop_; }

signals:
    void ClickDrop();

protected:
    std::optional<int32_t> Parse(const QString& text) const override;
    QString Format(int32_t value) const override;
    QString SampleText() const override;
    QString WrongText() const override;
    QString HowToType() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool monthFirst_ = false;
    QAction* drop_ = nullptr;
};
