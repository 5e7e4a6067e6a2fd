#pragma once
// Answers a modal dialog from inside its own event loop.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Runs `step` on the next modal widget of type T once it is shown; after
// five seconds without one, closes whatever modal is open so the test fails
// instead of hanging.
template <typename T>
void WhenModal(std::function<void(T*)> step, int triesLeft = 500, int delayMs = 0)
{
    QTimer::singleShot(delayMs, [step, triesLeft]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* widget = qobject_cast<T*>(modal); widget && widget->isVisible()) {
            step(widget);
            return;
        }
        if (triesLeft == 0) {
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " appeared";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            return;
        }
        WhenModal<T>(step, triesLeft - 1, 10);
    });
}
