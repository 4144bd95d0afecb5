#pragma once

#include <functional>

// "Let pending events run": the user interface sets the hook; the core calls DoEvents,
// which forwards at most every few milliseconds because a call per record costs more
// than the work it interrupts.
namespace Hooks {

void SetDoEvents(std::function<void()> hook);
void DoEvents();

} // namespace Hooks
