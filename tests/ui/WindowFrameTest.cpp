#include <QApplication>
#include <QDialog>
#include <QEvent>

#include <gtest/gtest.h>

#include "ui/WindowFrame.h"

namespace {

struct FrameCase {
    const char* name;
    bool once;
    bool inEvent;
    int activatedInEvent;  // set-ups before the events queued by the activation run
    int activatedAtSecond; // set-ups after a second showing
};

class WindowFrameTest : public ::testing::TestWithParam<FrameCase> {};

// A dialog counts what its frame runs; the activation is sent as the window system would.
TEST_P(WindowFrameTest, SetsUpWhenAndAsOftenAsTheWindowAsks) {
    const FrameCase& c = GetParam();
    QDialog window;
    int loads = 0;
    int activations = 0;
    int agains = 0;
    int leaves = 0;
    WindowFrame frame(window, {.load = [&] { ++loads; },
                               .activate =
                                   [&] {
                                       if (frame.FirstActivation()) {
                                           ++activations;
                                       }
                                   },
                               .leave = [&] { ++leaves; },
                               .again = [&] { ++agains; }});
    if (c.once) {
        frame.SetUpOnce();
    }
    if (c.inEvent) {
        frame.ActivateInEvent();
    }
    struct Filter : QObject {
        WindowFrame* frame;
        bool eventFilter(QObject*, QEvent* event) override {
            frame->Event(event);
            return false;
        }
    } filter;
    filter.frame = &frame;
    window.installEventFilter(&filter);

    window.show();
    EXPECT_EQ(loads, 1);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(activations, c.activatedInEvent);
    QApplication::processEvents();
    EXPECT_EQ(activations, 1);
    const int agained = agains;
    QApplication::sendEvent(&window, &activate);
    EXPECT_EQ(agains, agained + 1) << "a later activation of the same showing";

    window.hide();
    EXPECT_TRUE(frame.Activated()) << "asked after the showing ended";
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(loads, 2) << "the load runs at each showing";
    EXPECT_EQ(activations, c.activatedAtSecond);
    EXPECT_EQ(leaves, c.once ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WindowFrameTest,
                         ::testing::Values(FrameCase{"Preview", false, false, 0, 2},
                                           FrameCase{"Dialog", false, true, 1, 2},
                                           FrameCase{"MainWindow", true, false, 0, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
