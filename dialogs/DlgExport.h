#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/Services.h"
#include "ui/WindowFrame.h"

class FileSystem;
class LookupComboBox;
class MaskedDateField;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct ExportSelection;

// "Export": bookings written to an iCalendar or CSV file - all of them, one resource's, one
// customer's or the last search's results - over a range of days. The file is replaced whole
// or not at all.
class DlgExport : public QDialog {
    Q_OBJECT

public:
    enum class What { All, Resource, Customer, SearchResults };
    enum class Format { Ics, Csv };
    // The ids the last search found, in its order; empty when there was none.
    using SearchResults = std::function<std::vector<int32_t>()>;

    DlgExport(const Services& services, FileSystem& files, SearchResults searchResults);

    // The range the next showing starts from (day numbers), as the schedule shows it.
    void SetShownRange(int32_t firstDay, int32_t lastDay);
    // What the next showing starts on; the search results fall back to all bookings when
    // there are none.
    void SetWhat(What what) { startWhat_ = what; }
    // After a showing: how many bookings went out, 0 when none did.
    size_t Exported() const { return exported_; }

    QRadioButton* OptWhat(What what) const { return optWhat_[static_cast<size_t>(what)]; }
    LookupComboBox* CbResource() const { return cbResource_; }
    LookupComboBox* CbCustomer() const { return cbCustomer_; }
    MaskedDateField* DateFrom() const { return dateFrom_; }
    MaskedDateField* DateTo() const { return dateTo_; }
    QRadioButton* OptFormat(Format format) const {
        return format == Format::Ics ? optIcs_ : optCsv_;
    }
    QLineEdit* TxtFile() const { return txtFile_; }
    QLabel* LblCount() const { return lblCount_; }
    QPushButton* CmdBrowse() const { return cmdBrowse_; }
    QPushButton* CmdExport() const { return cmdExport_; }
    QPushButton* CmdCancel() const { return cmdCancel_; }
    QPushButton* CmdHelp() const { return cmdHelp_; }

    // The bookings the fields choose; nothing when the dates are not valid.
    bool Selection(ExportSelection& selection) const;
    // Counts what would go out and greys what cannot be chosen.
    void ShowCount();

    void cmdBrowse_Click();
    void cmdExport_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    bool event(QEvent* event) override;

private:
    void BuildFields();
    void Form_Load();
    void Form_Activate();
    What Chosen() const;
    Format ChosenFormat() const;
    // Writes the file; false, having told the user, when it could not be replaced.
    bool WriteFile(const QString& path, const std::vector<int32_t>& ids);

    const Services services_;
    FileSystem& files_;
    SearchResults searchResults_;
    std::vector<int32_t> found_;
    int32_t shownFirst_ = 0;
    int32_t shownLast_ = 0;
    What startWhat_ = What::All;
    size_t exported_ = 0;

    QRadioButton* optWhat_[4] = {};
    LookupComboBox* cbResource_ = nullptr;
    LookupComboBox* cbCustomer_ = nullptr;
    MaskedDateField* dateFrom_ = nullptr;
    MaskedDateField* dateTo_ = nullptr;
    QRadioButton* optIcs_ = nullptr;
    QRadioButton* optCsv_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QLabel* lblCount_ = nullptr;
    QPushButton* cmdExport_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    WindowFrame frame_;
};
