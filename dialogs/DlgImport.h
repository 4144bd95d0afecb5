#pragma once

#include <QDialog>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/ImportPlan.h"
#include "ui/Services.h"
#include "ui/WindowFrame.h"

class FileSystem;
class LookupComboBox;
class MaskedDateField;
class MultiColumnList;
class QLabel;
class QLineEdit;
class QPushButton;

// "Import": the events of an iCalendar file booked as appointments. Check reads the file and
// lists every event as it would fare; nothing is stored before Import, which books the free
// ones as one step that Undo takes back whole.
class DlgImport : public QDialog {
    Q_OBJECT

public:
    // The list's columns, from 1.
    enum Column { kDate = 1, kTime, kSummary, kResource, kStatus };

    DlgImport(const Services& services, FileSystem& files);

    // After a showing: what Import booked and left out; both 0 when nothing was imported.
    size_t Booked() const { return booked_; }
    size_t Skipped() const { return skipped_; }
    // The events as the list shows them.
    const std::vector<ImportRow>& Rows() const { return rows_; }

    QLineEdit* TxtFile() const { return txtFile_; }
    QPushButton* CmdBrowse() const { return cmdBrowse_; }
    MaskedDateField* DateFrom() const { return dateFrom_; }
    MaskedDateField* DateTo() const { return dateTo_; }
    LookupComboBox* CbResource() const { return cbResource_; }
    LookupComboBox* CbCustomer() const { return cbCustomer_; }
    LookupComboBox* CbType() const { return cbType_; }
    QPushButton* CmdCheck() const { return cmdCheck_; }
    MultiColumnList* LbEvents() const { return lbEvents_; }
    QLabel* LblSummary() const { return lblSummary_; }
    QPushButton* CmdImport() const { return cmdImport_; }
    QPushButton* CmdCancel() const { return cmdCancel_; }
    QPushButton* CmdHelp() const { return cmdHelp_; }

    // The status column's words for a row.
    QString StatusText(const ImportRow& row) const;

    void cmdBrowse_Click();
    // Reads the file named and lists its events; a file refused is told and nothing is listed.
    void cmdCheck_Click();
    void cmdImport_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    bool event(QEvent* event) override;

private:
    void BuildFields();
    void Form_Load();
    void Form_Activate();
    ImportChoice Choice() const;
    // The events of the file read, over the range the dates give.
    void ReadEvents();
    // Plans the events read against the store and the choices, and lists them.
    void ShowRows();
    // Forgets the file read: a new name must be checked again.
    void Forget();
    void Refuse(const QString& why);

    const Services services_;
    FileSystem& files_;
    std::string text_; // the file as read; empty when none is
    bool read_ = false;
    std::vector<IcsEvent> events_;
    std::vector<ImportRow> rows_;
    size_t booked_ = 0;
    size_t skipped_ = 0;
    bool settingUp_ = false;

    QLineEdit* txtFile_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    MaskedDateField* dateFrom_ = nullptr;
    MaskedDateField* dateTo_ = nullptr;
    LookupComboBox* cbResource_ = nullptr;
    LookupComboBox* cbCustomer_ = nullptr;
    LookupComboBox* cbType_ = nullptr;
    QPushButton* cmdCheck_ = nullptr;
    MultiColumnList* lbEvents_ = nullptr;
    QLabel* lblSummary_ = nullptr;
    QPushButton* cmdImport_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    WindowFrame frame_;
};
