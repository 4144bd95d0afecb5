#pragma once

#include <QString>
#include <cstdint>

#include "platform/IWindowing.h"

class QWidget;

// A thin layer over the help viewer: opens the program's help at a topic, by context number, or
// at its contents. Every member takes the owner window and the help file first and makes exactly
// one help request. The Qt viewer ignores the file name and shows the compiled-in topics.
class ClsHelp {
public:
    static constexpr const char* HelpFileName = "TIDEMARPE.HLP";
    static constexpr int32_t GlossaryContext = 64000;

    explicit ClsHelp(IWindowing& windowing);

    void QuitHelp(QWidget* owner, const QString& helpFile);
    void ShowHelpTopic(QWidget* owner, const QString& helpFile, int32_t contextId);
    // The topic in the help file's secondary window "HlpWnd02".
    void ShowHelpTopic2(QWidget* owner, const QString& helpFile, int32_t contextId);
    // The topic in the help file's secondary window "HlpWnd03".
    void ShowHelpTopic3(QWidget* owner, const QString& helpFile, int32_t contextId);
    void ShowGlossary(QWidget* owner, const QString& helpFile);
    void ShowPopupHelp(QWidget* owner, const QString& helpFile, int32_t contextId);
    void DoHelpMacro(QWidget* owner, const QString& helpFile, const QString& macroString);
    void ShowHelpContents(QWidget* owner, const QString& helpFile);
    void ShowContentsTab(QWidget* owner, const QString& helpFile);
    void ShowHelpOnHelp(QWidget* owner, const QString& helpFile);
    // Opens the keyword search with nothing typed.
    void SearchHelp(QWidget* owner, const QString& helpFile);
    // Opens the keyword search for the argument, without its surrounding blanks.
    void SearchHelpKeyWord(QWidget* owner, const QString& helpFile, const QString& argument);
    // Places the help window; the viewer reads the values in its own units.
    void HelpWindowSize(QWidget* owner, const QString& helpFile, int16_t x, int16_t y,
                        int16_t width, int16_t height);

private:
    using Command = IWindowing::HelpRequest::Command;

    void Send(QWidget* owner, Command command, const QString& file, int32_t context = 0,
              const QString& text = QString());

    IWindowing& windowing_;
    // The last window position asked for; sent with every HelpWindowSize request.
    IWindowing::HelpRequest windowPosition_;
};
