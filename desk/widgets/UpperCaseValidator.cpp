#include "desk/widgets/UpperCaseValidator.h"

#include <QLineEdit>

UpperCaseValidator::UpperCaseValidator(QObject* parent) : QValidator(parent) {}

QValidator::State UpperCaseValidator::validate(QString& input, int& pos) const
{
    // The line edit takes over the changed text, so typing, pasting and setText all
    // end in upper case; the cursor stays where it was.
    Q_UNUSED(pos);
    input = input.toUpper();
    return Acceptable;
}

void makeUpperCase(QLineEdit* edit)
{
    edit->setValidator(new UpperCaseValidator(edit));
}
