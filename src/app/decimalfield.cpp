#include "app/decimalfield.h"

#include <cfloat>

namespace tervasko {

DecimalField::DecimalField(QWidget* parent) : QDoubleSpinBox(parent) {
    // The spin box rounds every value to its decimals: with the most it allows, a value
    // survives unchanged (its decimal expansion reads back to the same double).
    setDecimals(DBL_MAX_10_EXP + DBL_DIG);
}

QString DecimalField::textFromValue(double value) const {
    QLocale shown = locale();
    shown.setNumberOptions(shown.numberOptions() | QLocale::OmitGroupSeparator);
    QString text = shown.toString(value, 'f', kShownDecimals);
    const QString point = shown.decimalPoint();
    const qsizetype at = text.lastIndexOf(point);
    if (at < 0) return text;
    // Trailing zeros go, down to two decimals.
    qsizetype end = text.size();
    while (end > at + point.size() + 2 && text.at(end - 1) == QLatin1Char('0')) --end;
    text.truncate(end);
    return text;
}

}  // namespace tervasko
