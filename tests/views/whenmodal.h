#pragma once

// Answers the modal dialog that the next command opens.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// Runs `fill` on the modal dialog that the next command opens. `fill` must
// end the dialog; a missing or unexpected dialog fails the test and is
// closed, and so is one that `fill` leaves open, so that the command returns.
template <typename Dialog>
void whenModal(std::function<void(Dialog&)> fill)
{
    QTimer::singleShot(0, [fill] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "the expected dialog is not open";
            if (modal != nullptr) {
                modal->close();
            }
            return;
        }
        const QPointer<Dialog> open(dialog);
        fill(*dialog);
        if (open && open->isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            open->reject();
        }
    });
}
