#pragma once

#include <QString>

class RegionalFormats;

// The conversion of a setting's text to a boolean: a number in the regional notation
// (0 false, any other true), else True or False in any case. Throws std::runtime_error.
bool boolFromText(const QString& text, const RegionalFormats& formats);
