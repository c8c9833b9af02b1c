// What the window does while a writer of the settings (or of any file that several
// Narvo windows share: the word list, a macro file) waits for another program's lock
// on the file's folder: the status line names the wait and the holder, the wait
// cursor shows, and the window goes on painting (keys, clicks, timers and signals
// wait for the end, so the same save cannot start again meanwhile). When the writer
// gave up and wrote all the same, a box says so once the write is over.
#pragma once

namespace narvo {

// The window hears of every wait from now on (once; again after RemoveLockWaits).
void InstallLockWaits();
void RemoveLockWaits();
// The box for the files written without the lock that have not been told yet (it is
// shown by itself when the event loop next runs; the window's end calls it at once).
void ShowLockNotices();

}  // namespace narvo
