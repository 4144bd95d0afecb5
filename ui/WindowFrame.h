#pragma once

#include <functional>

class QEvent;
class QWidget;
struct Services;

// How every window lives. Its load runs at each showing. Its first activation runs once per
// showing (once in its life for SetUpOnce), just after the window system activates it (in
// that event for ActivateInEvent) or, where nothing activates it, just after it is shown; a
// direct call runs it at most once as well. Each later activation of the showing runs `again`.
// When a showing whose first activation ran ends (the window is hidden or closed), `leave`
// runs. Help opens the window's own topic.
//
// The window passes every event to Event before its own handling.
class WindowFrame {
public:
    struct Handlers {
        std::function<void()> load = {};
        std::function<void()> activate = {};
        std::function<void()> leave = {};
        std::function<void()> again = {};
    };

    // A window without help.
    WindowFrame(QWidget& window, Handlers handlers);
    // Help opens at the context number, owned by the services' owner, or by helpOwner when
    // given.
    WindowFrame(QWidget& window, Handlers handlers, const Services& services, int helpContext,
                QWidget* helpOwner = nullptr);

    void Event(QEvent* event);

    // True once the first activation of the current (or the last) showing has begun.
    bool Activated() const { return activated_; }
    // True for the first call of a showing: the caller sets the showing up now.
    bool FirstActivation();

    void ShowHelp() const;

    // An unload that ends the showing: until the next one the window counts as not set up.
    void Unload() { activated_ = false; }
    // The main window: a new showing does not set it up again.
    void SetUpOnce() { once_ = true; }
    // The dialogs: the window system's activation sets them up at once, inside its event.
    void ActivateInEvent() { inEvent_ = true; }

private:
    void ActivateSoon();

    QWidget& window_;
    Handlers handlers_;
    const Services* services_ = nullptr;
    int helpContext_ = 0;
    QWidget* helpOwner_ = nullptr;
    bool activated_ = false;
    bool once_ = false;
    bool inEvent_ = false;
};
