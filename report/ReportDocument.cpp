#include "report/ReportDocument.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <cmath>
#include <stdexcept>

#include "platform/ColorRef.h"
#include "report/PaperSize.h"
#include "report/ReportFont.h"

namespace {

// Header and footer keep this distance from the printable area.
constexpr int32_t kLegendGap = 60;
// Measured texts are kept per font; a document rarely needs more, and a runaway cache
// starts over.
constexpr qsizetype kMaxCachedWidths = 200000;

int32_t Ceil(double value) {
    return static_cast<int32_t>(std::ceil(value - 1e-6));
}

Error FileError(const QFileDevice& file) {
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return {ErrorNumber::PermissionDenied, file.errorString().toStdString()};
    case QFileDevice::ResourceError:
        return {ErrorNumber::DiskFull, file.errorString().toStdString()};
    case QFileDevice::WriteError:
        return {ErrorNumber::DeviceIo, file.errorString().toStdString()};
    default:
        return {ErrorNumber::PathFileAccess, file.errorString().toStdString()};
    }
}

} // namespace

ReportDocument::ReportDocument() {
    PaperChanged();
}

void ReportDocument::PaperChanged() {
    pageWidth_ = PaperSize::WidthTwips(paperSize_, orientation_ == 1);
    pageHeight_ = PaperSize::HeightTwips(paperSize_, orientation_ == 1);
}

void ReportDocument::SetPaperSize(int16_t code) {
    if (PaperSize::ValidCode(code)) {
        paperSize_ = code;
        PaperChanged();
    }
}

void ReportDocument::SetOrientation(int32_t orientation) {
    if (orientation == 0 || orientation == 1) {
        orientation_ = orientation;
        PaperChanged();
    }
}

void ReportDocument::StartDoc() {
    pages_.clear();
    pages_.emplace_back();
    currentPage_ = 1;
    currentX_ = 0;
    currentY_ = 0;
}

void ReportDocument::NewPage() {
    if (pages_.size() >= 32767) {
        throw std::overflow_error("Overflow");
    }
    const size_t previous = pages_.back().ops.size();
    pages_.emplace_back();
    pages_.back().ops.reserve(previous);
    currentPage_ = static_cast<int>(pages_.size());
    currentX_ = 0;
    currentY_ = 0;
}

void ReportDocument::EndDoc() {}

void ReportDocument::SetCurrentPage(int16_t page) {
    currentPage_ = pages_.empty() ? 0 : std::clamp<int>(page, 1, static_cast<int>(pages_.size()));
}

ReportDocument::Page& ReportDocument::Drawing() {
    if (pages_.empty()) {
        StartDoc();
    }
    return pages_[static_cast<size_t>(currentPage_ - 1)];
}

ReportDocument::FontCache& ReportDocument::Font(int16_t points, bool bold) const {
    const int key = points * 2 + (bold ? 1 : 0);
    auto found = fonts_.find(key);
    if (found == fonts_.end()) {
        FontCache cache;
        cache.font = ReportFont::Font(points, bold);
        cache.metrics = QFontMetricsF(cache.font);
        cache.ascent = cache.metrics.ascent();
        cache.height = Ceil(cache.metrics.height());
        found = fonts_.emplace(key, std::move(cache)).first;
    }
    return found->second;
}

void ReportDocument::SetFontSize(int16_t points) {
    if (points >= 1 && points <= 1638 && points != fontSize_) { // 1638 points: 32760 twips
        fontSize_ = points;
        currentFont_ = nullptr;
    }
}

void ReportDocument::SetFontBold(bool bold) {
    if (bold != bold_) {
        bold_ = bold;
        currentFont_ = nullptr;
    }
}

ReportDocument::FontCache& ReportDocument::CurrentFont() {
    if (currentFont_ == nullptr) {
        currentFont_ = &Font(fontSize_, bold_);
    }
    return *currentFont_;
}

int32_t ReportDocument::Measure(const QString& text) {
    FontCache& font = CurrentFont();
    textHeight_ = font.height;
    if (text.isEmpty()) {
        return 0;
    }
    if (auto found = font.widths.constFind(text); found != font.widths.constEnd()) {
        return found.value();
    }
    if (font.widths.size() >= kMaxCachedWidths) {
        font.widths.clear();
    }
    int32_t width = Ceil(font.metrics.horizontalAdvance(text));
    font.widths.insert(text, width);
    return width;
}

void ReportDocument::SetMeasureText(const QString& text) {
    textWidth_ = Measure(text);
}

void ReportDocument::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Op op;
    op.kind = Op::Kind::Line;
    op.penWidth = penWidth_;
    op.a = x1;
    op.b = y1;
    op.c = x2;
    op.d = y2;
    Drawing().ops.push_back(op);
}

void ReportDocument::DrawRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    Op op;
    op.kind = Op::Kind::Rect;
    op.penWidth = penWidth_;
    op.filled = brushStyle_ == 1;
    op.color = brushColor_;
    op.a = x;
    op.b = y;
    op.c = width;
    op.d = height;
    Drawing().ops.push_back(op);
}

void ReportDocument::TextOut(int32_t x, int32_t y, const QString& text) {
    const int32_t width = Measure(text);
    if (text.isEmpty()) {
        return; // nothing to see, but the height is that of the font all the same
    }
    Op op;
    op.kind = Op::Kind::Text;
    op.fontSize = fontSize_;
    op.bold = bold_;
    op.color = foreColor_;
    op.a = align_ == 1 ? x - width / 2 : x;
    op.b = y;
    Page& page = Drawing();
    op.text = static_cast<int32_t>(page.texts.size());
    page.texts.push_back(text);
    page.ops.push_back(op);
}

void ReportDocument::SetHeader(const QString& text) {
    Drawing().header = Legend{text, fontSize_};
}

void ReportDocument::SetFooter(const QString& text) {
    Drawing().footer = Legend{text, fontSize_};
}

const ReportDocument::Page* ReportDocument::PageAt(int page) const {
    if (page < 1 || page > static_cast<int>(pages_.size())) {
        return nullptr;
    }
    return &pages_[static_cast<size_t>(page - 1)];
}

bool ReportDocument::Blank() const {
    for (const Page& page : pages_) {
        if (!page.ops.empty() || !page.header.text.isEmpty() || !page.footer.text.isEmpty()) {
            return false;
        }
    }
    return true;
}

void ReportDocument::PlayPage(int page, QPainter& painter, double devicePixelsPerTwip) const {
    const Page* p = PageAt(page);
    if (p == nullptr) {
        return;
    }
    painter.save();
    const int32_t width = PageWidth();
    const int32_t height = PageHeight();

    // Header just above the printable area, footer just below it: left, centre, right.
    auto legend = [&](const Legend& l, bool above) {
        if (l.text.isEmpty()) {
            return;
        }
        const FontCache& font = Font(l.fontSize, true);
        painter.setFont(font.font);
        painter.setPen(Qt::black);
        const double top =
            above ? Margin - kLegendGap - font.metrics.height() : height - Margin + kLegendGap;
        const double baseline = top + font.metrics.ascent();
        const QString left = l.text.section(QLatin1Char('|'), 0, 0);
        const QString centre = l.text.section(QLatin1Char('|'), 1, 1);
        const QString right = l.text.section(QLatin1Char('|'), 2);
        painter.drawText(QPointF(Margin, baseline), left);
        painter.drawText(QPointF((width - font.metrics.horizontalAdvance(centre)) / 2, baseline),
                         centre);
        painter.drawText(QPointF(width - Margin - font.metrics.horizontalAdvance(right), baseline),
                         right);
    };
    legend(p->header, true);
    legend(p->footer, false);

    painter.translate(Margin, Margin);
    QPen pen(Qt::black);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    int16_t penWidth = -1;
    auto usePen = [&](int16_t w) {
        if (w <= 0) {
            penWidth = -1;
            painter.setPen(Qt::NoPen);
            return;
        }
        if (w != penWidth) {
            penWidth = w;
            double line = w * TwipsPerPenUnit;
            if (devicePixelsPerTwip > 0) {
                line = std::max(1.0, std::round(line * devicePixelsPerTwip)) / devicePixelsPerTwip;
            }
            pen.setWidthF(line);
        }
        painter.setPen(pen);
    };
    int fontKey = -1;
    for (const Op& op : p->ops) {
        switch (op.kind) {
        case Op::Kind::Line:
            if (op.penWidth <= 0) {
                break;
            }
            usePen(op.penWidth);
            painter.drawLine(QPointF(op.a, op.b), QPointF(op.c, op.d));
            break;
        case Op::Kind::Rect:
            usePen(op.penWidth);
            painter.setBrush(op.filled ? QBrush(ColorRefToQColor(op.color)) : QBrush(Qt::NoBrush));
            painter.drawRect(QRectF(op.a, op.b, op.c, op.d));
            break;
        case Op::Kind::Text: {
            const FontCache& font = Font(op.fontSize, op.bold);
            if (const int key = op.fontSize * 2 + (op.bold ? 1 : 0); key != fontKey) {
                fontKey = key;
                painter.setFont(font.font);
            }
            painter.setPen(ColorRefToQColor(op.color));
            penWidth = -1;
            painter.drawText(QPointF(op.a, op.b + font.ascent),
                             p->texts[static_cast<size_t>(op.text)]);
            break;
        }
        }
    }
    painter.restore();
}

std::optional<Error> ReportDocument::PaintPages(QPagedPaintDevice& device, int first,
                                                int last) const {
    if (first < 1 || last > static_cast<int>(pages_.size()) || first > last) {
        return Error{ErrorNumber::InvalidCall, "The report has no such pages"};
    }
    const QPageLayout layout(PaperSize::PageSize(paperSize_),
                             orientation_ == 1 ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0));
    if (!device.setPageLayout(layout)) {
        return Error{ErrorNumber::InvalidCall, std::string("The paper ") +
                                                   PaperSize::OfCode(paperSize_).caption +
                                                   " cannot be used here"};
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        return Error{ErrorNumber::DeviceIo, "The pages could not be started"};
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double sx = device.logicalDpiX() / 1440.0;
    const double sy = device.logicalDpiY() / 1440.0;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            return Error{ErrorNumber::DeviceIo, "A new page could not be started"};
        }
        painter.save();
        painter.scale(sx, sy);
        PlayPage(page, painter);
        painter.restore();
    }
    if (!painter.end()) {
        return Error{ErrorNumber::DeviceIo, "The pages could not be finished"};
    }
    return std::nullopt;
}

std::optional<Error> ReportDocument::PrintDoc(QPrinter& printer, int first, int last) const {
    printer.setFullPage(true);
    if (auto failed = PaintPages(printer, first, last)) {
        return failed;
    }
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted) {
        return Error{ErrorNumber::DeviceIo, "The printer did not take the job"};
    }
    return std::nullopt;
}

std::optional<Error> ReportDocument::WritePdf(const QString& path, int first, int last,
                                              const QString& title) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return FileError(file);
    }
    if (auto failed = WritePdf(file, first, last, title)) {
        file.cancelWriting();
        return failed;
    }
    if (!file.commit()) {
        return FileError(file);
    }
    return std::nullopt;
}

std::optional<Error> ReportDocument::WritePdf(QIODevice& device, int first, int last,
                                              const QString& title) const {
    QPdfWriter writer(&device);
    writer.setResolution(1440);
    writer.setCreator(QStringLiteral("Tidemar PE"));
    writer.setTitle(title);
    return PaintPages(writer, first, last);
}
