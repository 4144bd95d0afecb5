#include "dialogs/DlgSeriesScope.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kTextWidth = 520;
} // namespace

DlgSeriesScope::DlgSeriesScope(QWidget* parent) : QDialog(parent) {
    setModal(true);
    lblQuestion_ = new QLabel(this);
    lblQuestion_->setWordWrap(true);
    lblQuestion_->setMinimumWidth(kTextWidth);
    optOnly_ = new QRadioButton(this);
    optFollowing_ = new QRadioButton(this);
    optAll_ = new QRadioButton(this);
    chkTakeOut_ = new QCheckBox(tr("&Take this date out of the series"), this);
    auto* buttons = new QDialogButtonBox(this);
    cmdOk_ = buttons->addButton(QDialogButtonBox::Ok);
    cmdCancel_ = buttons->addButton(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addWidget(lblQuestion_);
    layout->addSpacing(4);
    layout->addWidget(optOnly_);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(24);
    indented->addWidget(chkTakeOut_);
    layout->addLayout(indented);
    layout->addWidget(optFollowing_);
    layout->addWidget(optAll_);
    layout->addSpacing(4);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(optOnly_, &QRadioButton::toggled, this, &DlgSeriesScope::ShowTakeOutState);
}

void DlgSeriesScope::Prepare(const QString& booking, const SeriesScope::Place& place,
                             Purpose purpose) {
    const bool deleting = purpose == Purpose::Delete;
    setWindowTitle(deleting ? tr("Delete a date of a series") : tr("Edit a date of a series"));
    lblQuestion_->setText(
        tr("%1 is date %2 of %3 of a series.").arg(booking).arg(place.position).arg(place.count) +
        u'\n' +
        (deleting ? tr("Which dates should be deleted?")
                  : tr("Which dates should the change go to?")));
    optOnly_->setText(tr("&Only this date"));
    optFollowing_->setText(tr("This and the &following dates (%1)").arg(place.Following()));
    optAll_->setText(tr("&All dates of the series (%1)").arg(place.count));
    optOnly_->setChecked(true);
    chkTakeOut_->setChecked(false);
    chkTakeOut_->setVisible(!deleting);
    cmdOk_->setText(deleting ? tr("&Delete") : tr("OK"));
    ShowTakeOutState();
    optOnly_->setFocus();
}

void DlgSeriesScope::ShowTakeOutState() {
    chkTakeOut_->setEnabled(optOnly_->isChecked());
}

SeriesScope::Reach DlgSeriesScope::Reach() const {
    return optAll_->isChecked()         ? SeriesScope::Reach::All
           : optFollowing_->isChecked() ? SeriesScope::Reach::ThisAndFollowing
                                        : SeriesScope::Reach::OnlyThis;
}

bool DlgSeriesScope::TakeOut() const {
    return !chkTakeOut_->isHidden() && chkTakeOut_->isEnabled() && chkTakeOut_->isChecked();
}
