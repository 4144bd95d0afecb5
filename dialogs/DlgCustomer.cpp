#include "dialogs/DlgCustomer.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "controls/Blanks.h"
#include "controls/KeyedToolBar.h"
#include "schedule/DlgMain.h"
#include "schedule/Trap.h"
#include "store/ClsGlobal.h"

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
    using C = Command;
    actions_[size_t(C::FileSave)] = MakeAction(tr("&Save"), QKeySequence::Save);
    actions_[size_t(C::FileCancel)] = MakeAction(tr("&Cancel"));
    actions_[size_t(C::Help)] = MakeAction(tr("&Help"), QKeySequence::HelpContents);
    connect(Action(C::FileSave), &QAction::triggered, this, &DlgCustomer::mnuFileSave_Click);
    SetCancelAction(Action(C::FileCancel));
    connect(Action(C::FileCancel), &QAction::triggered, this, &DlgCustomer::mnuFileCancel_Click);
    connect(Action(C::Help), &QAction::triggered, this, &DlgCustomer::mnuHelp_Click);

    QMenu* file = MenuBar()->addMenu(tr("&File"));
    file->addAction(Action(C::FileSave));
    file->addSeparator();
    file->addAction(Action(C::FileCancel));
    MenuBar()->addAction(Action(C::Help));

    AddToolButton("Save", tr("Save"));
    AddToolButton("Cancel", tr("Cancel"));
    AddToolButton("Help", tr("Help"));
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
    Trap(kForm, "ToolBar_ButtonClick", [&] {
        if (key == "Save") {
            mnuFileSave_Click();
        } else if (key == "Cancel") {
            mnuFileCancel_Click();
        } else if (key == "Help") {
            mnuHelp_Click();
        }
    });
}
