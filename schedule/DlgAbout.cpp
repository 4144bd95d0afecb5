#include "schedule/DlgAbout.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "Version.h"
#include "platform/Icons.h"
#include "platform/PaletteInk.h"
#include "ui/ClsDialog.h"

namespace {

constexpr int PictureSize = 96;

QLabel* MakeLabel(QWidget* parent, const QString& text, double scale, bool bold) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    label->setFont(font);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

DlgAbout::DlgAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Tidemar PE"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Image1 = new QLabel(this);
    Image1->setPixmap(Icons::AboutPicture(PictureSize));
    Image1->setFixedSize(PictureSize, PictureSize);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setAccessibleName(tr("Tidemar PE picture"));

    QLabel* name = MakeLabel(this, QStringLiteral("Tidemar PE"), 1.9, true);
    LblVersion = MakeLabel(this, QString(), 1.0, false);
    QLabel* description =
        MakeLabel(this,
                  tr("Books rooms, people and equipment on one schedule: appointments for "
                     "your customers, drawn as bars, kept free of double bookings."),
                  1.0, false);
    description->setWordWrap(true);
    LblData = MakeLabel(this, QString(), 0.9, false);
    LblData->setWordWrap(true);
    LblData->hide();
    ShowMuted();

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    text->addWidget(name);
    text->addWidget(LblVersion);
    text->addSpacing(10);
    text->addWidget(description);
    text->addSpacing(6);
    text->addWidget(LblData);
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(20);
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    BtnAbout = new QPushButton(tr("Okay"), this);
    BtnAbout->setDefault(true);
    BtnAbout->setAutoDefault(true);
    BtnAbout->setMinimumWidth(90);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnAbout);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(buttons);

    description->setMinimumWidth(260);
    setFixedWidth(440);

    connect(BtnAbout, &QPushButton::clicked, this, &DlgAbout::BtnAbout_Click);
}

QString DlgAbout::FormatVersion(int major, int minor, int revision) {
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

QString DlgAbout::ProgramVersion() {
    return FormatVersion(Version::Major, Version::Minor, Version::Revision);
}

void DlgAbout::SetDataFolder(const QString& folder) {
    LblData->setText(tr("Your data: %1").arg(folder));
    LblData->setVisible(!folder.isEmpty());
}

void DlgAbout::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Form_Load();
    }
    QDialog::showEvent(event);
}

void DlgAbout::ShowMuted() {
    for (QLabel* label : {LblVersion, LblData}) {
        QPalette muted = palette();
        muted.setColor(QPalette::WindowText, PaletteInk::Muted(palette()));
        label->setPalette(muted);
    }
}

void DlgAbout::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && LblData != nullptr) {
        ShowMuted();
    }
}

void DlgAbout::Form_Load() {
    LblVersion->setText(tr("Version %1").arg(ProgramVersion()));
    adjustSize();
    ClsDialog::FormCenter(this, parentWidget());
    BtnAbout->setFocus();
}

void DlgAbout::BtnAbout_Click() {
    accept();
}
