#include "dialogs/DlgCustomer.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "ui/Blanks.h"
#include "ui/CommandTable.h"
#include "ui/Trap.h"
#include "widgets/KeyedToolBar.h"

namespace {
constexpr const char* kForm = "DlgCustomer";
constexpr double kWidthTwips = 4200;
constexpr double kHeightTwips = 2010;
constexpr int kHelpContext = 4;

using Command = DlgCustomer::Command;
// clang-format off
const CommandRow<DlgCustomer> kCommands[] = {
    {Command::FileSave, "&File", "&Save", QKeySequence::Save, Cmd::Plain,
     "Save", "Save", &DlgCustomer::mnuFileSave_Click},
    {Command::FileCancel, "&File", "&Cancel", {}, Cmd::SeparatorBefore,
     "Cancel", "Cancel", &DlgCustomer::mnuFileCancel_Click},
    {Command::Help, "", "&Help", QKeySequence::HelpContents, Cmd::Plain,
     "Help", "Help", &DlgCustomer::mnuHelp_Click},
};
// clang-format on
} // namespace

DlgCustomer::DlgCustomer(const Services& services, QWidget* parent)
    : EditingDialog(services, parent, kForm, kWidthTwips, kHeightTwips, kHelpContext),
      txtCustomerName_(new QLineEdit(this)), commands_(*this, services.windowing, kCommands) {
    setWindowTitle(tr("Customer"));
    // The record keeps no more: a longer name would be cut without a word.
    txtCustomerName_->setMaxLength(static_cast<int>(ClsCustomer::NameWidth));
    commands_.BuildMenus(MenuBar());
    commands_.BuildToolBar(ToolBar(), "Save Cancel Help", *this, &DlgCustomer::ToolBar_ButtonClick);
    SetCancelAction(Action(Command::FileCancel));

    auto* frame = new QGroupBox(tr("Customer &Name"), this);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(txtCustomerName_);
    Body()->addWidget(frame);
    Body()->addStretch(1);
    SelectAllOnFocus(txtCustomerName_);
}

void DlgCustomer::Form_Activate() {
    auto customer = services_.store.CustomerLoad(customerId_);
    txtCustomerName_->setText(QString::fromStdString(customer->Name()));
    txtCustomerName_->setFocus();
    txtCustomerName_->selectAll();
}

void DlgCustomer::mnuFileSave_Click() {
    Trap(kForm, "mnuFileSave_Click", [&] {
        if (RefuseBlankName(txtCustomerName_, tr("customer"))) {
            return;
        }
        const std::string name = TrimBlanks(txtCustomerName_->text()).toStdString();
        int32_t id = customerId_;
        customerId_ = services_.changes.CustomerSave(id, name);
        accept();
    });
}

void DlgCustomer::mnuFileCancel_Click() {
    reject();
}

void DlgCustomer::mnuHelp_Click() {
    ShowHelp();
}

void DlgCustomer::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}
