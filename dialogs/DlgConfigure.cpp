#include "dialogs/DlgConfigure.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/IWindowing.h"
#include "platform/Twips.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "ui/Blanks.h"
#include "ui/ClsDialog.h"
#include "ui/CommandTable.h"
#include "ui/ScheduleView.h"
#include "ui/Trap.h"
#include "widgets/ColorButton.h"
#include "widgets/KeyedToolBar.h"

namespace {
using Command = DlgConfigure::Command;

constexpr const char* kForm = "DlgConfigure";
constexpr double kHeightTwips = 3675;
constexpr int kHelpContext = 1;

// clang-format off
const CommandRow<DlgConfigure> kCommands[] = {
    {Command::FileExit, "&File", "E&xit", {}, Cmd::Plain,
     "Exit", "Exit", &DlgConfigure::mnuFileExit_Click},
    {Command::Help, "", "&Help", Qt::Key_F1, Cmd::Plain,
     "Help", "Help", &DlgConfigure::mnuHelp_Click},
};
// clang-format on

const char* const kDateCaptions[] = {"&dd/mm/yy", "&mm/dd/yy"};
const char* const kOptionCaptions[] = {"Show &timelines on schedule",
                                       "&Auto-scroll to current time", "Show t&ooltips",
                                       "M&ilitary time (00:00 - 23:59)"};
const char* const kColorCaptions[] = {"S&chedule background", "Schedule tit&le background",
                                      "Schedule &ruler", "Schedule li&st background",
                                      "&Weekend background"};
} // namespace

DlgConfigure::DlgConfigure(const Services& services, ScheduleView& schedule)
    : QDialog(services.owner), services_(services), schedule_(schedule),
      commands_(*this, services.windowing, kCommands),
      frame_(
          *this,
          {[this] { Form_Load(); }, [this] { Form_Activate(); }, [this] { StoreResourceType(); }},
          services_, kHelpContext) {
    frame_.ActivateInEvent();
    setWindowTitle(tr("Configuration"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    menuBar_ = new QMenuBar(this);
    commands_.BuildMenus(menuBar_);
    toolBar_ = new KeyedToolBar(this);
    commands_.BuildToolBar(toolBar_, "Exit Help", *this, &DlgConfigure::ToolBar_ButtonClick);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar_);
    layout->addWidget(BuildSettings(), 1);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

QWidget* DlgConfigure::BuildSettings() {
    auto* settings = new QWidget(this);

    auto* dateFrame = new QGroupBox(tr("Date Format"), settings);
    auto* dates = new QHBoxLayout(dateFrame);
    for (int i = 0; i < 2; ++i) {
        btnDate_[static_cast<size_t>(i)] = new QRadioButton(tr(kDateCaptions[i]), dateFrame);
        dates->addWidget(BtnDate(i));
        connect(BtnDate(i), &QRadioButton::clicked, this, [this, i] { BtnDate_Click(i); });
    }
    dates->addStretch(1);

    auto* optionFrame = new QGroupBox(tr("Options"), settings);
    auto* options = new QVBoxLayout(optionFrame);
    for (int i = 0; i < kOptions; ++i) {
        chkOption_[static_cast<size_t>(i)] = new QCheckBox(tr(kOptionCaptions[i]), optionFrame);
        options->addWidget(ChkOption(i));
        connect(ChkOption(i), &QCheckBox::clicked, this, [this, i] { ChkOption_Click(i); });
    }

    auto* typeFrame = new QGroupBox(tr("Resource T&ype"), settings);
    auto* type = new QVBoxLayout(typeFrame);
    txtResType_ = new QLineEdit(typeFrame);
    txtResType_->setAccessibleName(tr("Resource Type"));
    txtResType_->setToolTip(tr("The word shown above the resources on the schedule, up to 24 "
                               "characters"));
    txtResType_->installEventFilter(this);
    type->addWidget(txtResType_);

    auto* colorFrame = new QGroupBox(tr("Colors"), settings);
    auto* colors = new QGridLayout(colorFrame);
    colors->setColumnStretch(1, 1);
    for (int i = 0; i < kColors; ++i) {
        auto* button = new ColorButton(colorFrame);
        btnColor_[static_cast<size_t>(i)] = button;
        // Enter in the resource word must not open the colour dialog.
        button->setAutoDefault(false);
        const QString caption = tr(kColorCaptions[i]).remove(u'&');
        button->setAccessibleName(caption);
        button->setToolTip(tr("Choose the colour of the %1").arg(caption.toLower()));
        auto* label = new QLabel(tr(kColorCaptions[i]), colorFrame);
        label->setBuddy(button);
        colors->addWidget(button, i, 0);
        colors->addWidget(label, i, 1);
        connect(button, &ColorButton::clicked, this, [this, i] { BtnColor_Click(i); });
    }
    colors->setRowStretch(kColors, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(dateFrame);
    left->addWidget(optionFrame);
    left->addWidget(typeFrame);
    left->addStretch(1);
    auto* columns = new QHBoxLayout(settings);
    columns->setContentsMargins(9, 6, 9, 9);
    columns->addLayout(left, 1);
    columns->addWidget(colorFrame, 1);

    setTabOrder(BtnDate(0), BtnDate(1));
    setTabOrder(BtnDate(1), ChkOption(0));
    for (int i = 1; i < kOptions; ++i) {
        setTabOrder(ChkOption(i - 1), ChkOption(i));
    }
    setTabOrder(ChkOption(kOptions - 1), txtResType_);
    setTabOrder(txtResType_, BtnColor(0));
    for (int i = 1; i < kColors; ++i) {
        setTabOrder(BtnColor(i - 1), BtnColor(i));
    }
    return settings;
}

// However the window goes (Exit, the toolbar, the close box, Escape), a word still being
// typed is kept, as if the field had lost the focus first: the frame stores it on leaving.
bool DlgConfigure::event(QEvent* event) {
    frame_.Event(event);
    return QDialog::event(event);
}

bool DlgConfigure::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtResType_) {
        if (event->type() == QEvent::FocusIn) {
            TxtResType_GotFocus();
            // A click places the cursor after the focus arrives; select once it has.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
                QTimer::singleShot(0, this, [this] { TxtResType_GotFocus(); });
            }
        } else if (event->type() == QEvent::FocusOut) {
            TxtResType_LostFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DlgConfigure::Form_Load() {
    Trap(kForm, "Form_Load", [&] {
        adjustSize();
        resize(width(), std::max(height(), TwipsToPixelsY(kHeightTwips, this)));
        ClsDialog::FormCenter(this, parentWidget());
    });
}

void DlgConfigure::Form_Activate() {
    if (!frame_.FirstActivation()) {
        return;
    }
    Trap(kForm, "Form_Activate", [&] {
        const ClsGlobal& settings = services_.store;
        for (int i = 0; i < kColors; ++i) {
            BtnColor(i)->SetColor(static_cast<uint32_t>(settings.Color(i)));
        }
        for (int i = 0; i < kOptions; ++i) {
            ChkOption(i)->setChecked(settings.Option(i + 1));
        }
        // An unknown format selects neither button, as the setting matches neither.
        for (int i = 0; i < 2; ++i) {
            BtnDate(i)->setAutoExclusive(false);
            BtnDate(i)->setChecked(settings.DateFormat() == i);
            BtnDate(i)->setAutoExclusive(true);
        }
        txtResType_->setText(QString::fromStdString(settings.ResourceType()));
        txtResType_->setFocus();
        TxtResType_GotFocus();
    });
}

void DlgConfigure::BtnColor_Click(int index) {
    Trap(kForm, "BtnColor_Click", [&] {
        ColorButton* button = BtnColor(index);
        // Closing the picker without a choice gives the colour it started from.
        const uint32_t color =
            services_.windowing.PickColor(this, button->Color()).value_or(button->Color());
        button->SetColor(color);
        services_.changes.SetColor(index, static_cast<int32_t>(color));
        schedule_.ShowColor(index, color);
    });
}

void DlgConfigure::BtnDate_Click(int index) {
    services_.changes.SetDateFormat(index);
}

void DlgConfigure::ChkOption_Click(int index) {
    services_.changes.SetOption(index + 1, ChkOption(index)->isChecked());
}

void DlgConfigure::TxtResType_GotFocus() {
    ClsDialog::TextSelectAll(txtResType_);
}

void DlgConfigure::TxtResType_LostFocus() {
    StoreResourceType();
}

void DlgConfigure::StoreResourceType() {
    const ClsGlobal& settings = services_.store;
    services_.changes.SetResourceType(TrimBlanks(txtResType_->text()).toStdString());
    // Show the word as it is kept, so a word cut to 24 characters is not a surprise later.
    const QString stored = QString::fromStdString(settings.ResourceType());
    if (TrimBlanks(txtResType_->text()) != stored) {
        txtResType_->setText(stored);
    }
}

void DlgConfigure::mnuFileExit_Click() {
    close();
}

void DlgConfigure::mnuHelp_Click() {
    frame_.ShowHelp();
}

void DlgConfigure::ToolBar_ButtonClick(const QString& key, bool flag) {
    Trap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}
