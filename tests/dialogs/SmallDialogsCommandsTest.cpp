// Every menu entry and toolbar button of the type, customer and resource dialogs: caption,
// shortcut, access key and effect, by the menu and by the button, through the windowing seam.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgCustomer.h"
#include "dialogs/DlgResource.h"
#include "dialogs/DlgType.h"
#include "tests/dialogs/DialogFixture.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

namespace {

// What differs between the three: title, File menu, help topic, the records a save adds and
// the word for one.
struct Traits {
    const char* title;
    const char* file;
    int help;
    std::function<size_t(ClsGlobal&)> count;
    const char* record;
};
template <class D> Traits TraitsOf() {
    if constexpr (std::is_same_v<D, DlgType>) {
        return {"Appointment Type", "File: Save appointment type, -, Cancel", 5,
                [](ClsGlobal& s) { return s.Types().Count(); }, "appointment type"};
    } else if constexpr (std::is_same_v<D, DlgCustomer>) {
        return {"Customer", "File: Save, -, Cancel", 4,
                [](ClsGlobal& s) { return s.Customers().Count(); }, "customer"};
    } else {
        return {"Resource Definition", "File: Save, Cancel", 2,
                [](ClsGlobal& s) { return s.Resources().Count(); }, "resource"};
    }
}
template <class D> QLineEdit* NameField(D& dialog) {
    if constexpr (std::is_same_v<D, DlgType>) {
        return dialog.TxtTypeName();
    } else if constexpr (std::is_same_v<D, DlgCustomer>) {
        return dialog.TxtCustomerName();
    } else {
        return dialog.TxtResName();
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

    std::unique_ptr<D> Make(DlgAppointment& appointment) {
        if constexpr (std::is_same_v<D, DlgResource>) {
            return std::make_unique<D>(services());
        } else {
            return std::make_unique<D>(services(), &appointment);
        }
    }

    // A fresh window and dialog; runs the command by its menu entry or its button.
    void Run(const Row& row, bool byButton) {
        TearDown();
        SetUp();
        ui.helps.clear();
        const Traits traits = TraitsOf<D>();
        DlgAppointment appointment(services(), schedule());
        std::unique_ptr<D> dialog = Make(appointment);
        EXPECT_EQ(dialog->windowTitle(), traits.title);
        EXPECT_EQ(MenuLayout(dialog->MenuBar()), (QStringList{traits.file, "Help"}));
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
            NameField(d)->setText("Name");
            byButton ? QTest::mouseClick(button, Qt::LeftButton) : action->trigger();
        });
        const size_t records = traits.count(store());
        if (row.command == Command::Help) {
            ASSERT_EQ(ui.helps.size(), 1);
            EXPECT_EQ(ui.helps[0].request.context, traits.help);
            EXPECT_EQ(ui.helps[0].owner, window.get());
        } else {
            EXPECT_TRUE(ui.helps.empty()) << "ran another command";
            const bool save = row.command == Command::FileSave;
            EXPECT_EQ(dialog->result(), save ? QDialog::Accepted : QDialog::Rejected);
            EXPECT_EQ(records, save ? 1u : 0u);
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

// A blank name is refused with the reason, the dialog staying open with the focus in the
// name; typing stops at the 24 characters the record keeps.
TYPED_TEST(SmallDialogCommands, ABlankNameIsRefusedAndANameStopsAtTheStoredWidth) {
    const auto save = TypeParam::Command::FileSave;
    const Traits traits = TraitsOf<TypeParam>();
    DlgAppointment appointment(this->services(), this->schedule());
    std::unique_ptr<TypeParam> dialog = this->Make(appointment);
    this->template Show<TypeParam>(*dialog, [&](TypeParam& d) {
        QLineEdit* name = NameField(d);
        for (const char* blank : {"", "   "}) {
            SCOPED_TRACE(std::string("\"") + blank + "\"");
            d.MenuBar()->setFocus();
            name->setText(blank);
            d.Action(save)->trigger();
            EXPECT_TRUE(d.isVisible());
            EXPECT_TRUE(name->hasFocus());
        }
        name->clear();
        QTest::keyClicks(name, QString(30, u'x'));
        EXPECT_EQ(name->text(), QString(24, u'x'));
        d.Action(save)->trigger();
    });
    ASSERT_EQ(this->ui.messages.size(), 2);
    for (const auto& message : this->ui.messages) {
        EXPECT_EQ(std::tuple(message.text, message.title, message.icon, message.detail),
                  std::tuple(QString("Unable to save %1!").arg(traits.record), "Error!",
                             IWindowing::Icon::Exclamation,
                             QString("The %1 needs a name.").arg(traits.record)));
    }
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(traits.count(this->store()), 1u);
}

} // namespace
