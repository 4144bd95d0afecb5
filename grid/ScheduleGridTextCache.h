#pragma once

#include <QFont>
#include <QHash>
#include <QPair>
#include <QStaticText>
#include <QString>

class QPainter;
class QRect;

// Laid-out texts of the schedule grid. The same customer names, room names and ruler
// labels come back on every paint, and shaping them again each time costs more than
// all the rest of the painting.
class ScheduleGridTextCache {
public:
    // Draws text, trimmed, left-aligned and vertically centred in room, elided at the
    // right when it does not fit. Draws nothing when only an ellipsis would fit.
    void Draw(QPainter& painter, const QFont& font, const QRect& room, const QString& text);
    void Clear();

private:
    void UseFont(const QFont& font);

    QFont font_;
    int fontHeight_ = 0;
    QHash<QString, int> widths_;                    // untrimmed text -> width of trimmed text
    QHash<QPair<QString, int>, QStaticText> texts_; // (untrimmed text, room or -1 if whole)
};
