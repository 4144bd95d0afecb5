#include "platform/HelpViewer.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

// Outside any namespace, as the resource system requires.
static void InitHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace {

const QString GeneratedScheme = QStringLiteral("tidemar-help");
const QString TopicFolder = QStringLiteral(":/help/");

struct Topic {
    int context;
    const char* file;
};

constexpr Topic Topics[] = {
    {0, "main.html"},     {1, "configure.html"}, {2, "resource.html"},     {3, "appointment.html"},
    {4, "customer.html"}, {5, "type.html"},      {6, "search.html"},       {7, "delete.html"},
    {8, "preview.html"},  {10, "navigate.html"}, {11, "series.html"},      {12, "export.html"},
    {13, "import.html"},  {20, "server.html"},   {64000, "glossary.html"},
};

QUrl TopicUrl(const QString& path) {
    // ":/help/x.html" is reached as "qrc:/help/x.html".
    return QUrl(QStringLiteral("qrc") + path);
}

QUrl GeneratedUrl(const QString& page, const QString& key, const QString& value) {
    QUrl url;
    url.setScheme(GeneratedScheme);
    url.setPath(page);
    QUrlQuery query;
    query.addQueryItem(key, value);
    url.setQuery(query);
    return url;
}

QString Page(const QString& title, const QString& body) {
    return QStringLiteral("<html><head><title>%1</title>"
                          "<link rel=\"stylesheet\" type=\"text/css\" href=\"qrc:/help/help.css\">"
                          "</head><body><h1>%1</h1>%2"
                          "<p class=\"footer\"><a href=\"qrc:/help/contents.html\">Contents</a>"
                          " &middot; <a href=\"qrc:/help/glossary.html\">Glossary</a></p>"
                          "</body></html>")
        .arg(title.toHtmlEscaped(), body);
}

QString NotFoundPage(const QString& context) {
    return Page(QStringLiteral("Topic not found"),
                QStringLiteral("<p class=\"problem\">The help has no topic for context number "
                               "<b>%1</b>.</p>"
                               "<p>The window that asked for it may be newer than this help. "
                               "Start from the <a href=\"qrc:/help/contents.html\">contents</a> "
                               "to find what you are looking for, or search for a word with the "
                               "search field above.</p>")
                    .arg(context.toHtmlEscaped()));
}

QString MacroPage(const QString& macro) {
    return Page(QStringLiteral("Help command not available"),
                QStringLiteral("<p class=\"problem\">This help window does not run help "
                               "commands such as <code>%1</code>.</p>"
                               "<p>Go to the <a href=\"qrc:/help/contents.html\">contents</a> "
                               "to find the topic you need.</p>")
                    .arg(macro.toHtmlEscaped()));
}

struct TopicText {
    QString path;
    QString title;
    QString text;
};

QList<TopicText> AllTopics() {
    QList<TopicText> topics;
    const QStringList files =
        QDir(TopicFolder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        QFile file(TopicFolder + name);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.readAll()));
        TopicText topic{TopicFolder + name, document.metaInformation(QTextDocument::DocumentTitle),
                        document.toPlainText()};
        if (topic.title.isEmpty()) {
            topic.title = name;
        }
        topics.append(topic);
    }
    std::sort(topics.begin(), topics.end(), [](const TopicText& a, const TopicText& b) {
        return QString::compare(a.title, b.title, Qt::CaseInsensitive) < 0;
    });
    return topics;
}

QString Excerpt(const QString& text, qsizetype at, qsizetype length) {
    constexpr qsizetype Around = 70;
    qsizetype from = std::max<qsizetype>(0, at - Around);
    qsizetype to = std::min(text.size(), at + length + Around);
    // Whole words only at both ends of the excerpt.
    while (from > 0 && from < at && !text.at(from - 1).isSpace()) {
        ++from;
    }
    while (to < text.size() && to > at + length && !text.at(to).isSpace()) {
        --to;
    }
    const QString before = text.mid(from, at - from);
    const QString after = text.mid(at + length, to - at - length);
    // A space around the match only where the text has one: "overlap." stays one word.
    const QString spaceBefore =
        !before.isEmpty() && before.back().isSpace() ? QStringLiteral(" ") : QString();
    const QString spaceAfter =
        !after.isEmpty() && after.front().isSpace() ? QStringLiteral(" ") : QString();
    return (from > 0 ? QStringLiteral("&hellip;") : QString()) +
           before.simplified().toHtmlEscaped() + spaceBefore + QStringLiteral("<b>") +
           text.mid(at, length).toHtmlEscaped() + QStringLiteral("</b>") + spaceAfter +
           after.simplified().toHtmlEscaped() +
           (to < text.size() ? QStringLiteral("&hellip;") : QString());
}

QString SearchPage(const QString& keyword) {
    const QList<TopicText> topics = AllTopics();
    QString body;
    if (keyword.isEmpty()) {
        body = QStringLiteral("<p>Every topic of this help, by title. To find a word, type it "
                              "into the search field above and press Enter.</p><ul>");
        for (const TopicText& topic : topics) {
            body += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                        .arg(TopicUrl(topic.path).toString(), topic.title.toHtmlEscaped());
        }
        body += QStringLiteral("</ul>");
        return Page(QStringLiteral("Index"), body);
    }
    int found = 0;
    for (const TopicText& topic : topics) {
        const qsizetype at = topic.text.indexOf(keyword, 0, Qt::CaseInsensitive);
        if (at < 0) {
            continue;
        }
        ++found;
        body += QStringLiteral("<p class=\"hit\"><a href=\"%1\">%2</a><br>%3</p>")
                    .arg(TopicUrl(topic.path).toString(), topic.title.toHtmlEscaped(),
                         Excerpt(topic.text, at, keyword.size()));
    }
    if (found == 0) {
        body = QStringLiteral("<p>No topic mentions &ldquo;%1&rdquo;. Try a shorter or different "
                              "word, or look through the <a href=\"%2\">index</a>.</p>")
                   .arg(keyword.toHtmlEscaped(),
                        GeneratedUrl(QStringLiteral("search"), QStringLiteral("q"), QString())
                            .toString());
    }
    return Page(QStringLiteral("Search results for \u201C%1\u201D").arg(keyword), body);
}

// A browser that also serves the pages the viewer writes itself, so they take part in the
// Back and Forward history like any topic.
class HelpBrowser final : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        if (name.scheme() != GeneratedScheme) {
            return QTextBrowser::loadResource(type, name);
        }
        const QUrlQuery query(name);
        const QString page = name.path();
        if (page == QLatin1String("notfound")) {
            return NotFoundPage(query.queryItemValue(QStringLiteral("context")));
        }
        if (page == QLatin1String("search")) {
            return SearchPage(query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded));
        }
        if (page == QLatin1String("macro")) {
            return MacroPage(query.queryItemValue(QStringLiteral("m"), QUrl::FullyDecoded));
        }
        return NotFoundPage(name.toString());
    }
};

QToolButton* MakeButton(QWidget* parent, const QString& text, const QIcon& icon,
                        const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setIcon(icon);
    button->setToolTip(tip);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    InitHelpResources();
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(DefaultWidth, DefaultHeight);
    setMinimumSize(360, 280);

    contentsButton_ =
        MakeButton(this, tr("&Contents"), style()->standardIcon(QStyle::SP_DirHomeIcon),
                   tr("Show the contents of the help"));
    backButton_ = MakeButton(this, tr("&Back"), style()->standardIcon(QStyle::SP_ArrowBack),
                             tr("Back to the previous topic"));
    forwardButton_ =
        MakeButton(this, tr("&Forward"), style()->standardIcon(QStyle::SP_ArrowForward),
                   tr("Forward to the next topic"));
    backButton_->setEnabled(false);
    forwardButton_->setEnabled(false);

    searchField_ = new QLineEdit(this);
    searchField_->setPlaceholderText(tr("Search help"));
    searchField_->setClearButtonEnabled(true);
    searchField_->setMaximumWidth(220);
    searchField_->setAccessibleName(tr("Search help"));
    searchField_->setAccessibleDescription(tr("Words to find in the topics; Enter searches"));

    browser_ = new HelpBrowser(this);
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    browser_->setFrameShape(QFrame::NoFrame);
    browser_->document()->setDocumentMargin(16);
    browser_->setAccessibleName(tr("Help topic"));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    bar->setSpacing(2);
    bar->addWidget(contentsButton_);
    bar->addWidget(backButton_);
    bar->addWidget(forwardButton_);
    bar->addStretch(1);
    bar->addWidget(searchField_);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(line);
    layout->addWidget(browser_, 1);

    connect(contentsButton_, &QToolButton::clicked, this, &HelpViewer::ShowContents);
    connect(backButton_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forwardButton_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, backButton_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forwardButton_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::UpdateTitle);
    connect(searchField_, &QLineEdit::returnPressed, this,
            [this] { ShowSearch(searchField_->text().trimmed()); });

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto* back = new QShortcut(QKeySequence::Back, this);
    connect(back, &QShortcut::activated, browser_, &QTextBrowser::backward);
    auto* forward = new QShortcut(QKeySequence::Forward, this);
    connect(forward, &QShortcut::activated, browser_, &QTextBrowser::forward);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, searchField_, [this] {
        searchField_->setFocus(Qt::ShortcutFocusReason);
        searchField_->selectAll();
    });

    UpdateTitle();
}

QString HelpViewer::TopicPath(int context) {
    for (const Topic& topic : Topics) {
        if (topic.context == context) {
            return TopicFolder + QLatin1String(topic.file);
        }
    }
    return QString();
}

QString HelpViewer::ContentsPath() {
    return TopicFolder + QStringLiteral("contents.html");
}

QString HelpViewer::HelpOnHelpPath() {
    return TopicFolder + QStringLiteral("usinghelp.html");
}

void HelpViewer::Handle(QWidget* owner, const IWindowing::HelpRequest& request) {
    using Command = IWindowing::HelpRequest::Command;
    switch (request.command) {
    case Command::Quit:
        close();
        return;
    case Command::Context:
    case Command::ContextPopup:
        ShowContext(request.context);
        break;
    case Command::Contents:
    case Command::Finder:
        ShowContents();
        break;
    case Command::HelpOnHelp:
        ShowHelpOnHelp();
        break;
    case Command::PartialKey:
        searchField_->setText(request.text);
        ShowSearch(request.text);
        break;
    case Command::Macro:
        ShowUnsupportedMacro(request.text);
        break;
    case Command::SetWindowPos:
        PlaceInScreenUnits(request.x, request.y, request.width, request.height);
        break;
    }
    Present(owner);
}

void HelpViewer::ShowContext(int context) {
    const QString path = TopicPath(context);
    if (path.isEmpty() || !QFile::exists(path)) {
        Open(GeneratedUrl(QStringLiteral("notfound"), QStringLiteral("context"),
                          QString::number(context)));
        return;
    }
    Open(TopicUrl(path));
}

void HelpViewer::ShowContents() {
    if (!QFile::exists(ContentsPath())) {
        Open(GeneratedUrl(QStringLiteral("notfound"), QStringLiteral("context"), tr("(contents)")));
        return;
    }
    Open(TopicUrl(ContentsPath()));
}

void HelpViewer::ShowHelpOnHelp() {
    Open(TopicUrl(HelpOnHelpPath()));
}

void HelpViewer::ShowSearch(const QString& keyword) {
    Open(GeneratedUrl(QStringLiteral("search"), QStringLiteral("q"), keyword));
}

void HelpViewer::ShowUnsupportedMacro(const QString& macro) {
    Open(GeneratedUrl(QStringLiteral("macro"), QStringLiteral("m"), macro));
}

void HelpViewer::PlaceInScreenUnits(int x, int y, int width, int height) {
    const QScreen* target = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (target == nullptr) {
        return;
    }
    const QRect area = target->availableGeometry();
    auto scale = [](int value, int extent) {
        return static_cast<int>(static_cast<long long>(std::clamp(value, 0, 1024)) * extent / 1024);
    };
    if (width > 0 && height > 0) {
        resize(std::max(scale(width, area.width()), minimumWidth()),
               std::max(scale(height, area.height()), minimumHeight()));
    }
    move(area.x() + scale(x, area.width()), area.y() + scale(y, area.height()));
    placed_ = true;
}

void HelpViewer::Present(QWidget* owner) {
    if (!placed_) {
        PlaceBeside(owner);
        placed_ = true;
    }
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

QUrl HelpViewer::CurrentSource() const {
    return browser_->source();
}

QString HelpViewer::CurrentTitle() const {
    return browser_->documentTitle();
}

void HelpViewer::Open(const QUrl& url) {
    if (browser_->source() == url) {
        // Asking again for the page on show brings it back to its top.
        browser_->verticalScrollBar()->setValue(0);
        return;
    }
    browser_->setSource(url);
}

void HelpViewer::UpdateTitle() {
    const QString topic = browser_->documentTitle();
    setWindowTitle(topic.isEmpty() ? tr("Tidemar PE Help") : tr("Tidemar PE Help - %1").arg(topic));
}

void HelpViewer::PlaceBeside(QWidget* owner) {
    QWidget* window = owner != nullptr ? owner->window() : nullptr;
    const QScreen* target = window != nullptr && window->screen() != nullptr
                                ? window->screen()
                                : QGuiApplication::primaryScreen();
    if (target == nullptr) {
        return;
    }
    const QRect area = target->availableGeometry();
    const QSize size(std::min(DefaultWidth, area.width()), std::min(DefaultHeight, area.height()));
    resize(size);
    // Beside the window that asked when there is room, so the help does not hide it.
    int x = area.right() - size.width() - 16;
    if (window != nullptr) {
        const QRect frame = window->frameGeometry();
        if (frame.right() + 8 + size.width() <= area.right()) {
            x = frame.right() + 8;
        } else if (frame.left() - 8 - size.width() >= area.left()) {
            x = frame.left() - 8 - size.width();
        }
    }
    const int y = area.top() + std::max(0, (area.height() - size.height()) / 3);
    move(std::max(area.left(), x), y);
}
