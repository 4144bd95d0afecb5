#pragma once

#include <QString>

#include <cstdint>

// What the Gantt report draws through: a paged document in twips (1440 per inch), measured
// from the top-left corner of the printable area, i.e. inside the margins. Texts are printed
// in the current font; every drawing operation lands on the page being drawn.
//
// The program's canvas keeps the pages for the preview, the printer and PDF; tests record
// the operations instead.
class ReportCanvas {
public:
    virtual ~ReportCanvas() = default;

    // Document: StartDoc discards the previous document and starts page 1; NewPage ends the
    // current page and starts the next; after EndDoc PageCount is final.
    virtual void StartDoc() = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    // While drawing, the page being drawn (1 for the first); afterwards the page shown.
    virtual int16_t CurrentPage() const = 0;
    virtual void SetCurrentPage(int16_t page) = 0;
    virtual int16_t PageCount() const = 0;

    // Paper size for the current paper and orientation, and the margins, in twips.
    virtual int32_t PageWidth() const = 0;
    virtual int32_t PageHeight() const = 0;
    virtual int32_t MarginLeft() const = 0;
    virtual int32_t MarginTop() const = 0;
    virtual int32_t MarginRight() const = 0;
    virtual int32_t MarginBottom() const = 0;

    virtual void SetCurrentX(int32_t x) = 0;
    virtual int32_t CurrentY() const = 0;
    virtual void SetCurrentY(int32_t y) = 0;

    // State for what follows: font size in points, bold, text alignment (0: text starts at
    // x; 1: centred on x), pen width for lines and outlines, fill colour and style (1 filled,
    // 0 not), text colour. Colours are colour references 0x00BBGGRR.
    virtual void SetFontSize(int16_t points) = 0;
    virtual void SetFontBold(bool bold) = 0;
    virtual void SetTextAlign(int32_t align) = 0;
    virtual void SetPenWidth(int16_t width) = 0;
    virtual void SetBrushColor(uint32_t colorRef) = 0;
    virtual void SetBrushStyle(int32_t style) = 0;
    virtual void SetForeColor(uint32_t colorRef) = 0;

    // Measuring: SetTextWidth gives the width available; after SetMeasureText, TextWidth is
    // the width of that text in the current font. TextHeight is the height of the text last
    // measured or printed.
    virtual void SetTextWidth(int32_t width) = 0;
    virtual int32_t TextWidth() const = 0;
    virtual void SetMeasureText(const QString& text) = 0;
    virtual int32_t TextHeight() const = 0;

    virtual void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
    // Outlined with the current pen, filled per the brush style.
    virtual void DrawRect(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // The text's top at y, aligned on x per the text alignment.
    virtual void TextOut(int32_t x, int32_t y, const QString& text) = 0;
    // Left, centre and right parts joined by "|", printed in the current font size on the
    // page being drawn: the header above the printable area, the footer below it.
    virtual void SetHeader(const QString& text) = 0;
    virtual void SetFooter(const QString& text) = 0;
};
