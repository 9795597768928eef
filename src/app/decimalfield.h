#pragma once

#include <QDoubleSpinBox>

namespace tervasko {

// A decimal spin field that keeps every value it is given to the last bit: a pen width of
// 0.125 from a file, a ruler turned by mouse to 33.4567 degrees and then stepped by the spin
// buttons (34.4567). It shows as many decimals as the value needs, at least two and at most
// six, and takes as many as the user types. Steps add to the exact value.
class DecimalField : public QDoubleSpinBox {
public:
    explicit DecimalField(QWidget* parent = nullptr);

    // Decimals shown at most; more are kept in the value, not shown.
    static constexpr int kShownDecimals = 6;

    QString textFromValue(double value) const override;
};

}  // namespace tervasko
