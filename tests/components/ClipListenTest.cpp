// The clipboard listener: one event per change, none at joining, every listener
// told, and silence after destruction.
#include "components/ClipListen.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace narvo {
namespace {

TEST(ClipboardListener, FiresOncePerChangeUntilDestroyed)
{
    QClipboard* Clip = QGuiApplication::clipboard();
    int A = 0, B = 0;
    auto First = std::make_unique<TClipboardListener>();
    TClipboardListener Second;
    TClipboardListener NoHandler;  // must not disturb the others
    First->OnClipboardChange = [&](QObject* Sender) {
        EXPECT_EQ(Sender, First.get());
        ++A;
    };
    Second.OnClipboardChange = [&](QObject*) { ++B; };
    QCoreApplication::processEvents();
    EXPECT_EQ(A, 0);  // joining announces nothing

    Clip->setText(QStringLiteral("one"));
    QCoreApplication::processEvents();
    EXPECT_EQ(A, 1);
    EXPECT_EQ(B, 1);
    auto* Data = new QMimeData;
    Data->setHtml(QStringLiteral("<b>two</b>"));
    Clip->setMimeData(Data);
    QCoreApplication::processEvents();
    EXPECT_EQ(A, 2);
    EXPECT_EQ(B, 2);

    First.reset();
    Clip->setText(QStringLiteral("three"));
    QCoreApplication::processEvents();
    EXPECT_EQ(A, 2);
    EXPECT_EQ(B, 3);  // the listener behind the one that left still hears it
}

}  // namespace
}  // namespace narvo
