// The drop-down list of records: its order is exactly that of adding the names one by one
// to a sorted list, selecting by id behaves as the dialog helper does, and typing finds
// entries without ever adding one.
#include <QCompleter>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/ClsDialog.h"
#include "widgets/LookupComboBox.h"

namespace {

using Names = std::vector<std::pair<const char*, int32_t>>;

// The same names in a sorted combo box of the dialog helper and in a lookup list.
void Fill(QComboBox& reference, LookupComboBox& combo, const Names& names) {
    ClsDialog::ComboSetSorted(&reference, true);
    LookupListModel::Items items;
    for (const auto& [name, id] : names) {
        ClsDialog::ComboAddItem(&reference, QString::fromUtf8(name), id);
        items.Add(QString::fromUtf8(name), id);
    }
    combo.Fill(std::move(items));
}

QStringList Texts(const QComboBox& combo) {
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i) {
        texts << combo.itemText(i) + "#" + QString::number(combo.itemData(i).toInt());
    }
    return texts;
}

// Names whose order depends on case folding beyond ASCII, with equal names in between.
const Names kTricky = {{"beta", 1},   {"Alpha", 2},  {"ALPHA", 3},   {"ßeta", 4},
                       {"zeta", 5},   {"Éclair", 6}, {"éclair", 7},  {"µ", 8},
                       {"Ÿvonne", 9}, {"ÿ", 10},     {"alpha ", 11}, {"", 12},
                       {"Zeta", 13},  {"Œuvre", 14}, {"œuvre", 15},  {"a-b", 16}};

TEST(LookupComboBoxTest, FillGivesTheOrderOfSortedInsertsOneByOne) {
    QComboBox reference;
    LookupComboBox combo;
    QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
    Fill(reference, combo, kTricky);
    QStringList expected = Texts(reference);
    expected.replaceInStrings("alpha #", "alpha#"); // trailing blanks are not shown
    EXPECT_EQ(Texts(combo), expected);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(changed.size(), 0);
}

TEST(LookupComboBoxTest, SelectIdAgreesWithTheDialogHelper) {
    QComboBox reference;
    LookupComboBox combo;
    EXPECT_EQ(combo.SelectId(1), -1) << "an empty list";
    Fill(reference, combo, {{"b", 7}, {"a", 8}, {"c", 7}});
    QSignalSpy referenceChanged(&reference, &QComboBox::currentIndexChanged);
    QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
    for (int32_t id : {7, 7, 99, 0, 8}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(combo.SelectId(id), ClsDialog::ComboSelectItem(&reference, id));
        EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo), ClsDialog::ComboGetCurrentId(&reference));
        EXPECT_EQ(combo.currentText(), reference.currentText());
        EXPECT_EQ(changed.size(), referenceChanged.size());
    }
}

// Leaving the field selects what the text names, an exact name before the first that
// begins so (a tab sorts "Bo\tx" before "Bo "), or keeps the selection; typing adds nothing.
const Names kNames = {{"Anna", 1}, {"Ann", 2},   {"Bert", 3}, {"Berta", 4},
                      {"Carl", 5}, {"Bo\tx", 6}, {"Bo ", 7}};

TEST(LookupComboBoxTest, LeavingTheFieldSelectsWhatTheTextNames) {
    const std::pair<const char*, const char*> rows[] = {{"anna", "Anna"}, {"ann", "Ann"},
                                                        {"ber", "Bert"},  {"bo", "Bo"},
                                                        {"Dora", "Carl"}, {"", "Carl"}};
    for (const auto& [typed, selected] : rows) {
        SCOPED_TRACE(typed);
        QComboBox reference;
        LookupComboBox combo;
        Fill(reference, combo, kNames);
        combo.SelectId(5);
        combo.lineEdit()->setText(typed);
        combo.Commit();
        EXPECT_EQ(combo.currentText(), selected);
        EXPECT_EQ(combo.count(), 7);
    }
}

TEST(LookupComboBoxTest, TypingOffersTheNamesThatBeginSoAmongTenThousand) {
    LookupListModel::Items items;
    for (int i = 0; i < 10000; ++i) {
        items.Add(QString("Customer %1").arg(i, 5, 10, QChar('0')), i + 1);
    }
    LookupComboBox combo;
    combo.Fill(std::move(items));
    combo.SelectId(1);
    combo.show();
    combo.setFocus();
    combo.lineEdit()->selectAll();
    QTest::keyClicks(&combo, "customer 0999");
    EXPECT_EQ(combo.completer()->completionCount(), 10);
    QTest::keyClick(&combo, Qt::Key_Return);
    EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo), 9991);
    EXPECT_EQ(combo.count(), 10000);
}

} // namespace
