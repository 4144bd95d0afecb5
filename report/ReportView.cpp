#include "report/ReportView.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "platform/Twips.h"
#include "report/ReportDocument.h"

namespace {

// Grey around the paper, in logical pixels.
constexpr int kGap = 16;
constexpr int kShadow = 4;

} // namespace

ReportView::ReportView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::StyledPanel);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleDescription(tr("The report's page as it will print; the arrow keys scroll it"));
    NamePage();
}

void ReportView::SetDocument(const ReportDocument* document) {
    document_ = document;
    Refresh();
}

void ReportView::SetZoom(int16_t zoom) {
    zoom_ = std::clamp(zoom, ZoomMinimum, ZoomMaximum);
    UpdateScrollBars();
    viewport()->update();
}

void ReportView::Refresh() {
    const int page = document_ != nullptr ? document_->CurrentPage() : 0;
    UpdateScrollBars();
    if (page != shownPage_) {
        shownPage_ = page;
        verticalScrollBar()->setValue(0);
    }
    NamePage();
    viewport()->update();
}

void ReportView::NamePage() {
    const int count = document_ != nullptr ? document_->PageCount() : 0;
    const QString name = count == 0 ? tr("No page") : PageName(document_->CurrentPage(), count);
    if (name == accessibleName()) {
        return;
    }
    setAccessibleName(name);
    // This Qt does not tell a screen reader of a new name by itself.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

QString ReportView::PageName(int page, int count) {
    return tr("Page %1 of %2").arg(page).arg(count);
}

int16_t ReportView::ShownZoom() const {
    if (zoom_ > 0 || document_ == nullptr) {
        return zoom_;
    }
    const double actual = TwipsToPixelsX(TwipsPerInch * 100, this) / (TwipsPerInch * 100);
    const long fit = std::lround(Scale() / actual * 10.0);
    return static_cast<int16_t>(std::clamp<long>(fit, 1, ZoomMaximum));
}

double ReportView::Scale() const {
    if (document_ == nullptr) {
        return 0;
    }
    const double width = document_->PageWidth();
    const double height = document_->PageHeight();
    if (zoom_ <= 0) {
        const double w = std::max(1, viewport()->width() - 2 * kGap);
        const double h = std::max(1, viewport()->height() - 2 * kGap);
        return std::min(w / width, h / height);
    }
    // Logical pixels per twip at 100 %, from the screen's logical resolution.
    const double actual = TwipsToPixelsX(TwipsPerInch * 100, this) / (TwipsPerInch * 100);
    return actual * zoom_ / 10.0;
}

QRect ReportView::PaperRect() const {
    if (document_ == nullptr) {
        return {};
    }
    const double scale = Scale();
    const int w = static_cast<int>(std::lround(document_->PageWidth() * scale));
    const int h = static_cast<int>(std::lround(document_->PageHeight() * scale));
    const int x = w + 2 * kGap <= viewport()->width() ? (viewport()->width() - w) / 2
                                                      : kGap - horizontalScrollBar()->value();
    const int y = h + 2 * kGap <= viewport()->height() ? (viewport()->height() - h) / 2
                                                       : kGap - verticalScrollBar()->value();
    return QRect(x, y, w, h);
}

void ReportView::UpdateScrollBars() {
    if (document_ == nullptr || zoom_ <= 0) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
        return;
    }
    const double scale = Scale();
    const int w = static_cast<int>(std::lround(document_->PageWidth() * scale)) + 2 * kGap;
    const int h = static_cast<int>(std::lround(document_->PageHeight() * scale)) + 2 * kGap;
    horizontalScrollBar()->setRange(0, std::max(0, w - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, h - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(20);
}

void ReportView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void ReportView::scrollContentsBy(int, int) {
    viewport()->update();
}

void ReportView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    if (document_ == nullptr || document_->PageCount() == 0) {
        return;
    }
    const QRect paper = PaperRect();
    painter.fillRect(paper.translated(kShadow, kShadow), QColor(0, 0, 0, 60));
    painter.fillRect(paper, Qt::white);
    painter.setClipRect(paper.intersected(event->rect()));
    const double scale = Scale();
    painter.translate(paper.topLeft());
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    document_->PlayPage(document_->CurrentPage(), painter, scale * devicePixelRatioF());
}
