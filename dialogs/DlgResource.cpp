#include "dialogs/DlgResource.h"

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
constexpr const char* kForm = "DlgResource";
constexpr double kWidthTwips = 4200;
constexpr double kHeightTwips = 2010;
constexpr int kHelpContext = 2;
} // namespace

DlgResource::DlgResource(DlgMain& main)
    : EditingDialog(main, &main, kForm, kWidthTwips, kHeightTwips),
      txtResName_(new QLineEdit(this)) {
    setWindowTitle(tr("Resource Definition"));
    txtResName_->setMaxLength(NameLength);
    actions_ = AddSaveCancelHelp(tr("&Save"), false);
    connect(Action(Command::FileSave), &QAction::triggered, this, &DlgResource::mnuFileSave_Click);
    connect(Action(Command::FileCancel), &QAction::triggered, this,
            &DlgResource::mnuFileCancel_Click);
    connect(Action(Command::Help), &QAction::triggered, this, &DlgResource::mnuHelp_Click);
    connect(ToolBar(), &KeyedToolBar::ButtonClick, this, &DlgResource::ToolBar_ButtonClick);

    auto* frame = new QGroupBox(tr("Resource Name"), this);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(txtResName_);
    Body()->addWidget(frame);
    Body()->addStretch(1);
    SelectAllOnFocus(txtResName_);
}

// A stored resource's name is shown and the focus left where it falls; a new resource (or
// an id no resource carries) gets the focus in the empty name, at every activation.
void DlgResource::Form_Activate(bool first) {
    if (first) {
        txtResName_->clear();
        found_ = false;
        if (resourceId_ != 0) {
            if (const ClsResource* r = Main().Global().Resources().Get(resourceId_)) {
                // The record pads its name with blanks; they are not part of what the user
                // edits, and the save trims them again.
                txtResName_->setText(TrimBlanks(QString::fromStdString(r->Name())));
                found_ = true;
            }
        }
    }
    if (!found_) {
        txtResName_->setFocus();
    }
}

void DlgResource::mnuFileSave_Click() {
    if (RefuseBlankName(txtResName_, tr("resource"))) {
        return;
    }
    const std::string name = TrimBlanks(txtResName_->text()).toStdString();
    int32_t id = resourceId_;
    resourceId_ = Main().Global().ResourceSave(id, name);
    accept();
}

void DlgResource::mnuFileCancel_Click() {
    resourceId_ = 0;
    reject();
}

void DlgResource::mnuHelp_Click() {
    ShowHelp(kHelpContext);
}

void DlgResource::ToolBar_ButtonClick(const QString& key, bool /*flag*/) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { TriggerToolButton(key); });
}
