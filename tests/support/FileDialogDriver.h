// Drives the real file dialog from inside its own event loop, for tests that must
// see what the dialog itself shows: the name it proposes, the folder it lists.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace narvo::test {

// While Open runs: the file name the dialog proposes and whether the folder it shows
// holds Wanted; then Answer is typed (when given) and the dialog accepted. A dialog
// that refuses the answer (its own "not found" box) is cancelled.
struct TSeen {
    QString Proposed = QStringLiteral("(no dialog)");
    bool ShowsWanted = false;
};
inline TSeen AcceptInDialog(const std::function<void()>& Open, const QString& Wanted, const QString& Answer)
{
    TSeen Seen;
    bool Answered = false;
    QTimer Poll;
    Poll.setInterval(10);
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        QWidget* Modal = QApplication::activeModalWidget();
        if (auto* Box = qobject_cast<QMessageBox*>(Modal)) {
            Box->done(0);
            return;
        }
        auto* D = qobject_cast<QFileDialog*>(Modal);
        auto* Edit = D ? D->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!Edit)
            return;
        if (Answered) {
            D->reject();
            return;
        }
        Answered = true;
        Seen.Proposed = Edit->text();
        Seen.ShowsWanted = D->directory().exists(Wanted);
        if (!Answer.isEmpty())
            Edit->setText(Answer);
        // Later: a box the dialog opens from accept() must find this timer free.
        QTimer::singleShot(0, D, [D] { static_cast<QDialog*>(D)->accept(); });
    });
    Poll.start();
    Open();
    return Seen;
}

}  // namespace narvo::test
