#include "dialogs/DlgCustomer.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "ui/Blanks.h"
#include "ui/Trap.h"
#include "widgets/KeyedToolBar.h"

namespace {
constexpr const char* kForm = "DlgCustomer";
constexpr double kWidthTwips = 4200;
constexpr double kHeightTwips = 2010;
constexpr int kHelpContext = 4;
} // namespace

DlgCustomer::DlgCustomer(DlgMain& main, QWidget* parent)
    : EditingDialog(main, parent, kForm, kWidthTwips, kHeightTwips),
      txtCustomerName_(new QLineEdit(this)) {
    setWindowTitle(tr("Customer"));
    // The record keeps no more: a longer name would be cut without a word.
    txtCustomerName_->setMaxLength(static_cast<int>(ClsCustomer::NameWidth));
    actions_ = AddSaveCancelHelp(tr("&Save"), true);
    connect(Action(Command::FileSave), &QAction::triggered, this, &DlgCustomer::mnuFileSave_Click);
    connect(Action(Command::FileCancel), &QAction::triggered, this,
            &DlgCustomer::mnuFileCancel_Click);
    connect(Action(Command::Help), &QAction::triggered, this, &DlgCustomer::mnuHelp_Click);
    connect(ToolBar(), &KeyedToolBar::ButtonClick, this, &DlgCustomer::ToolBar_ButtonClick);

    auto* frame = new QGroupBox(tr("Customer Name"), this);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(txtCustomerName_);
    Body()->addWidget(frame);
    Body()->addStretch(1);
    SelectAllOnFocus(txtCustomerName_);
}

void DlgCustomer::Form_Activate(bool first) {
    if (!first) {
        return;
    }
    auto customer = Main().Global().CustomerLoad(customerId_);
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
        customerId_ = Main().Global().CustomerSave(id, name);
        accept();
    });
}

void DlgCustomer::mnuFileCancel_Click() {
    reject();
}

void DlgCustomer::mnuHelp_Click() {
    ShowHelp(kHelpContext);
}

void DlgCustomer::ToolBar_ButtonClick(const QString& key, bool /*flag*/) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { TriggerToolButton(key); });
}
