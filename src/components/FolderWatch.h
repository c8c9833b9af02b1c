// The folder change notifier: TFolderChangeNotifier watches one directory and calls
// its OnChange method on the user-interface thread when something in it changes.
// While it has a method to call it runs one worker, a TShellChangeThread, that
// blocks on inotify and on a wake descriptor; the user-interface thread wakes it to
// hand over new options or to stop it. Without OnChange no thread runs.
//
// A burst of changes gives one call: while a call is waiting to be served the worker
// posts no further one. A call that arrives after the notifier has begun to stop is
// dropped, and destroying the notifier ends its thread at once (no further change in
// the folder is needed to wake it).
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace narvo {

// What kinds of change are reported; each value is its change-notification flag.
enum TNotifyFilter : std::uint32_t {
    nfFileNameChange = 0x1,
    nfDirNameChange = 0x2,
    nfAttributeChange = 0x4,
    nfSizeChange = 0x8,
    nfWriteChange = 0x10,
    nfSecurityChange = 0x100,
};
using TNotifyFilters = std::uint32_t;  // a set of TNotifyFilter bits

// The combined change-notification flags of a filter set.
std::uint32_t FiltersToFlags(TNotifyFilters Filters);

using TThreadMethod = std::function<void()>;

class TShellChangeThread;

class TFolderChangeNotifier : public QObject {
public:
    explicit TFolderChangeNotifier(QObject* AOwner = nullptr);
    ~TFolderChangeNotifier() override;

    const std::string& Root() const { return FRoot; }
    // A directory path; a value equal to the current one (ignoring case) changes nothing.
    void SetRoot(const std::string& Value);
    TNotifyFilters NotifyFilters() const { return FNotifyFilters; }
    void SetNotifyFilters(TNotifyFilters Value);
    bool WatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    const TThreadMethod& OnChange() const { return FOnChange; }
    // Assigning a method starts watching; an empty method stops the thread.
    void SetOnChange(TThreadMethod Value);

    // True while a watching thread runs (it may have ended on its own since: a
    // folder that cannot be watched ends it silently).
    bool Watching() const { return FThread != nullptr; }
    // True when the thread has ended by itself (bad folder, failed wait).
    bool ThreadEnded() const;

private:
    void ApplyWatchSettings();
    void StartWatching();
    void StopWatching();
    void Deliver();

    std::string FRoot = "/";
    TNotifyFilters FNotifyFilters = nfFileNameChange | nfDirNameChange;
    bool FWatchSubTree = true;
    TThreadMethod FOnChange;
    std::unique_ptr<TShellChangeThread> FThread;
};

}  // namespace narvo
