#include "ui/ClsHelp.h"

#include "ui/Blanks.h"

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

void ClsHelp::QuitHelp(QWidget* owner, const QString& helpFile) {
    // The classic quit request carries four NUL characters as its data.
    Send(owner, Command::Quit, helpFile, 0, QString(4, QChar(u'\0')));
}

void ClsHelp::ShowHelpTopic(QWidget* owner, const QString& helpFile, int32_t contextId) {
    Send(owner, Command::Context, helpFile, contextId);
}

void ClsHelp::ShowHelpTopic2(QWidget* owner, const QString& helpFile, int32_t contextId) {
    Send(owner, Command::Context, helpFile + QStringLiteral(">HlpWnd02"), contextId);
}

void ClsHelp::ShowHelpTopic3(QWidget* owner, const QString& helpFile, int32_t contextId) {
    Send(owner, Command::Context, helpFile + QStringLiteral(">HlpWnd03"), contextId);
}

void ClsHelp::ShowGlossary(QWidget* owner, const QString& helpFile) {
    Send(owner, Command::Context, helpFile, GlossaryContext);
}

void ClsHelp::ShowPopupHelp(QWidget* owner, const QString& helpFile, int32_t contextId) {
    Send(owner, Command::ContextPopup, helpFile, contextId);
}

void ClsHelp::DoHelpMacro(QWidget* owner, const QString& helpFile, const QString& macroString) {
    Send(owner, Command::Macro, helpFile, 0, macroString);
}

void ClsHelp::ShowHelpContents(QWidget* owner, const QString& helpFile) {
    Send(owner, Command::Contents, helpFile);
}

void ClsHelp::ShowContentsTab(QWidget* owner, const QString& helpFile) {
    Send(owner, Command::Finder, helpFile);
}

void ClsHelp::ShowHelpOnHelp(QWidget* owner, const QString& helpFile) {
    Send(owner, Command::HelpOnHelp, helpFile);
}

void ClsHelp::SearchHelp(QWidget* owner, const QString& helpFile) {
    Send(owner, Command::PartialKey, helpFile, 0, QString(""));
}

void ClsHelp::SearchHelpKeyWord(QWidget* owner, const QString& helpFile, const QString& argument) {
    Send(owner, Command::PartialKey, helpFile, 0, TrimBlanks(argument));
}

void ClsHelp::HelpWindowSize(QWidget* owner, const QString& helpFile, int16_t x, int16_t y,
                             int16_t width, int16_t height) {
    windowPosition_.file = helpFile;
    windowPosition_.x = x;
    windowPosition_.y = y;
    windowPosition_.width = width;
    windowPosition_.height = height;
    windowing_.Help(owner, windowPosition_);
}
