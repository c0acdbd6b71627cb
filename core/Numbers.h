#pragma once
// Numbers as the program writes and reads them.  MText and the files of the
// program carry numbers with either "." or "," as the decimal separator; what
// the program writes follows the separator chosen in the settings, and what it
// shows in dialogs follows the system's.
#include <QChar>
#include <QString>
#include <QStringView>

// Every "." becomes "," when commaAsSep, otherwise every "," becomes ".".
QString ApplyDecimalSeparator(const QString& S, bool commaAsSep);

// The same for the numbers inside a free text: only a "." or "," between two
// digits is a decimal separator ("Лист 2,5" becomes "Лист 2.5", while
// "1, 2" and "т. е." stay as they are).
QString ApplyDecimalSeparatorToNumbers(const QString& S, bool commaAsSep);

// The shortest form with a full stop that reads back to exactly v
// ("0.1", "25.4", "1e+300", "-0.6126").  Not-a-number and infinities give "0".
QString FloatToStrShortest(double v);

// Reads a decimal number written with "." or "," (blanks around it allowed,
// no group separators).  False for anything else, for an empty text and for
// values that overflow to infinity; value is then left alone.
bool ReadFloat(const QString& text, double& value);

// The number alone, exactly as ReadFloat reads it but with no blanks around:
// the C rules whatever the locale, "." or "," as the separator.  Reads in
// place and never allocates.
bool ReadDecimal(QStringView text, double& value);

// The decimal separator of the system's locale (what dialogs show and accept).
QChar SystemDecimalSeparator();
