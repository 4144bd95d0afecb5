// Every menu entry and toolbar button of the type, customer and resource dialogs: caption,
// shortcut, access key and effect, by the menu and by the button, through the windowing seam.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgCustomer.h"
#include "dialogs/DlgResource.h"
#include "dialogs/DlgType.h"
#include "support/CommandHarness.h"
#include "tests/dialogs/DialogFixture.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

namespace {

// What differs between the three: title, File menu and its save, help topic, the records a
// save adds and the word for one.
struct Traits {
    const char* title;
    const char* file;
    const char* save;
    int help;
    std::function<size_t(ClsGlobal&)> count;
    const char* record;
};
template <class D> Traits TraitsOf() {
    if constexpr (std::is_same_v<D, DlgType>) {
        return {"Appointment Type",
                "File: Save appointment type, -, Cancel",
                "Save appointment type",
                5,
                [](ClsGlobal& s) { return s.Types().Count(); },
                "appointment type"};
    } else if constexpr (std::is_same_v<D, DlgCustomer>) {
        return {"Customer",
                "File: Save, -, Cancel",
                "Save",
                4,
                [](ClsGlobal& s) { return s.Customers().Count(); },
                "customer"};
    } else {
        return {"Resource Definition",
                "File: Save, Cancel",
                "Save",
                2,
                [](ClsGlobal& s) { return s.Resources().Count(); },
                "resource"};
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
    using Row = CommandHarness::Row<SmallDialogCommands, D>;

    std::unique_ptr<D> Make(DlgAppointment& appointment) {
        if constexpr (std::is_same_v<D, DlgResource>) {
            return std::make_unique<D>(services());
        } else {
            return std::make_unique<D>(services(), &appointment);
        }
    }
    size_t Records() { return TraitsOf<D>().count(store()); }

    // A fresh window and dialog; runs the command by its menu entry or its button.
    void Run(const Row& row, CommandHarness::By by) {
        TearDown();
        SetUp();
        ui.helps.clear();
        DlgAppointment appointment(services(), schedule());
        std::unique_ptr<D> dialog = Make(appointment);
        this->template Show<D>(*dialog, [&](D& d) { CommandHarness::Check(*this, d, row, by); });
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

TYPED_TEST(SmallDialogCommands, TitleMenusAndToolBar) {
    const Traits traits = TraitsOf<TypeParam>();
    DlgAppointment appointment(this->services(), this->schedule());
    std::unique_ptr<TypeParam> dialog = this->Make(appointment);
    EXPECT_EQ(dialog->windowTitle(), traits.title);
    CommandHarness::ExpectMenusAndToolBar(*dialog, {traits.file, "Help"}, "Save Cancel Help");
}

TYPED_TEST(SmallDialogCommands, SaveCancelAndHelpByMenuAndButton) {
    using C = typename TypeParam::Command;
    const Traits traits = TraitsOf<TypeParam>();
    const auto named = [](auto&, TypeParam& d) { NameField(d)->setText("Name"); };
    const auto closed = [](int result, size_t records) {
        return [=](auto& t, TypeParam& d) {
            return t.ui.helps.empty() && d.result() == result && t.Records() == records;
        };
    };
    const typename TestFixture::Row rows[] = {
        {"Save", C::FileSave, "File", traits.save, "Ctrl+S", false, "Save", "Save",
         closed(QDialog::Accepted, 1), named},
        {"Cancel", C::FileCancel, "File", "Cancel", "", false, "Cancel", "Cancel",
         closed(QDialog::Rejected, 0), named},
        {"Help", C::Help, "", "Help", "F1", false, "Help", "Help",
         [help = traits.help](auto& t, auto&) {
             return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == help &&
                    t.ui.helps[0].owner == t.window.get() && t.Records() == 0;
         },
         named},
    };
    for (const auto& row : rows) {
        for (auto by : {CommandHarness::By::Menu, CommandHarness::By::Button}) {
            this->Run(row, by);
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
