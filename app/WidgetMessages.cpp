#include "app/WidgetMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

bool WidgetMessages::show(Kind kind, const QString& text, const QString& caption)
{
    QMessageBox box(QApplication::activeWindow());
    box.setText(text);
    box.setWindowTitle(caption.isEmpty() ? QStringLiteral("Vexorin") : caption);
    switch (kind) {
    case Kind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Kind::Error:
    case Kind::StandardError:
        box.setIcon(QMessageBox::Critical);
        break;
    case Kind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Kind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Kind::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        // No translation of Qt's own texts is installed; the desk speaks Portuguese.
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sim"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Não"));
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return true;
}
