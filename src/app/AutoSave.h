// Auto-save: a timer on the main window saves a changed main text at the interval
// of the settings (section AutoSave, keys Interval and Enabled). A text with a file
// name is saved to that file through the documents module's save (".BAK" and all);
// an untitled text is first given a dated name in the "BackupFiles" folder, which on
// this system lies in the settings folder, and keeps that name from then on.
//
// Auto-save never loses text: a failed save leaves the text modified and the files
// on disk as the documents module leaves them. It never opens a box: each failure is
// said in the status line ("Not auto-saved: ..."), and the keyboard focus is given
// back to where it was, so that a tick never sends the user's typing elsewhere.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace narvo {

class TForm1;

// "BackupFiles" in the settings folder, with a trailing '/'.
std::string BackupFolder();
// "NRV" and the year, month, day, hour, minute and second of Local joined by "_"
// (decimal, no leading zeros), then ".txt": NRV2024_3_7_9_5_12.txt.
std::string MakeBackupFileName(const std::tm& Local);
// The same for the local time now.
std::string MakeBackupFileName();
// The backup folder, made private (0700) with any missing folder above it; throws
// EFileError "Unable to create directory ...".
void CreateBackupFolder();
// The dated name in the backup folder for a new draft, numbered (NumberedFileName)
// when a file has that name. Another window may take it before it is written: the
// draft's save then numbers it further (PlaceAsNewFile), never replacing a file.
std::string NewBackupName();

// One tick: saves the main text when it is modified. True when something was saved.
bool AutoSaveTimerTimer();
// "Not auto-saved: " and Text on one line, in the status line as an error.
void SayAutoSaveFailure(const std::string& Text);

// The auto-save timer's settings (section AutoSave) and their range (the options
// dialog's).
inline std::int32_t AutoSaveInterval = 600000;
inline bool AutoSaveEnabled = true;
inline constexpr std::int32_t MinAutoSaveInterval = 6000;      // 0.1 minute
inline constexpr std::int32_t MaxAutoSaveInterval = 86400000;  // 1440 minutes

// The timer on Form: created stopped, then the settings' interval and switch are
// applied.
void StartAutoSave(TForm1& Form);
// Applies the settings' interval and switch to the timer (nothing without one); the
// settings call it each time they change them.
void ApplyAutoSaveSettings();
void StopAutoSave();
// The timer's current interval in milliseconds, and whether it runs (0, false
// without a timer).
int AutoSaveTimerInterval();
bool AutoSaveTimerActive();

}  // namespace narvo
