#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "base/Error.h"
#include "report/ReportCanvas.h"

class QPagedPaintDevice;
class QPainter;
class QPrinter;

// The report canvas of the program: it keeps each page as a list of drawing operations in
// twips, measures texts in the report font, and plays the pages onto the preview at any zoom,
// onto a printer or into a PDF. Margins are 720 twips on every side; the paper is one of the
// thirteen sizes (PaperSize) in portrait or landscape.
//
// A pen width counts in fifths of a point (4 twips): the report's 5 is a one-point line and
// its 1 a fine one; 0 draws no line, so a rectangle is only filled.
class ReportDocument : public ReportCanvas {
public:
    static constexpr int32_t Margin = 720;
    static constexpr int32_t TwipsPerPenUnit = 4;

    struct Op {
        enum class Kind : uint8_t { Line, Rect, Text };
        Kind kind = Kind::Line;
        bool filled = false; // Rect: filled with color
        bool bold = true;    // Text
        int16_t penWidth = 1;
        int16_t fontSize = 8; // Text, points
        uint32_t color = 0;   // Rect: fill; Text: text colour
        // Line: x1, y1, x2, y2. Rect: x, y, width, height. Text: left, top.
        int32_t a = 0, b = 0, c = 0, d = 0;
        int32_t text = -1; // Text: index into the page's texts
    };
    struct Legend {
        QString text; // left|centre|right
        int16_t fontSize = 8;
    };
    struct Page {
        std::vector<Op> ops;
        std::vector<QString> texts;
        Legend header;
        Legend footer;
    };

    ReportDocument();

    // Paper code 1 to 13 (see PaperSize); other codes are ignored.
    int16_t PaperSize() const { return paperSize_; }
    void SetPaperSize(int16_t code);
    // 0 portrait, 1 landscape; other values are ignored.
    int32_t Orientation() const { return orientation_; }
    void SetOrientation(int32_t orientation);

    void StartDoc() override;
    void NewPage() override;
    void EndDoc() override;
    int16_t CurrentPage() const override { return static_cast<int16_t>(currentPage_); }
    // Kept within the document's pages.
    void SetCurrentPage(int16_t page) override;
    int16_t PageCount() const override { return static_cast<int16_t>(pages_.size()); }

    int32_t PageWidth() const override { return pageWidth_; }
    int32_t PageHeight() const override { return pageHeight_; }
    int32_t MarginLeft() const override { return Margin; }
    int32_t MarginTop() const override { return Margin; }
    int32_t MarginRight() const override { return Margin; }
    int32_t MarginBottom() const override { return Margin; }

    void SetCurrentX(int32_t x) override { currentX_ = x; }
    int32_t CurrentX() const { return currentX_; }
    int32_t CurrentY() const override { return currentY_; }
    void SetCurrentY(int32_t y) override { currentY_ = y; }

    void SetFontSize(int16_t points) override;
    void SetFontBold(bool bold) override;
    void SetTextAlign(int32_t align) override { align_ = align; }
    void SetPenWidth(int16_t width) override { penWidth_ = width; }
    void SetBrushColor(uint32_t colorRef) override { brushColor_ = colorRef; }
    void SetBrushStyle(int32_t style) override { brushStyle_ = style; }
    void SetForeColor(uint32_t colorRef) override { foreColor_ = colorRef; }

    void SetTextWidth(int32_t width) override { textWidth_ = width; }
    int32_t TextWidth() const override { return textWidth_; }
    void SetMeasureText(const QString& text) override;
    int32_t TextHeight() const override { return textHeight_; }

    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void DrawRect(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void TextOut(int32_t x, int32_t y, const QString& text) override;
    void SetHeader(const QString& text) override;
    void SetFooter(const QString& text) override;

    // Page 1 to PageCount; null for any other number.
    const Page* PageAt(int page) const;
    // True when no page holds anything to print.
    bool Blank() const;

    // Draws a page with the paper's top-left corner at the painter's origin, one unit of the
    // painter a twip. On a screen, give the device pixels a twip takes: lines are then a
    // whole number of pixels wide, at least one, so equal lines look equal at any zoom.
    void PlayPage(int page, QPainter& painter, double devicePixelsPerTwip = 0) const;

    // Pages first to last on a printer or a PDF writer, in the document's paper size and
    // orientation, one device page each; the error when the device refused.
    std::optional<Error> PaintPages(QPagedPaintDevice& device, int first, int last) const;
    // All pages on a printer, in the document's paper size and orientation; the error when
    // the printer refused the job or failed on it.
    std::optional<Error> PrintDoc(QPrinter& printer, int first, int last) const;
    // The same pages as a PDF file with the given title, written whole or not at all.
    std::optional<Error> WritePdf(const QString& path, int first, int last,
                                  const QString& title = QString()) const;
    // The same PDF onto an open device, for a caller that writes the file itself.
    std::optional<Error> WritePdf(QIODevice& device, int first, int last,
                                  const QString& title = QString()) const;

private:
    struct FontCache {
        QFont font;
        QFontMetricsF metrics{QFont()};
        double ascent = 0;
        int32_t height = 0;
        QHash<QString, int32_t> widths;
    };
    FontCache& Font(int16_t points, bool bold) const;
    // The font of the current size and boldness.
    FontCache& CurrentFont();
    int32_t Measure(const QString& text);
    Page& Drawing();

    void PaperChanged();

    int16_t paperSize_ = 1;
    int32_t orientation_ = 0;
    int32_t pageWidth_ = 0;
    int32_t pageHeight_ = 0;
    std::vector<Page> pages_;
    int currentPage_ = 0;
    int32_t currentX_ = 0;
    int32_t currentY_ = 0;
    int16_t fontSize_ = 8;
    bool bold_ = true;
    int32_t align_ = 0;
    int16_t penWidth_ = 1;
    uint32_t brushColor_ = 0x00FFFFFF;
    int32_t brushStyle_ = 0;
    uint32_t foreColor_ = 0;
    int32_t textWidth_ = 0;
    int32_t textHeight_ = 0;
    // By font size and boldness; built on first use.
    mutable std::map<int, FontCache> fonts_;
    FontCache* currentFont_ = nullptr;
};
