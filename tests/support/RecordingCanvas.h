#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

#include "report/ReportCanvas.h"

// A report canvas that keeps every drawing operation with the state it was drawn in, on a
// page of any size with 720-twip margins. Texts measure fontSize * 10 twips per character
// and fontSize * 25 high, so tests know every width.
class RecordingCanvas : public ReportCanvas {
public:
    struct Op {
        enum class Kind { Line, Rect, Text };
        Kind kind = Kind::Line;
        int page = 0;
        int32_t a = 0, b = 0, c = 0, d = 0; // line ends; rect x, y, width, height; text x, y
        QString text;
        int16_t fontSize = 0;
        bool bold = false;
        int32_t align = 0;
        int16_t penWidth = 0;
        uint32_t brushColor = 0;
        int32_t brushStyle = 0;
        uint32_t foreColor = 0;
    };

    static int32_t CharWidth(int16_t points) { return points * 10; }
    static int32_t Height(int16_t points) { return points * 25; }

    int32_t pageWidth = 15840; // Letter landscape
    int32_t pageHeight = 12240;

    std::vector<Op> ops;
    std::map<int, QString> headers;
    std::map<int, QString> footers;
    QStringList calls; // StartDoc, NewPage, EndDoc, SetCurrentPage n
    int measures = 0;

    std::vector<Op> OfKind(Op::Kind kind, int page = 0) const;

    void StartDoc() override;
    void NewPage() override;
    void EndDoc() override;
    int16_t CurrentPage() const override { return current_; }
    void SetCurrentPage(int16_t page) override;
    int16_t PageCount() const override { return count_; }
    int32_t PageWidth() const override { return pageWidth; }
    int32_t PageHeight() const override { return pageHeight; }
    int32_t MarginLeft() const override { return 720; }
    int32_t MarginTop() const override { return 720; }
    int32_t MarginRight() const override { return 720; }
    int32_t MarginBottom() const override { return 720; }
    void SetCurrentX(int32_t) override {}
    int32_t CurrentY() const override { return y_; }
    void SetCurrentY(int32_t y) override { y_ = y; }
    void SetFontSize(int16_t points) override { fontSize_ = points; }
    void SetFontBold(bool bold) override { bold_ = bold; }
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
    void SetHeader(const QString& text) override { headers[current_] = text; }
    void SetFooter(const QString& text) override { footers[current_] = text; }

private:
    Op Make(Op::Kind kind) const;

    int16_t current_ = 0;
    int16_t count_ = 0;
    int32_t y_ = 0;
    int16_t fontSize_ = 0;
    bool bold_ = false;
    int32_t align_ = 0;
    int16_t penWidth_ = 0;
    uint32_t brushColor_ = 0;
    int32_t brushStyle_ = 0;
    uint32_t foreColor_ = 0;
    int32_t textWidth_ = 0;
    int32_t textHeight_ = 0;
};
