#include "schedule/ClsHelp.h"

#include "controls/Blanks.h"

ClsHelp::ClsHelp(IWindowing& windowing) : windowing_(windowing) {
    windowPosition_.command = Command::SetWindowPos;
}

void ClsHelp::Send(QWidget* owner, Command command, const QString& file, int32_t context,
                   const QString& text) {
    IWindowing::HelpRequest request;
    request.command = command;
    request.file = file;
    request.context = context;
    request.text = text;
    windowing_.Help(owner, request);
}

void ClsHelp::QuitHelp(QWidget* owner, const QString& HelpFile) {
    // The classic quit request carries four NUL characters as its data.
    Send(owner, Command::Quit, HelpFile, 0, QString(4, QChar(u'\0')));
}

void ClsHelp::ShowHelpTopic(QWidget* owner, const QString& HelpFile, int32_t ContextID) {
    Send(owner, Command::Context, HelpFile, ContextID);
}

void ClsHelp::ShowHelpTopic2(QWidget* owner, const QString& HelpFile, int32_t ContextID) {
    Send(owner, Command::Context, HelpFile + QStringLiteral(">HlpWnd02"), ContextID);
}

void ClsHelp::ShowHelpTopic3(QWidget* owner, const QString& HelpFile, int32_t ContextID) {
    Send(owner, Command::Context, HelpFile + QStringLiteral(">HlpWnd03"), ContextID);
}

void ClsHelp::ShowGlossary(QWidget* owner, const QString& HelpFile) {
    Send(owner, Command::Context, HelpFile, GlossaryContext);
}

void ClsHelp::ShowPopupHelp(QWidget* owner, const QString& HelpFile, int32_t ContextID) {
    Send(owner, Command::ContextPopup, HelpFile, ContextID);
}

void ClsHelp::DoHelpMacro(QWidget* owner, const QString& HelpFile, const QString& MacroString) {
    Send(owner, Command::Macro, HelpFile, 0, MacroString);
}

void ClsHelp::ShowHelpContents(QWidget* owner, const QString& HelpFile) {
    Send(owner, Command::Contents, HelpFile);
}

void ClsHelp::ShowContentsTab(QWidget* owner, const QString& HelpFile) {
    Send(owner, Command::Finder, HelpFile);
}

void ClsHelp::ShowHelpOnHelp(QWidget* owner, const QString& HelpFile) {
    Send(owner, Command::HelpOnHelp, HelpFile);
}

void ClsHelp::SearchHelp(QWidget* owner, const QString& HelpFile) {
    Send(owner, Command::PartialKey, HelpFile, 0, QString(""));
}

void ClsHelp::SearchHelpKeyWord(QWidget* owner, const QString& HelpFile, const QString& Argument) {
    Send(owner, Command::PartialKey, HelpFile, 0, TrimBlanks(Argument));
}

void ClsHelp::HelpWindowSize(QWidget* owner, const QString& HelpFile, int16_t x, int16_t y,
                             int16_t width, int16_t height) {
    windowPosition_.file = HelpFile;
    windowPosition_.x = x;
    windowPosition_.y = y;
    windowPosition_.width = width;
    windowPosition_.height = height;
    windowing_.Help(owner, windowPosition_);
}
