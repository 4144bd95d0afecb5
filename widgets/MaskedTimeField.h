#pragma once

#include "widgets/MaskedField.h"

// A time of day typed into "__:__", held as minutes since midnight, shown on the 24-hour
// clock or as "hh:mm AM"/"PM" (A or P sets the half of the day); or, as a duration, hours
// and minutes up to 99:59.
class MaskedTimeField : public MaskedField {
    Q_OBJECT

public:
    static constexpr int32_t LastDuration = 99 * 60 + 59;

    explicit MaskedTimeField(QWidget* parent = nullptr);

    int32_t Value() const { return Held(); }
    // Clamped to 0..1439, or 0..LastDuration for a duration.
    void SetValue(int32_t minutes);
    // On: 00:00 to 23:59; off: 12:00 AM to 11:59 PM. A duration is always hours and minutes.
    void SetTwentyFourHour(bool on);
    bool Duration() const { return duration_; }
    void SetDuration(bool on);

protected:
    std::optional<int32_t> Parse(const QString& text) const override;
    QString Format(int32_t value) const override;
    QString SampleText() const override;
    QString WrongText() const override;
    QString HowToType() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool TwelveHour() const { return !twentyFourHour_ && !duration_; }
    void Remask();

    bool twentyFourHour_ = true;
    bool duration_ = false;
};
