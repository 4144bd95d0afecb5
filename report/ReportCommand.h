#pragma once

#include <QString>

#include <string>

class QTextStream;
struct ProgramFolders;

// The report from the command line: `tidemar --pdf FILE [--view day|week|month]
// [--date YYYY-MM-DD]`.
struct ReportRequest {
    std::string pdfFile; // byte for byte as given
    QString view;        // empty: the view last chosen in the print preview
    QString date;        // empty: today
};

// Exit statuses of WriteReportPdf.
namespace ReportStatus {
inline constexpr int Written = 0;
inline constexpr int Failed = 1;
inline constexpr int BadArguments = 2;
} // namespace ReportStatus

// Checks the request's own values (the file named, the view, the date) without reading or
// making anything, so that a mistake is reported before any folder is chosen.
int CheckReportRequest(const ReportRequest& request, QTextStream& errors);

// Writes the report the print preview would show for the request, with the rows as the
// schedule shows them and the stored paper size, orientation and colour setting, as a PDF.
// Reads the data folder and writes nothing into it, takes no lock (the planner may be open on
// the same data) and shows no window. It never writes over a data file, the error log,
// anything in the data folder or anything that is not a regular file, however the path names
// it (a link, "..", a second hard link). Errors go to the stream, one clear line each; the
// result is one of ReportStatus.
int WriteReportPdf(const ProgramFolders& folders, const ReportRequest& request,
                   QTextStream& errors);
