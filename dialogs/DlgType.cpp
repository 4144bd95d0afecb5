#include "dialogs/DlgType.h"

#include <QAction>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <optional>

#include "platform/IWindowing.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "ui/Blanks.h"
#include "ui/CommandTable.h"
#include "ui/Trap.h"
#include "widgets/ColorButton.h"
#include "widgets/KeyedToolBar.h"
#include "widgets/MaskedTimeField.h"

namespace {
constexpr const char* kForm = "DlgType";
constexpr double kWidthTwips = 4200;
constexpr double kHeightTwips = 4170;
constexpr int kHelpContext = 5;

using Command = DlgType::Command;
// clang-format off
const CommandRow<DlgType> kCommands[] = {
    {Command::FileSave, "&File", "&Save appointment type", QKeySequence::Save, Cmd::Plain,
     "Save", "Save", &DlgType::mnuFileSave_Click},
    {Command::FileCancel, "&File", "&Cancel", {}, Cmd::SeparatorBefore,
     "Cancel", "Cancel", &DlgType::mnuFileCancel_Click},
    {Command::Help, "", "&Help", QKeySequence::HelpContents, Cmd::Plain,
     "Help", "Help", &DlgType::mnuHelp_Click},
};
// clang-format on
} // namespace

DlgType::DlgType(const Services& services, QWidget* parent)
    : EditingDialog(services, parent, kForm, kWidthTwips, kHeightTwips, kHelpContext),
      txtTypeName_(new QLineEdit(this)), btnForeColor_(new ColorButton(this)),
      btnBackColor_(new ColorButton(this)), lblType_(new ColorLabel(tr("Type"), this)),
      txtMinTime_(new MaskedTimeField(this)), txtMaxTime_(new MaskedTimeField(this)),
      txtIncTime_(new MaskedTimeField(this)), commands_(*this, services.windowing, kCommands) {
    setWindowTitle(tr("Appointment Type"));
    // The record keeps no more: a longer name would be cut without a word.
    txtTypeName_->setMaxLength(static_cast<int>(ClsType::NameWidth));
    commands_.BuildMenus(MenuBar());
    commands_.BuildToolBar(ToolBar(), "Save Cancel Help", *this, &DlgType::ToolBar_ButtonClick);
    SetCancelAction(Action(Command::FileCancel));

    auto* description = new QGroupBox(tr("Type &Description"), this);
    (new QVBoxLayout(description))->addWidget(txtTypeName_);

    auto* colors = new QGroupBox(tr("Colors"), this);
    auto* colorGrid = new QGridLayout(colors);
    auto* fore = new QLabel(tr("F&ore"), colors);
    fore->setBuddy(btnForeColor_);
    auto* back = new QLabel(tr("&Back"), colors);
    back->setBuddy(btnBackColor_);
    colorGrid->addWidget(fore, 0, 0);
    colorGrid->addWidget(btnForeColor_, 0, 1);
    colorGrid->addWidget(back, 1, 0);
    colorGrid->addWidget(btnBackColor_, 1, 1);
    lblType_->setMinimumSize(72, 40);
    colorGrid->addWidget(lblType_, 0, 2, 2, 1);
    colorGrid->setColumnStretch(1, 1);
    colorGrid->setColumnStretch(2, 1);
    for (ColorButton* button : {btnForeColor_, btnBackColor_}) {
        // Enter in the name must not open a colour dialog.
        button->setAutoDefault(false);
    }
    btnForeColor_->setAccessibleName(tr("Fore colour"));
    btnBackColor_->setAccessibleName(tr("Back colour"));

    auto* duration = new QGroupBox(tr("Duration"), this);
    auto* durationForm = new QFormLayout(duration);
    durationForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    const std::pair<const char*, MaskedTimeField*> durations[] = {
        {"Mi&nimum", txtMinTime_}, {"Ma&ximum", txtMaxTime_}, {"&Increment", txtIncTime_}};
    for (const auto& [label, field] : durations) {
        field->SetDuration(true);
        durationForm->addRow(tr(label), field);
        MaskedTimeField* f = field;
        connect(field, &MaskedTimeField::ClickSpin, this, [f](int d) { Spin(f, d); });
    }

    Body()->addWidget(description);
    Body()->addWidget(colors);
    Body()->addWidget(duration);
    Body()->addStretch(1);

    connect(btnBackColor_, &QPushButton::clicked, this, &DlgType::BtnBackColor_Click);
    connect(btnForeColor_, &QPushButton::clicked, this, &DlgType::BtnForeColor_Click);
    SelectAllOnFocus(txtTypeName_);
}

void DlgType::Form_Activate() {
    auto type = services_.store.TypeLoad(typeId_);
    txtTypeName_->setText(QString::fromStdString(type->Name()));
    btnBackColor_->SetColor(static_cast<uint32_t>(type->BackColor()));
    btnForeColor_->SetColor(static_cast<uint32_t>(type->ForeColor()));
    stored_ = {type->MinTime(), type->MaxTime(), type->IncTime()};
    for (size_t i = 0; i < stored_.size(); ++i) {
        Durations()[i]->SetValue(stored_[i]);
        shown_[i] = Durations()[i]->Value();
    }
    lblType_->SetBackColor(btnBackColor_->Color());
    lblType_->SetForeColor(btnForeColor_->Color());
    txtTypeName_->setFocus();
    txtTypeName_->selectAll();
}

void DlgType::ChooseColor(ColorButton* button, const char* procedure) {
    Trap(kForm, procedure, [&] {
        std::optional<uint32_t> chosen = services_.windowing.PickColor(this, button->Color());
        button->SetColor(chosen.value_or(button->Color()));
        if (button == btnBackColor_) {
            lblType_->SetBackColor(button->Color());
        } else {
            lblType_->SetForeColor(button->Color());
        }
    });
}

void DlgType::BtnBackColor_Click() {
    ChooseColor(btnBackColor_, "BtnBackColor_Click");
}

void DlgType::BtnForeColor_Click() {
    ChooseColor(btnForeColor_, "BtnForeColor_Click");
}

void DlgType::Spin(MaskedTimeField* field, int direction) {
    // No step from a text that is no duration; the field says what is wrong with it.
    if (!field->TextValid()) {
        return;
    }
    const int32_t value = field->Value() + (direction == 0 ? 1 : -1);
    field->SetValue(value < 0 ? 0 : value);
}

void DlgType::mnuFileSave_Click() {
    Trap(kForm, "mnuFileSave_Click", [&] {
        for (MaskedTimeField* field : Durations()) {
            field->Commit();
        }
        if (RefuseBlankName(txtTypeName_, tr("appointment type"))) {
            return;
        }
        const QString names[] = {tr("minimum"), tr("maximum"), tr("increment")};
        std::array<int32_t, 3> minutes{};
        for (size_t i = 0; i < minutes.size(); ++i) {
            MaskedTimeField* field = Durations()[i];
            if (!field->TextValid()) {
                services_.windowing.MessageBox(
                    this, tr("Unable to save appointment type!"), tr("Error!"),
                    IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok,
                    tr("The %1 %2 is not a valid duration.").arg(names[i], field->Text()));
                field->setFocus();
                field->selectAll();
                return;
            }
            minutes[i] =
                field->Value() == shown_[i] ? stored_[i] : static_cast<int16_t>(field->Value());
        }
        const std::string name = TrimBlanks(txtTypeName_->text()).toStdString();
        int32_t id = typeId_;
        typeId_ = services_.changes.TypeSave(id, name, static_cast<int32_t>(btnBackColor_->Color()),
                                             static_cast<int32_t>(btnForeColor_->Color()),
                                             minutes[0], minutes[1], minutes[2]);
        accept();
    });
}

void DlgType::mnuFileCancel_Click() {
    reject();
}

void DlgType::mnuHelp_Click() {
    ShowHelp();
}

void DlgType::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}
