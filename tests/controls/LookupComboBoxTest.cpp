// The drop-down list of records: its order is exactly that of adding the names one by one
// to a sorted list, selecting by id behaves as the dialog helper does, and typing finds
// entries without ever adding one.
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/LookupComboBox.h"
#include "dialogs/ClsDialog.h"

namespace {

struct Named {
    const char* name;
    int32_t id;
};
using Names = std::vector<Named>;

LookupListModel::Items Items(const Names& names) {
    LookupListModel::Items items;
    for (const Named& n : names) {
        items.Add(QString::fromUtf8(n.name), n.id);
    }
    return items;
}

// Names whose order depends on case folding beyond ASCII, with equal names in between.
const Names kTricky = {{"beta", 1},   {"Alpha", 2},  {"ALPHA", 3},   {"ßeta", 4},
                       {"zeta", 5},   {"Éclair", 6}, {"éclair", 7},  {"µ", 8},
                       {"Ÿvonne", 9}, {"ÿ", 10},     {"alpha ", 11}, {"", 12},
                       {"Zeta", 13},  {"Œuvre", 14}, {"œuvre", 15},  {"a-b", 16}};

QStringList Texts(const QComboBox& combo) {
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i) {
        texts << combo.itemText(i) + "#" + QString::number(combo.itemData(i).toInt());
    }
    return texts;
}

TEST(LookupComboBoxTest, FillGivesTheOrderOfSortedInsertsOneByOne) {
    QComboBox reference;
    ClsDialog::ComboSetSorted(&reference, true);
    for (const auto& item : kTricky) {
        ClsDialog::ComboAddItem(&reference, QString::fromUtf8(item.name), item.id);
    }
    LookupComboBox combo;
    QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
    combo.Fill(Items(kTricky));
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
    ClsDialog::ComboSetSorted(&reference, true);
    const Names items = {{"b", 7}, {"a", 8}, {"c", 7}};
    for (const auto& item : items) {
        ClsDialog::ComboAddItem(&reference, QString::fromUtf8(item.name), item.id);
    }
    combo.Fill(Items(items));
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

struct TypingCase {
    const char* name;
    const char* typed;
    const char* selected; // after leaving the field
};
class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, LeavingTheFieldSelectsWhatTheTextNamesOrKeepsTheSelection) {
    LookupComboBox combo;
    combo.Fill(Items({{"Anna", 1}, {"Ann", 2}, {"Bert", 3}, {"Berta", 4}, {"Carl", 5}}));
    combo.SelectId(5);
    combo.lineEdit()->setText(GetParam().typed);
    combo.Commit();
    EXPECT_EQ(combo.currentText(), GetParam().selected);
    EXPECT_EQ(combo.count(), 5) << "typing adds nothing";
}

INSTANTIATE_TEST_SUITE_P(Table, Typing,
                         ::testing::Values(TypingCase{"ExactWithoutCase", "anna", "Anna"},
                                           TypingCase{"ExactBeatsPrefix", "ann", "Ann"},
                                           TypingCase{"FirstThatBegins", "ber", "Bert"},
                                           TypingCase{"NamesNothing", "Dora", "Carl"},
                                           TypingCase{"Empty", "", "Carl"}),
                         [](const auto& row) { return std::string(row.param.name); });

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
