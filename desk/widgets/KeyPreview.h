#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// Lets a window see every key typed into one of its controls before the control
// does (key preview). The handler answers true to swallow the key.
class KeyPreview : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<bool(QWidget* target, QKeyEvent* event)>;

    // Watches the controls of the window that can take the focus at this moment.
    KeyPreview(QWidget* window, Handler handler);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler m_handler;
};

// Enter moves the focus to the next control in tab order, exactly as Tab does, except
// in a multi-line memo, where it starts a new line. Returns true when it took the key.
bool enterAsTab(QWidget* target, QKeyEvent* event);
