#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include "platform/IWindowing.h"

class QLineEdit;
class QTextBrowser;
class QToolButton;

// The program's help window: a non-modal browser over the topics compiled in under ":/help/",
// addressed by context number. It reports its own problems (a context number without a topic,
// a macro it cannot run) as pages of its own, so callers never see a failure.
class HelpViewer : public QWidget {
    Q_OBJECT

public:
    static constexpr int DefaultWidth = 700;
    static constexpr int DefaultHeight = 560;

    explicit HelpViewer(QWidget* parent = nullptr);

    // The resource path of the topic for a context number, or empty when there is none.
    static QString TopicPath(int context);
    static QString ContentsPath();
    static QString HelpOnHelpPath();

    // Carries out one request; owner is the window that asked, used to place the viewer the
    // first time it opens.
    void Handle(QWidget* owner, const IWindowing::HelpRequest& request);

    void ShowContext(int context);
    void ShowContents();
    void ShowHelpOnHelp();
    // Lists the topics mentioning the keyword; an empty keyword lists every topic.
    void ShowSearch(const QString& keyword);
    void ShowUnsupportedMacro(const QString& macro);
    // Places the window in the classic help units: the available screen is 1024 x 1024.
    void PlaceInScreenUnits(int x, int y, int width, int height);
    // Shows, raises and activates the window.
    void Present(QWidget* owner);

    QUrl CurrentSource() const;
    QString CurrentTitle() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    void Open(const QUrl& url);
    void UpdateTitle();
    void PlaceBeside(QWidget* owner);

    QTextBrowser* browser_ = nullptr;
    QToolButton* contentsButton_ = nullptr;
    QToolButton* backButton_ = nullptr;
    QToolButton* forwardButton_ = nullptr;
    QLineEdit* searchField_ = nullptr;
    bool placed_ = false;
};
