#include "platform/Icons.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRadialGradient>
#include <QRectF>
#include <QTransform>

namespace {

// One palette for every icon, so the toolbar reads as a set.
const QColor Ink(0x37, 0x47, 0x4F);
const QColor Paper(0xFF, 0xFF, 0xFF);
const QColor Mist(0xEC, 0xEF, 0xF1);
const QColor Blue(0x1E, 0x88, 0xE5);
const QColor DarkBlue(0x15, 0x65, 0xC0);
const QColor LightBlue(0x90, 0xCA, 0xF9);
const QColor Red(0xE5, 0x39, 0x35);
const QColor Green(0x43, 0xA0, 0x47);
const QColor Orange(0xFB, 0x8C, 0x00);
const QColor Purple(0x8E, 0x24, 0xAA);
const QColor Slate(0x60, 0x7D, 0x8B);
const QColor Wood(0x8D, 0x6E, 0x63);

QPen Outline(const QColor& color, double width = 1.5) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawExit(QPainter& p) {
    p.setPen(Outline(Ink));
    p.setBrush(Mist);
    p.drawRect(QRectF(3.5, 2.75, 10.5, 18.5));
    // The door stands half open towards the viewer.
    p.setBrush(Wood);
    p.drawPolygon(QPolygonF({{3.5, 2.75}, {9.5, 4.5}, {9.5, 22.75}, {3.5, 21.25}}));
    p.setPen(Qt::NoPen);
    p.setBrush(Mist);
    p.drawEllipse(QPointF(8.2, 13.0), 0.9, 0.9);
    p.setPen(Outline(Paper, 1.0));
    p.setBrush(Red);
    p.drawPolygon(QPolygonF(
        {{11, 9.75}, {15.5, 9.75}, {15.5, 6}, {22, 12}, {15.5, 18}, {15.5, 14.25}, {11, 14.25}}));
}

void DrawConfigure(QPainter& p) {
    const QPointF centre(12, 12);
    QPainterPath gear;
    gear.addEllipse(centre, 7.2, 7.2);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-2.1, -10.8, 4.2, 5.5), 0.8, 0.8);
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(i * 45.0);
        gear = gear.united(turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(centre, 2.8, 2.8);
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Slate);
    p.drawPath(gear.subtracted(hole));
}

void DrawResource(QPainter& p) {
    // Rows of the schedule: a name cell and its row.
    for (int i = 0; i < 3; ++i) {
        const double y = 3.5 + i * 6.0;
        p.setPen(Outline(DarkBlue, 1.2));
        p.setBrush(DarkBlue);
        p.drawRoundedRect(QRectF(2.5, y, 5, 4.5), 0.8, 0.8);
        p.setBrush(LightBlue);
        p.drawRoundedRect(QRectF(9, y, 12.5, 4.5), 0.8, 0.8);
    }
}

void DrawAppointment(QPainter& p) {
    // A new bar on a schedule row, with a plus for "make".
    p.setPen(Outline(LightBlue, 1.0));
    p.setBrush(QColor(0xE3, 0xF2, 0xFD));
    p.drawRoundedRect(QRectF(1.5, 4.5, 21, 10), 1.5, 1.5);
    p.setPen(Outline(Green.darker(140), 1.2));
    p.setBrush(Green);
    p.drawRoundedRect(QRectF(3.5, 6.5, 13, 6), 2, 2);
    p.setPen(Outline(Paper, 1.2));
    p.setBrush(Orange);
    p.drawEllipse(QPointF(17, 17.5), 5.5, 5.5);
    p.setPen(Outline(Paper, 2.0));
    p.drawLine(QPointF(17, 14.5), QPointF(17, 20.5));
    p.drawLine(QPointF(14, 17.5), QPointF(20, 17.5));
}

void DrawCalendarPage(QPainter& p) {
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(3, 4, 18, 17.5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    QPainterPath header;
    header.addRoundedRect(QRectF(3, 4, 18, 17.5), 1.5, 1.5);
    p.drawPath(header.intersected([] {
        QPainterPath band;
        band.addRect(QRectF(3, 4, 18, 4.5));
        return band;
    }()));
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 4, 18, 17.5), 1.5, 1.5);
    p.setPen(Outline(Ink, 1.6));
    p.drawLine(QPointF(8, 2.2), QPointF(8, 5.8));
    p.drawLine(QPointF(16, 2.2), QPointF(16, 5.8));
}

void DrawDate(QPainter& p) {
    DrawCalendarPage(p);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const bool chosen = row == 1 && column == 2;
            p.setBrush(chosen ? Red : QColor(0x90, 0xA4, 0xAE));
            p.drawRoundedRect(QRectF(5.5 + column * 4.75, 10.75 + row * 4.75, 3.5, 3.5), 0.5, 0.5);
        }
    }
}

void DrawToday(QPainter& p) {
    const QPointF centre(12, 12);
    p.setPen(Outline(Blue, 2.0));
    p.setBrush(Paper);
    p.drawEllipse(centre, 9.2, 9.2);
    p.setPen(Outline(Ink, 1.2));
    for (int i = 0; i < 4; ++i) {
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(i * 90.0);
        p.drawLine(turn.map(QPointF(0, -7.2)), turn.map(QPointF(0, -5.6)));
    }
    p.setPen(Outline(Ink, 1.8));
    p.drawLine(centre, QPointF(12, 5.8));
    p.drawLine(centre, QPointF(16.2, 14.4));
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawEllipse(centre, 1.4, 1.4);
}

void DrawSearch(QPainter& p) {
    p.setPen(Outline(Ink, 3.2));
    p.drawLine(QPointF(14.8, 14.8), QPointF(20.8, 20.8));
    p.setPen(Outline(Ink, 2.0));
    p.setBrush(QColor(0xE3, 0xF2, 0xFD));
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    p.setPen(Outline(Paper, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6.2, 6.2, 7.6, 7.6), 100 * 16, 70 * 16);
}

void DrawView(QPainter& p) {
    QPainterPath eye;
    eye.moveTo(1.5, 12);
    eye.quadTo(12, 1.5, 22.5, 12);
    eye.quadTo(12, 22.5, 1.5, 12);
    p.setPen(Outline(Ink, 1.5));
    p.setBrush(Paper);
    p.drawPath(eye);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawEllipse(QPointF(12, 12), 4.6, 4.6);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(12, 12), 2.0, 2.0);
    p.setBrush(Paper);
    p.drawEllipse(QPointF(13.6, 10.4), 1.0, 1.0);
}

void DrawZoom(QPainter& p) {
    // The time scale stretched between two limits.
    p.setPen(Outline(Ink, 2.0));
    p.drawLine(QPointF(2.5, 5.5), QPointF(2.5, 18.5));
    p.drawLine(QPointF(21.5, 5.5), QPointF(21.5, 18.5));
    p.setPen(Outline(Purple, 2.0));
    p.drawLine(QPointF(7, 12), QPointF(17, 12));
    p.setPen(Outline(Purple, 1.0));
    p.setBrush(Purple);
    p.drawPolygon(QPolygonF({{4.8, 12}, {9.5, 7.5}, {9.5, 16.5}}));
    p.drawPolygon(QPolygonF({{19.2, 12}, {14.5, 7.5}, {14.5, 16.5}}));
}

void DrawPrint(QPainter& p) {
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRect(QRectF(6.5, 2.5, 11, 8));
    p.setBrush(Slate);
    p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9.5), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(6.5, 14, 11, 7.5));
    p.setPen(Outline(QColor(0x90, 0xA4, 0xAE), 1.0));
    p.drawLine(QPointF(8.5, 17), QPointF(15.5, 17));
    p.drawLine(QPointF(8.5, 19.2), QPointF(13.5, 19.2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x76, 0xFF, 0x03));
    p.drawEllipse(QPointF(18.5, 11.2), 1.1, 1.1);
}

void DrawHelp(QPainter& p) {
    QRadialGradient fill(QPointF(9, 8), 14);
    fill.setColorAt(0, Blue.lighter(125));
    fill.setColorAt(1, DarkBlue);
    p.setPen(Outline(DarkBlue.darker(120), 1.0));
    p.setBrush(fill);
    p.drawEllipse(QPointF(12, 12), 10.2, 10.2);
    QFont font;
    font.setBold(true);
    font.setPixelSize(15);
    QPainterPath mark;
    mark.addText(0, 0, font, QStringLiteral("?"));
    const QRectF bounds = mark.boundingRect();
    mark.translate(12 - bounds.center().x(), 12 - bounds.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    p.drawPath(mark);
}

void DrawSelect(QPainter& p) {
    // A list with its chosen row, and a tick for "take this one".
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(2.5, 3.5, 15, 17), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x90, 0xA4, 0xAE));
    p.drawRect(QRectF(5, 6.5, 10, 2));
    p.drawRect(QRectF(5, 15.5, 10, 2));
    p.setBrush(LightBlue);
    p.drawRect(QRectF(3.2, 10.2, 13.6, 3.6));
    p.setPen(Outline(Paper, 4.2));
    p.drawPolyline(QPolygonF({{12.5, 15.5}, {16, 19}, {22, 11.5}}));
    p.setPen(Outline(Green, 2.4));
    p.drawPolyline(QPolygonF({{12.5, 15.5}, {16, 19}, {22, 11.5}}));
}

void DrawSave(QPainter& p) {
    // A diskette: label at the top, shutter at the bottom.
    QPainterPath disk;
    disk.moveTo(3, 4.5);
    disk.quadTo(3, 3, 4.5, 3);
    disk.lineTo(17.5, 3);
    disk.lineTo(21, 6.5);
    disk.lineTo(21, 19.5);
    disk.quadTo(21, 21, 19.5, 21);
    disk.lineTo(4.5, 21);
    disk.quadTo(3, 21, 3, 19.5);
    disk.closeSubpath();
    p.setPen(Outline(DarkBlue.darker(130), 1.2));
    p.setBrush(Blue);
    p.drawPath(disk);
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(6.5, 3.8, 10, 6.2), 0.8, 0.8);
    p.setBrush(Mist);
    p.drawRoundedRect(QRectF(6.5, 13.5, 11, 6.8), 0.8, 0.8);
    p.setBrush(Slate);
    p.drawRect(QRectF(13, 4.8, 2.4, 4.2));
}

void DrawCancel(QPainter& p) {
    p.setPen(Outline(Red.darker(130), 1.0));
    p.setBrush(Red);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
    p.setPen(Outline(Paper, 2.6));
    p.drawLine(QPointF(8, 8), QPointF(16, 16));
    p.drawLine(QPointF(16, 8), QPointF(8, 16));
}

void DrawCustomer(QPainter& p) {
    // Head and shoulders.
    p.setPen(Outline(DarkBlue, 1.2));
    p.setBrush(Blue);
    QPainterPath shoulders;
    shoulders.moveTo(3.5, 21.5);
    shoulders.cubicTo(3.5, 14.5, 8, 13, 12, 13);
    shoulders.cubicTo(16, 13, 20.5, 14.5, 20.5, 21.5);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    p.setBrush(QColor(0xFF, 0xCC, 0x80));
    p.setPen(Outline(Wood, 1.2));
    p.drawEllipse(QPointF(12, 7.5), 4.5, 4.5);
}

void DrawType(QPainter& p) {
    // A label tag with a colour swatch: what kind of appointment.
    QPainterPath tag;
    tag.moveTo(2.5, 8);
    tag.lineTo(7.5, 3);
    tag.lineTo(21.5, 3);
    tag.lineTo(21.5, 13);
    tag.lineTo(7.5, 13);
    tag.closeSubpath();
    p.setPen(Outline(Orange.darker(140), 1.2));
    p.setBrush(Orange);
    p.drawPath(tag);
    p.setPen(Outline(Paper, 1.0));
    p.setBrush(Paper);
    p.drawEllipse(QPointF(7.2, 8), 1.4, 1.4);
    p.setPen(Outline(Ink, 1.0));
    p.setBrush(Purple);
    p.drawRoundedRect(QRectF(4.5, 15.5, 8, 6), 1.2, 1.2);
    p.setBrush(Green);
    p.drawRoundedRect(QRectF(13.5, 15.5, 8, 6), 1.2, 1.2);
}

void DrawDelete(QPainter& p) {
    // A waste bin.
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Slate);
    p.drawRoundedRect(QRectF(3.5, 4.5, 17, 3), 1, 1);
    p.drawRect(QRectF(9.5, 2.5, 5, 2));
    QPainterPath bin;
    bin.moveTo(5, 8.5);
    bin.lineTo(19, 8.5);
    bin.lineTo(17.5, 21.5);
    bin.lineTo(6.5, 21.5);
    bin.closeSubpath();
    p.setBrush(Mist);
    p.drawPath(bin);
    p.setPen(Outline(Red, 1.6));
    for (double x : {9.5, 12.0, 14.5}) {
        p.drawLine(QPointF(x, 11), QPointF(x, 19));
    }
}

void DrawCalendar(QPainter& p) {
    // The whole month: a page of days, none picked out.
    DrawCalendarPage(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            p.drawRect(QRectF(5 + column * 3.75, 10 + row * 3.6, 2.6, 2.4));
        }
    }
}

// A filled chevron pointing left (direction -1) or right (+1), its tip at x = tip.
void DrawChevron(QPainter& p, double tip, int direction, const QColor& color) {
    auto x = [&](double k) { return tip - direction * k; };
    p.setPen(Outline(color.darker(130), 1.0));
    p.setBrush(color);
    p.drawPolygon(QPolygonF({{x(8), 4}, {x(4), 4}, {tip, 12}, {x(4), 20}, {x(8), 20}, {x(4), 12}}));
}

void DrawPrevDay(QPainter& p) {
    DrawChevron(p, 8, -1, Blue);
}

void DrawNextDay(QPainter& p) {
    DrawChevron(p, 16, 1, Blue);
}

void DrawPrevWeek(QPainter& p) {
    DrawChevron(p, 4, -1, DarkBlue);
    DrawChevron(p, 12, -1, DarkBlue);
}

void DrawNextWeek(QPainter& p) {
    DrawChevron(p, 12, 1, DarkBlue);
    DrawChevron(p, 20, 1, DarkBlue);
}

// A printed sheet with a green arrow turning to the previous (-1) or next (+1) page.
void DrawPageTurn(QPainter& p, int direction) {
    p.setPen(Outline(Ink, 1.2));
    p.setBrush(Paper);
    p.drawRect(QRectF(5.5, 2.5, 13, 19));
    p.setPen(Outline(QColor(0x90, 0xA4, 0xAE), 1.0));
    for (int i = 0; i < 3; ++i) {
        p.drawLine(QPointF(8, 6 + i * 2.5), QPointF(16, 6 + i * 2.5));
    }
    p.setPen(Outline(Paper, 1.0));
    p.setBrush(Green);
    const double c = 12;
    const double d = direction;
    p.drawPolygon(QPolygonF({{c + d * 9, 16.5},
                             {c + d * 3, 11},
                             {c + d * 3, 14.25},
                             {c - d * 6, 14.25},
                             {c - d * 6, 18.75},
                             {c + d * 3, 18.75},
                             {c + d * 3, 22}}));
}

void DrawPrevPage(QPainter& p) {
    DrawPageTurn(p, -1);
}

void DrawNextPage(QPainter& p) {
    DrawPageTurn(p, 1);
}

// A curved arrow turning back to the left (direction -1, undo) or on to the right (1, redo).
void DrawTurn(QPainter& p, int direction) {
    p.save();
    if (direction > 0) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    QPainterPath bend;
    bend.moveTo(7, 9);
    bend.lineTo(14, 9);
    bend.cubicTo(23, 9, 23, 20, 14, 20);
    bend.lineTo(9, 20);
    p.setPen(Outline(DarkBlue, 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bend);
    p.setPen(Outline(DarkBlue, 1.0));
    p.setBrush(DarkBlue);
    p.drawPolygon(QPolygonF({{2, 9}, {9, 3.5}, {9, 14.5}}));
    p.restore();
}

void DrawUndo(QPainter& p) {
    DrawTurn(p, -1);
}

void DrawRedo(QPainter& p) {
    DrawTurn(p, 1);
}

using Drawer = void (*)(QPainter&);

struct Entry {
    const char* key;
    Drawer draw;
};

constexpr Entry Drawers[] = {
    {"Exit", DrawExit},
    {"Undo", DrawUndo},
    {"Redo", DrawRedo},
    {"Configure", DrawConfigure},
    {"Resource", DrawResource},
    {"Appointment", DrawAppointment},
    {"Date", DrawDate},
    {"Today", DrawToday},
    {"Search", DrawSearch},
    {"View", DrawView},
    {"Zoom", DrawZoom},
    {"Print", DrawPrint},
    {"Help", DrawHelp},
    {"Save", DrawSave},
    {"Select", DrawSelect},
    {"Cancel", DrawCancel},
    {"Customer", DrawCustomer},
    {"Type", DrawType},
    {"Delete", DrawDelete},
    // The print preview's.
    {"PrevWeek", DrawPrevWeek},
    {"PrevDay", DrawPrevDay},
    {"Calendar", DrawCalendar},
    {"NextDay", DrawNextDay},
    {"NextWeek", DrawNextWeek},
    {"PrevPage", DrawPrevPage},
    {"NextPage", DrawNextPage},
};

Drawer Find(const QString& key) {
    for (const Entry& entry : Drawers) {
        if (key == QLatin1String(entry.key)) {
            return entry.draw;
        }
    }
    return nullptr;
}

} // namespace

QStringList Icons::Keys() {
    QStringList keys;
    for (const Entry& entry : Drawers) {
        keys << QLatin1String(entry.key);
    }
    return keys;
}

QPixmap Icons::Render(const QString& key, int size) {
    const Drawer draw = Find(key);
    if (draw == nullptr || size <= 0) {
        return QPixmap();
    }
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    draw(painter);
    return pixmap;
}

QIcon Icons::ForKey(const QString& key) {
    static QHash<QString, QIcon> cache;
    if (auto found = cache.constFind(key); found != cache.constEnd()) {
        return found.value();
    }
    if (Find(key) == nullptr) {
        return QIcon();
    }
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        icon.addPixmap(Render(key, size));
    }
    cache.insert(key, icon);
    return icon;
}

QPixmap Icons::AboutPicture(int size) {
    if (size <= 0) {
        return QPixmap();
    }
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 96.0, size / 96.0);

    QLinearGradient sky(QPointF(0, 0), QPointF(96, 96));
    sky.setColorAt(0, QColor(0x15, 0x65, 0xC0));
    sky.setColorAt(1, QColor(0x00, 0x89, 0x7B));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(3, 3, 90, 90), 18, 18);

    // The ruler and its day lines.
    const QColor faint(255, 255, 255, 60);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(QRectF(12, 14, 72, 11), 3, 3);
    p.setPen(QPen(QColor(255, 255, 255, 210), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i <= 6; ++i) {
        const double x = 30 + i * 9.0;
        p.drawLine(QPointF(x, 18), QPointF(x, 23));
    }
    p.setPen(QPen(faint, 1.0));
    for (int i = 0; i <= 6; ++i) {
        const double x = 30 + i * 9.0;
        p.drawLine(QPointF(x, 28), QPointF(x, 84));
    }

    // Three resource rows with their bookings.
    struct Bar {
        double y, from, to;
        QColor color;
    };
    const Bar bars[] = {
        {32, 34, 66, QColor(0xFF, 0xB3, 0x00)},
        {50, 48, 82, QColor(0x66, 0xBB, 0x6A)},
        {68, 30, 58, QColor(0xEF, 0x53, 0x50)},
    };
    for (const Bar& bar : bars) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawRoundedRect(QRectF(12, bar.y + 2, 12, 8), 2, 2);
        p.setBrush(QColor(0, 0, 0, 45));
        p.drawRoundedRect(QRectF(bar.from + 1, bar.y + 1.5, bar.to - bar.from, 12), 4, 4);
        p.setBrush(bar.color);
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
        p.drawRoundedRect(QRectF(bar.from, bar.y, bar.to - bar.from, 12), 4, 4);
    }
    return pixmap;
}
