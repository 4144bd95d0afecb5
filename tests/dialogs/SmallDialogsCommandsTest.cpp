// Every menu entry and toolbar button of the type, customer and resource dialogs: caption,
// shortcut, access key and effect, by the menu and by the button, through the windowing seam.
#include <QTest>

#include <gtest/gtest.h>

#include "controls/DropDownToolButton.h"
#include "controls/KeyedToolBar.h"
#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgCustomer.h"
#include "dialogs/DlgResource.h"
#include "dialogs/DlgType.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

// What differs between the three: their words, help topic and the records a save adds.
template <class D> struct Traits;
template <> struct Traits<DlgType> {
    static constexpr const char* title = "Appointment Type";
    static constexpr const char* file = "File: Save appointment type, -, Cancel";
    static constexpr int help = 5;
    static size_t Count(ClsGlobal& store) { return store.Types().Count(); }
};
template <> struct Traits<DlgCustomer> {
    static constexpr const char* title = "Customer";
    static constexpr const char* file = "File: Save, -, Cancel";
    static constexpr int help = 4;
    static size_t Count(ClsGlobal& store) { return store.Customers().Count(); }
};
template <> struct Traits<DlgResource> {
    static constexpr const char* title = "Resource Definition";
    static constexpr const char* file = "File: Save, Cancel";
    static constexpr int help = 2;
    static size_t Count(ClsGlobal& store) { return store.Resources().Count(); }
};

// The type and customer dialogs belong to the appointment dialog, the resource dialog to
// the main window.
template <class D> std::unique_ptr<D> Make(DlgMain& main, QWidget* appointment) {
    if constexpr (std::is_same_v<D, DlgResource>) {
        return std::make_unique<D>(main);
    } else {
        return std::make_unique<D>(main, appointment);
    }
}

template <class D> class SmallDialogCommands : public DialogFixture {
public:
    using Command = typename D::Command;
    struct Row {
        Command command;
        const char* caption; // "" : the dialog's own save caption
        const char* menu;
        int shortcut;
        const char* key;
    };

    // Shows a fresh window and dialog, runs the command by its menu entry or its button,
    // and says whether the effect was the row's.
    void Run(const Row& row, bool byButton) {
        TearDown();
        SetUp();
        ui.helps.clear();
        DlgAppointment appointment(*window);
        std::unique_ptr<D> dialog = Make<D>(*window, &appointment);
        EXPECT_EQ(dialog->windowTitle(), Traits<D>::title);
        EXPECT_EQ(MenuLayout(dialog->MenuBar()), (QStringList{Traits<D>::file, "Help"}));
        EXPECT_EQ(dialog->ToolBar()->Layout(), (QStringList{"Save", "Cancel", "Help"}));
        this->template Show<D>(*dialog, [&](D& d) {
            QAction* action = d.Action(row.command);
            if (*row.caption != '\0') {
                EXPECT_EQ(action->text().remove('&'), row.caption);
            }
            EXPECT_EQ(action->shortcut(), QKeySequence(row.shortcut));
            EXPECT_EQ(MenuOf(d.MenuBar(), action), row.menu);
            DropDownToolButton* button = d.ToolBar()->Button(row.key);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->toolTip(), row.key);
            if (byButton) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                action->trigger();
            }
        });
        const size_t records = Traits<D>::Count(store());
        switch (row.command) {
        case Command::FileSave:
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
            EXPECT_EQ(records, 1u);
            break;
        case Command::FileCancel:
            EXPECT_EQ(dialog->result(), QDialog::Rejected);
            EXPECT_EQ(records, 0u);
            break;
        default:
            ASSERT_EQ(ui.helps.size(), 1);
            EXPECT_EQ(ui.helps[0].request.context, Traits<D>::help);
            EXPECT_EQ(ui.helps[0].owner, window.get());
        }
        EXPECT_FALSE(dialog->isVisible());
    }
};

using Dialogs = ::testing::Types<DlgType, DlgCustomer, DlgResource>;
struct DialogNames {
    template <class D> static std::string GetName(int) {
        return std::is_same_v<D, DlgType>
                   ? "Type"
                   : (std::is_same_v<D, DlgCustomer> ? "Customer" : "Resource");
    }
};
TYPED_TEST_SUITE(SmallDialogCommands, Dialogs, DialogNames);

TYPED_TEST(SmallDialogCommands, SaveCancelAndHelpByMenuAndButton) {
    using C = typename TypeParam::Command;
    const typename TestFixture::Row rows[] = {
        {C::FileSave, "", "File", (Qt::CTRL | Qt::Key_S).toCombined(), "Save"},
        {C::FileCancel, "Cancel", "File", 0, "Cancel"},
        {C::Help, "Help", "", Qt::Key_F1, "Help"},
    };
    for (const auto& row : rows) {
        for (bool byButton : {false, true}) {
            SCOPED_TRACE(std::string(row.key) + (byButton ? " button" : " menu"));
            this->Run(row, byButton);
        }
    }
}

} // namespace
