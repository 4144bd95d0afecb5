#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>
#include <QTextDocument>

#include <cmath>

#include "platform/HelpViewer.h"
#include "report/DlgPreview.h"
#include "schedule/DlgAbout.h"
#include "support/AccessibleWalk.h"
#include "support/MainWindowFixture.h"
#include "widgets/DropDownToolButton.h"

namespace {

// The contrast ratio of two colours as the web's guidelines count it: 4.5 reads as text.
double Luminance(const QColor& c) {
    const auto lin = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}
double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Labels whose text would not read on their own background.
QStringList FaintLabels(QWidget* window) {
    QStringList faint;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        label->ensurePolished();
        const QPalette& p = label->palette();
        const double ratio =
            Contrast(p.color(label->foregroundRole()), p.color(label->backgroundRole()));
        if (ratio < 4.5) {
            faint << QStringLiteral("%1 %2").arg(label->text()).arg(ratio);
        }
    }
    return faint;
}

// Every key of the window's commands, as Qt writes it.
QStringList CommandKeys(const QList<QAction*>& actions) {
    QStringList keys;
    for (QAction* action : actions) {
        for (const QKeySequence& key : action->shortcuts()) {
            keys << key.toString(QKeySequence::NativeText);
        }
    }
    return keys;
}

class AccessibleMainTest : public MainWindowFixture {
public:
    void Show() {
        window->show();
        window->Form_Activate(); // the sample data: rows and bars to walk over
        QApplication::setActiveWindow(window.get());
        ASSERT_GT(grid().RowCount(), 0);
    }
};

TEST_F(AccessibleMainTest, TheZoomSliderIsLeftByKeyboardWithTheValueItWasMovedTo) {
    Show();
    window->Action(DlgMain::Command::SchedZoom)->trigger();
    QSlider* zoom = window->Zoom();
    ASSERT_TRUE(zoom->isVisible());
    const int shown = zoom->value();
    QTest::keyClick(zoom, Qt::Key_Up);
    EXPECT_EQ(grid().Resolution(), shown + zoom->singleStep());
    QTest::keyClick(zoom, Qt::Key_Escape);
    EXPECT_FALSE(zoom->isVisible());
    EXPECT_TRUE(grid().hasFocus());
}

TEST_F(AccessibleMainTest, UnderADarkPaletteTheChromeReadsAndABigFontGrowsRowsAndButtons) {
    const QPalette light = QApplication::palette();
    const QFont normal = QApplication::font();
    Show();
    DlgAbout about(window.get());
    about.SetDataFolder("/data");
    EXPECT_EQ(FaintLabels(window.get()).join(", ").toStdString(), "");
    QApplication::setPalette(QPalette(QColor(0x30, 0x30, 0x30), QColor(0x2b, 0x2b, 0x2b)));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(FaintLabels(window.get()).join(", ").toStdString(), "");
    EXPECT_EQ(FaintLabels(&about).join(", ").toStdString(), "");
    QApplication::setPalette(light);
    QCoreApplication::sendPostedEvents();

    const int row = grid().RowHeight();
    const int button = window->ToolButton("Exit")->sizeHint().height();
    QFont big = normal;
    big.setPointSizeF(normal.pointSizeF() * 1.5);
    QApplication::setFont(big);
    QCoreApplication::sendPostedEvents(); // the change reaches the widgets as posted events
    EXPECT_GT(grid().RowHeight(), row);
    EXPECT_GT(window->ToolButton("Exit")->sizeHint().height(), button);
    QApplication::setFont(normal);
    QCoreApplication::sendPostedEvents();
}

// Every window: each control named, Tab round all of it, no Alt+letter answering twice (menu
// entries are checked with the commands), and the keys topic naming the window's shortcuts
// and menus under the window's own heading.
TEST_F(AccessibleMainTest, EveryWindowIsNamedReachableKeyedAndItsKeysListed) {
    Show();
    HelpViewer help;
    QFile file(":/help/keys.html");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QTextDocument topic;
    topic.setHtml(QString::fromUtf8(file.readAll()));
    const QString text = topic.toPlainText();
    const qsizetype preview = text.indexOf("\nPrint Preview\n");
    const qsizetype helpWindow = text.indexOf("\nThe help window\n");
    ASSERT_TRUE(preview > 0 && helpWindow > preview);

    window->Action(DlgMain::Command::FilePrint)->trigger();
    auto* dlgPreview = window->findChild<DlgPreview*>();
    ASSERT_NE(dlgPreview, nullptr);
    DlgAbout about(window.get());
    const struct {
        QWidget* window;
        QString keys; // the part of the topic for the window
    } windows[] = {{window.get(), text.left(preview)},
                   {dlgPreview, text.mid(preview, helpWindow - preview)},
                   {&about, QString()},
                   {&help, QString()}};
    for (const auto& w : windows) {
        w.window->show();
        const std::string name = w.window->metaObject()->className();
        EXPECT_EQ(AccessibleWalk::UnnamedControls(w.window).join(", ").toStdString(), "") << name;
        EXPECT_EQ(AccessibleWalk::Unreachable(w.window).join(", ").toStdString(), "") << name;
        EXPECT_EQ(AccessibleWalk::KeyClashes(w.window).join(", ").toStdString(), "") << name;
        QStringList keys = CommandKeys(w.window->actions());
        for (QMenuBar* bar : w.window->findChildren<QMenuBar*>()) {
            for (QAction* title : bar->window() == w.window ? bar->actions() : QList<QAction*>()) {
                keys << QKeySequence::mnemonic(title->text()).toString(QKeySequence::NativeText) +
                            " " + title->text().remove(u'&');
            }
        }
        for (const QString& key : w.keys.isEmpty() ? QStringList() : keys) {
            const QRegularExpression alone(
                QStringLiteral("(?<![\\w+])%1(?![\\w+])").arg(QRegularExpression::escape(key)));
            EXPECT_TRUE(w.keys.contains(alone)) << name << ": " << key.toStdString();
        }
    }
    EXPECT_EQ(window->ToolButton("Appointment")->accessibleName().toStdString(), "Add appointment");
    EXPECT_EQ(window->ToolButton("Print")->accessibleDescription().toStdString(), "(Ctrl+P)");
}

} // namespace
