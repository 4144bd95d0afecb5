#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QShowEvent;

// The About box: the program's picture, name, version and a line on what it is for.
class DlgAbout : public QDialog {
    Q_OBJECT

public:
    explicit DlgAbout(QWidget* parent = nullptr);

    // major + "." + minor as two digits + "." + revision as four digits: "2.00.0002".
    static QString FormatVersion(int major, int minor, int revision);
    // This program's version in that form.
    static QString ProgramVersion();
    // The folder the data lives in, shown in the box.
    void SetDataFolder(const QString& folder);

    QLabel* Image1 = nullptr;
    QLabel* LblVersion = nullptr;
    QLabel* LblData = nullptr;
    QPushButton* BtnAbout = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The version and data lines in the theme's secondary text colour.
    void ShowMuted();
    void Form_Load();
    void BtnAbout_Click();
};
