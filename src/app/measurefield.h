#pragma once

#include <QString>
#include <string>

#include "tools/measure.h"

class QLabel;
class QStatusBar;

namespace tervasko {

// The measure in words, in the interface language: lengths in millimetres, or inches while
// the ruler shows inches, angles in degrees, two decimals with the locale's separator.
std::string MeasurementText(const Measurement& m, bool inches, char decimalSeparator);

// The status bar's second field: the measure of the gesture in progress. It is set only when
// its text changes, so the pointer path pays nothing while the measure stands.
class MeasureField {
public:
    explicit MeasureField(QStatusBar& bar);
    void Show(const Measurement& m, bool inches);

private:
    QLabel* label_;
    Measurement shown_;
    bool inches_ = false;
};

}  // namespace tervasko
