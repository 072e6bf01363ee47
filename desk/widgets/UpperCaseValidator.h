#pragma once

#include <QValidator>

class QLineEdit;

// Turns every letter to upper case as it is typed or pasted, like a field whose
// character case is fixed to upper.
class UpperCaseValidator : public QValidator
{
    Q_OBJECT

public:
    explicit UpperCaseValidator(QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
};

// Gives the edit an upper-case validator of its own.
void makeUpperCase(QLineEdit* edit);
