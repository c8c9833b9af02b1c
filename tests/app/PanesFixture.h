// The document window of AppWindowFixture created again with the status polling
// thread, the auto-save timer and the split-pane hooks installed, and a helper that
// runs the event loop until a condition holds.
#pragma once

#include "AppWindowFixture.h"

#include "app/AutoSave.h"
#include "app/MainWindowMenus.h"
#include "app/SecondEditor.h"
#include "app/StatusThread.h"
#include "components/ThreadLib.h"

#include <QCoreApplication>
#include <QLabel>

#include <chrono>

namespace narvo {

class PanesFixture : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        Form.reset();
        SavedHost = CapsuleHost();
        InstallStatusThread();
        Form = std::make_unique<TForm1>();
    }
    void TearDown() override
    {
        AppWindowFixture::TearDown();
        CapsuleHost() = SavedHost;
    }

    // Runs the event loop until Done holds (at most Ms milliseconds).
    template <class F>
    bool Pump(F&& Done, int Ms = 30000)
    {
        const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
        while (!Done() && std::chrono::steady_clock::now() < End)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return Done();
    }
    static std::string Text(const QLabel* L) { return L->text().toStdString(); }

    TCapsuleHost SavedHost;
};

}  // namespace narvo
