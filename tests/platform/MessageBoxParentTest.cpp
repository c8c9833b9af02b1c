// The real message box opens where the user sees it: over the window it belongs to,
// also when it comes right after another box, while no window is active yet.
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(MessageBoxes, ABoxWhileNoWindowIsActiveBelongsToTheToolWindowThatStaysOnTop)
{
    QDialog Tool(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    Tool.show();
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    const QWidget* Owner = nullptr;
    QTimer Poll;
    Poll.setInterval(10);
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Poll.stop();
            Owner = Box->parentWidget();
            Box->done(QMessageBox::Ok);
        }
    });
    Poll.start();
    EXPECT_EQ(ShowQtMessageBox("Information", "kept", mtInformation, mbOK), mrOk);
    EXPECT_EQ(Owner, &Tool);
}

}  // namespace
}  // namespace narvo
