#pragma once

#include <QLineEdit>

// A date typed through the mask "!99/99/0000;1;_": two digits, "/", two digits, "/",
// four digits. The slashes are part of the text and "_" marks an empty position, so
// maskedText() of a half-typed date reads "12/__/____".
class MaskedDateEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit MaskedDateEdit(QWidget* parent = nullptr);

    QString maskedText() const;
    void setMaskedText(const QString& text);
};
