// A desktop that starts nothing: it records the addresses and programs it is asked
// to open and answers as told, so that no browser or terminal starts in a test.
#pragma once

#include "platform/Shell.h"

#include <QStringList>
#include <QUrl>
#include <vector>

namespace narvo::test {

class TFakeShell : public TShellBackend {
public:
    TFakeShell() : Old_(SetShellBackend(this)) {}
    ~TFakeShell() override { SetShellBackend(Old_); }
    bool OpenUrl(const QUrl& Url) override
    {
        Opened.push_back(Url);
        return CanOpen;
    }
    // The program, its arguments and "@" before the working folder.
    bool StartDetached(const QString& Program, const QStringList& Arguments, const QString& WorkingFolder) override
    {
        Started.push_back(QStringList{Program} + Arguments + QStringList{QStringLiteral("@") + WorkingFolder});
        return CanOpen;
    }
    std::vector<QUrl> Opened;
    std::vector<QStringList> Started;
    bool CanOpen = true;

private:
    TShellBackend* Old_;
};

}  // namespace narvo::test
