#pragma once

#include "config/Messages.h"

#include <QPointer>
#include <QString>
#include <QWidget>

// Opens a secondary window modally through its global reference: nothing happens while
// the reference is set; otherwise the window is created with the main window as its
// owner and shown until it closes. Any failure to create or show it is reported with
// the button's own text in a plain message box.
template <typename Form>
void openSecondaryWindow(Form*& reference, QWidget* owner, const QString& failureText)
{
    if (reference)
        return;
    QPointer<Form> window;
    try {
        window = new Form(owner);
        reference = window.data();
        window->exec();
    } catch (...) {
        Messages::plain(failureText);
    }
    // The window empties its reference when it closes; a failed one may not have.
    if (reference == window.data())
        reference = nullptr;
    delete window.data();
}
