#include "ui/ClsDialog.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRect>
#include <QScreen>
#include <QSignalBlocker>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <cmath>
#include <limits>

#include "base/Error.h"
#include "base/ModError.h"
#include "platform/Twips.h"

namespace {

constexpr int32_t ObjectNotSetNumber = 91;

void LogFailure(const char* operation, const Error& error) {
    ModError::LogError("ClsDialog", operation, error);
}

void LogObjectNotSet(const char* operation) {
    LogFailure(operation,
               Error{ObjectNotSetNumber, "Object variable or With block variable not set"});
}

void LogOverflow(const char* operation) {
    LogFailure(operation, MakeError(ErrorNumber::Overflow));
}

// Nearest whole number with halves to even, as the classic conversion to a whole number does.
std::optional<int32_t> RoundToInt32(double value) {
    if (std::isnan(value)) {
        return std::nullopt;
    }
    double whole = std::floor(value);
    double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    if (whole < std::numeric_limits<int32_t>::min() ||
        whole > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(whole);
}

// round(outer) div 2 - round(inner) div 2, or nothing on overflow.
std::optional<int32_t> HalfDifference(double outer, double inner) {
    std::optional<int32_t> outerWhole = RoundToInt32(outer);
    std::optional<int32_t> innerWhole = RoundToInt32(inner);
    if (!outerWhole || !innerWhole) {
        return std::nullopt;
    }
    int32_t difference = 0;
    if (__builtin_sub_overflow(*outerWhole / 2, *innerWhole / 2, &difference)) {
        return std::nullopt;
    }
    return difference;
}

bool IsSorted(const QComboBox* combo) {
    return combo->insertPolicy() == QComboBox::InsertAlphabetically;
}

} // namespace

std::optional<QPointF> ClsDialog::CenterTwips(const QRectF& outer, const QSizeF& window) {
    std::optional<int32_t> dx = HalfDifference(outer.width(), window.width());
    std::optional<int32_t> dy = HalfDifference(outer.height(), window.height());
    if (!dx || !dy) {
        return std::nullopt;
    }
    return QPointF(outer.left() + *dx, outer.top() + *dy);
}

void ClsDialog::MoveToCenter(QWidget* window, const QRectF& outerTwips, const QSizeF& windowTwips) {
    if (window == nullptr) {
        LogObjectNotSet("FormCenter");
        return;
    }
    std::optional<QPointF> target = CenterTwips(outerTwips, windowTwips);
    if (!target) {
        LogOverflow("FormCenter");
        return;
    }
    std::optional<int> x = TryTwipsToPixelsX(target->x(), window);
    std::optional<int> y = TryTwipsToPixelsY(target->y(), window);
    if (!x || !y) {
        LogOverflow("FormCenter");
        return;
    }
    QPoint position(*x, *y);
    if (!window->isWindow() && window->parentWidget() != nullptr) {
        position = window->parentWidget()->mapFromGlobal(position);
    }
    window->move(position);
}

void ClsDialog::FormCenter(QWidget* window, QWidget* parent) {
    if (window == nullptr) {
        LogObjectNotSet("FormCenter");
        return;
    }
    QRect outer;
    if (parent != nullptr) {
        outer = parent->isWindow() ? parent->frameGeometry()
                                   : QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size());
    } else {
        QScreen* screen = window->screen();
        if (screen == nullptr) {
            screen = QGuiApplication::primaryScreen();
        }
        if (screen == nullptr) {
            LogObjectNotSet("FormCenter");
            return;
        }
        outer = screen->availableGeometry();
    }
    // One DPI for every conversion, so the round trip through twips cannot skew the result.
    const QRect frame = window->frameGeometry();
    const QRectF outerTwips(PixelsToTwipsX(outer.x(), window), PixelsToTwipsY(outer.y(), window),
                            PixelsToTwipsX(outer.width(), window),
                            PixelsToTwipsY(outer.height(), window));
    const QSizeF windowTwips(PixelsToTwipsX(frame.width(), window),
                             PixelsToTwipsY(frame.height(), window));
    MoveToCenter(window, outerTwips, windowTwips);
}

void ClsDialog::TextSelectAll(QLineEdit* field) {
    if (field == nullptr) {
        LogObjectNotSet("TextSelectAll");
        return;
    }
    field->setSelection(0, static_cast<int>(field->text().length()));
}

int16_t ClsDialog::ComboAddItem(QComboBox* combo, const QString& text, int32_t id) {
    if (combo == nullptr) {
        LogObjectNotSet("ComboAddItem");
        return -1;
    }
    const int count = combo->count();
    // Positions are 16-bit: a list holds at most 32767 entries.
    if (count >= std::numeric_limits<int16_t>::max()) {
        LogOverflow("ComboAddItem");
        return -1;
    }
    int position = count;
    if (IsSorted(combo)) {
        position = 0;
        while (position < count &&
               QString::compare(combo->itemText(position), text, Qt::CaseInsensitive) <= 0) {
            ++position;
        }
    }
    const int selected = combo->currentIndex();
    {
        // A non-editable QComboBox selects its first entry by itself; a list filled by the
        // program keeps "nothing selected" until something is selected on purpose.
        const QSignalBlocker blocker(combo);
        combo->insertItem(position, text, QVariant(id));
        if (selected < 0) {
            combo->setCurrentIndex(-1);
        }
    }
    return static_cast<int16_t>(position);
}

int16_t ClsDialog::ComboSelectItem(QComboBox* combo, int32_t id) {
    if (combo == nullptr) {
        LogObjectNotSet("ComboSelectItem");
        return -1;
    }
    const int count = combo->count();
    if (count == 0) {
        return -1;
    }
    int position = 0;
    for (int i = 0; i < count; ++i) {
        if (combo->itemData(i).toInt() == id) {
            position = i;
            break;
        }
    }
    if (position > std::numeric_limits<int16_t>::max()) {
        LogOverflow("ComboSelectItem");
        return -1;
    }
    if (combo->currentIndex() == position) {
        emit combo->currentIndexChanged(position);
    } else {
        combo->setCurrentIndex(position);
    }
    return static_cast<int16_t>(position);
}

int32_t ClsDialog::ComboGetCurrentId(QComboBox* combo) {
    if (combo == nullptr) {
        LogObjectNotSet("ComboGetCurrentId");
        return -1;
    }
    const int index = combo->currentIndex();
    if (index < 0) {
        return -1;
    }
    return combo->itemData(index).toInt();
}

void ClsDialog::ComboSetSorted(QComboBox* combo, bool sorted) {
    if (combo == nullptr) {
        LogObjectNotSet("ComboSetSorted");
        return;
    }
    combo->setInsertPolicy(sorted ? QComboBox::InsertAlphabetically : QComboBox::InsertAtBottom);
}
