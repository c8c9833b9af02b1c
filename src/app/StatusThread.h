// The status polling thread of the main window: a worker thread of the lowest
// priority that keeps the "At:" and "Size:" fields of the second status bar up to
// date with the main pane (every 100 ms, or at once after a change). It starts when
// the window is created and is stopped, waiting for its current round, before the
// window is taken apart. The round itself is TStatusPoller (StatusPoller.h).
#pragma once

namespace narvo {

class TThreadCapsule;
class TForm1;

// Starts the thread on Form's main pane (a running one is stopped first).
void StartStatusThread(TForm1& Form);
// Raises the thread to normal priority, asks it to stop and waits for it. Nothing
// when no thread runs.
void StopStatusThread();
// The running thread, or null.
TThreadCapsule* StatusThread();

// Installs the capsule host of the Qt program, which serves the thread's
// synchronized calls in the message loop.
void InstallStatusThread();

}  // namespace narvo
