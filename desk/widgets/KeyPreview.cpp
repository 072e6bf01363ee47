#include "desk/widgets/KeyPreview.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

KeyPreview::KeyPreview(QWidget* window, Handler handler) : QObject(window), m_handler(std::move(handler))
{
    // Only focusable controls are watched: a key the control ignores travels on to its
    // parents, and a filter there would see the same key twice.
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(this);
    }
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType())
        return m_handler(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    return false;
}

bool enterAsTab(QWidget* target, QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (qobject_cast<QPlainTextEdit*>(target) || qobject_cast<QTextEdit*>(target))
        return false;
    // A Tab sent to the control takes the same road as one the guard typed.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &tab);
    return true;
}
