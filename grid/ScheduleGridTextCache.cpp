#include "grid/ScheduleGridTextCache.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QTransform>

namespace {

// Enough for every name on screen many times over; a runaway cache just starts again.
constexpr qsizetype kMaxEntries = 8192;

} // namespace

void ScheduleGridTextCache::Clear() {
    widths_.clear();
    texts_.clear();
}

void ScheduleGridTextCache::UseFont(const QFont& font) {
    if (fontHeight_ > 0 && font == font_) {
        return;
    }
    Clear();
    font_ = font;
    fontHeight_ = QFontMetrics(font_).height();
}

void ScheduleGridTextCache::Draw(QPainter& painter, const QFont& font, const QRect& room,
                                 const QString& text) {
    if (text.isEmpty() || room.width() <= 0) {
        return;
    }
    UseFont(font);
    if (widths_.size() > kMaxEntries || texts_.size() > kMaxEntries) {
        Clear();
    }
    auto width = widths_.constFind(text);
    if (width == widths_.constEnd()) {
        width = widths_.insert(text, QFontMetrics(font_).horizontalAdvance(text.trimmed()));
    }
    const QPair<QString, int> key(text, *width <= room.width() ? -1 : room.width());
    auto prepared = texts_.constFind(key);
    if (prepared == texts_.constEnd()) {
        QString shown = text.trimmed();
        if (key.second >= 0) {
            shown = QFontMetrics(font_).elidedText(shown, Qt::ElideRight, room.width());
            if (shown.size() < 2) { // a lone ellipsis tells nothing
                shown.clear();
            }
        }
        QStaticText laidOut(shown);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
        laidOut.prepare(QTransform(), font_);
        prepared = texts_.insert(key, laidOut);
    }
    if (prepared->text().isEmpty()) {
        return;
    }
    if (painter.font() != font_) {
        painter.setFont(font_);
    }
    painter.drawStaticText(QPoint(room.left(), room.top() + (room.height() - fontHeight_) / 2),
                           *prepared);
}
