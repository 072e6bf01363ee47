#include "desk/widgets/MaskedDateEdit.h"

MaskedDateEdit::MaskedDateEdit(QWidget* parent) : QLineEdit(parent)
{
    // "0": a digit may stand here but need not, so the guard can leave and come back
    // to a half-typed date; whether it is a date is decided when it is read.
    setInputMask(QStringLiteral("00/00/0000;_"));
}

QString MaskedDateEdit::maskedText() const
{
    // text() drops the blank characters; the shown text keeps them in their places.
    return displayText();
}

void MaskedDateEdit::setMaskedText(const QString& text)
{
    setText(text);
}
