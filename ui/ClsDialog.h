#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <cstdint>
#include <optional>

class QComboBox;
class QLineEdit;
class QString;
class QWidget;

// Helpers every window shares: centring a window when it loads, select-all for text fields,
// and drop-down lists whose entries carry record ids. Stateless; the members are static so a
// window may call them with or without the program-wide instance.
//
// Drop-down lists: an entry's id is stored as the entry's Qt::UserRole data. A list marked
// sorted with ComboSetSorted keeps its entries in ascending order of their text, compared
// without regard to case, whatever order they are added in.
//
// Every operation logs an unexpected failure (a null widget, an overflow) under "ClsDialog" and
// its own name and returns; the caller carries on.
class ClsDialog {
public:
    // Moves the window to the middle of its parent, or of the available area of its screen when
    // there is no parent. Geometry is worked out in twips; nothing keeps the window on screen.
    static void FormCenter(QWidget* window, QWidget* parent);

    // Selects the whole text of the field.
    static void TextSelectAll(QLineEdit* field);

    // Adds an entry carrying the id and returns its position (its sorted place in a sorted
    // list), or -1 when it could not be added. Adding never changes the selection and raises no
    // selection signal.
    static int16_t ComboAddItem(QComboBox* combo, const QString& text, int32_t id);

    // Selects the first entry carrying the id, or position 0 when none does, and returns the
    // position; -1 for an empty list, which is left unchanged. The list raises
    // currentIndexChanged exactly once, also when that position was already selected, so a
    // handler connected to it runs as for a user's pick.
    static int16_t ComboSelectItem(QComboBox* combo, int32_t id);

    // The id of the selected entry, -1 when nothing is selected.
    static int32_t ComboGetCurrentId(QComboBox* combo);

    // Marks the list as sorted (see above) or unsorted.
    static void ComboSetSorted(QComboBox* combo, bool sorted);

    // The centring arithmetic, in twips: left = outer left + round(outer width) div 2 -
    // round(width) div 2, top likewise; rounding halves to even, div truncating toward zero,
    // 32-bit whole numbers. Nothing when a rounded size leaves the 32-bit range.
    static std::optional<QPointF> CenterTwips(const QRectF& outer, const QSizeF& window);

    // FormCenter once the geometry is measured: moves the window so that its frame's top-left
    // corner lands at the centred position. On overflow the failure is logged and the window
    // stays where it is.
    static void MoveToCenter(QWidget* window, const QRectF& outerTwips, const QSizeF& windowTwips);
};
