#include "schedule/LoadReport.h"

#include <QCoreApplication>

namespace {
QString Tr(const char* text) {
    return QCoreApplication::translate("LoadReport", text);
}

// What a change to the records of a file is about, for "... will not be saved".
QString ContentsOf(const std::string& file) {
    if (file == "Resource.bin") {
        return Tr("resources");
    }
    if (file == "Customer.bin") {
        return Tr("customers");
    }
    if (file == "Type.bin") {
        return Tr("appointment types");
    }
    if (file == "Appointment.bin") {
        return Tr("appointments");
    }
    return Tr("settings");
}
} // namespace

QString DescribeLoadProblems(const std::vector<FileProblem>& problems,
                             const ProgramFolders& folders) {
    QStringList items;
    for (const FileProblem& p : problems) {
        QString file = QString::fromStdString(p.file);
        QString what = QString::fromStdString(p.what);
        if (p.kind == FileProblem::Kind::Unreadable && p.file.empty()) {
            items << Tr("The folder itself %1 (%2). Nothing in it is changed, and nothing you "
                        "change now will be saved.")
                         .arg(what, QString::fromStdString(p.error.description));
        } else if (p.kind == FileProblem::Kind::Unreadable) {
            items << Tr("%1 %2 (%3). It is left as it is, and changes to %4 made now will not "
                        "be saved.")
                         .arg(file, what, QString::fromStdString(p.error.description),
                              ContentsOf(p.file));
        } else if (p.backup.empty()) {
            items << Tr("%1 %2.").arg(file, what);
        } else {
            items << Tr("%1 %2. The file as it was is kept as %3.")
                         .arg(file, what, QString::fromStdString(p.backup));
        }
    }
    return Tr("Some of your data files in %1 were not as expected:\n\n• %2\n\nThe details are in "
              "%3.")
        .arg(QString::fromStdString(folders.Data()), items.join("\n• "),
             QString::fromStdString(folders.LogFile()));
}
