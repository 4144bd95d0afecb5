#include "dialogs/DlgResource.h"

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
constexpr const char* kForm = "DlgResource";
constexpr double kWidthTwips = 4200;
constexpr double kHeightTwips = 2010;
constexpr int kHelpContext = 2;

using Command = DlgResource::Command;
// clang-format off
const CommandRow<DlgResource> kCommands[] = {
    {Command::FileSave, "&File", "&Save", QKeySequence::Save, Cmd::Plain,
     "Save", "Save", &DlgResource::mnuFileSave_Click},
    {Command::FileCancel, "&File", "&Cancel", {}, Cmd::Plain,
     "Cancel", "Cancel", &DlgResource::mnuFileCancel_Click},
    {Command::Help, "", "&Help", QKeySequence::HelpContents, Cmd::Plain,
     "Help", "Help", &DlgResource::mnuHelp_Click},
};
// clang-format on
} // namespace

DlgResource::DlgResource(const Services& services)
    : EditingDialog(services, services.owner, kForm, kWidthTwips, kHeightTwips, kHelpContext),
      txtResName_(new QLineEdit(this)), commands_(*this, services.windowing, kCommands) {
    setWindowTitle(tr("Resource Definition"));
    txtResName_->setMaxLength(NameLength);
    commands_.BuildMenus(MenuBar());
    commands_.BuildToolBar(ToolBar(), "Save Cancel Help", *this, &DlgResource::ToolBar_ButtonClick);
    SetCancelAction(Action(Command::FileCancel));

    auto* frame = new QGroupBox(tr("Resource &Name"), this);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(txtResName_);
    Body()->addWidget(frame);
    Body()->addStretch(1);
    SelectAllOnFocus(txtResName_);
}

// A stored resource's name is shown and the focus left where it falls; a new resource (or
// an id no resource carries) gets the focus in the empty name, at every activation.
void DlgResource::Form_Activate() {
    txtResName_->clear();
    const ClsResource* r =
        resourceId_ != 0 ? services_.store.Resources().Get(resourceId_) : nullptr;
    found_ = r != nullptr;
    if (found_) {
        // The record pads its name with blanks; they are not part of what the user edits, and
        // the save trims them again.
        txtResName_->setText(TrimBlanks(QString::fromStdString(r->Name())));
    }
    Form_Reactivate();
}

void DlgResource::Form_Reactivate() {
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
    resourceId_ = services_.changes.ResourceSave(id, name);
    accept();
}

void DlgResource::mnuFileCancel_Click() {
    resourceId_ = 0;
    reject();
}

void DlgResource::mnuHelp_Click() {
    ShowHelp();
}

void DlgResource::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}
