#pragma once

#include <QLabel>
#include <QPushButton>

#include <cstdint>

// A push button painted in a colour, a colour reference 0x00BBGGRR.
class ColorButton : public QPushButton {
    Q_OBJECT

public:
    explicit ColorButton(QWidget* parent = nullptr);

    uint32_t Color() const { return color_; }
    void SetColor(uint32_t colorRef);
    // The colour in words a screen reader can say, as "dark blue", with its hex code.
    static QString Describe(uint32_t colorRef);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    uint32_t color_ = 0x00FFFFFF;
};

// A label drawn in a back colour with its text in a fore colour, both colour references.
class ColorLabel : public QLabel {
    Q_OBJECT

public:
    explicit ColorLabel(const QString& text, QWidget* parent = nullptr);

    uint32_t BackColor() const { return back_; }
    uint32_t ForeColor() const { return fore_; }
    void SetBackColor(uint32_t colorRef);
    void SetForeColor(uint32_t colorRef);

private:
    void Apply();

    uint32_t back_ = 0x00FFFFFF;
    uint32_t fore_ = 0;
};
