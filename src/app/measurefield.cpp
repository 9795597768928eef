#include "app/measurefield.h"

#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <cstdio>

#include "i18n/messagetable.h"
#include "platform/numeric.h"

namespace tervasko {
namespace {

std::string fixed2(double v, char separator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    std::string s = buffer;
    if (s == "-0.00") s = "0.00";
    for (char& c : s)
        if (c == '.') c = separator;
    return s;
}

}  // namespace

std::string MeasurementText(const Measurement& m, bool inches, char separator) {
    using K = Measurement::Kind;
    const auto length = [&](const char* word) {
        const double v = inches ? m.length / MmPerInch : m.length;
        return TranslateText(word) + ": " + fixed2(v, separator) + " " +
               (inches ? TranslateText("Zoll") : std::string("mm"));
    };
    const auto angle = [&] {
        return TranslateText("Winkel") + ": " + fixed2(m.angle, separator) + "\u00b0";
    };
    const auto kind = [](const char* word) { return TranslateText(word) + ", "; };
    switch (m.kind) {
        case K::None:
            return {};
        case K::RulerAngle:
        case K::ProtractorDegree:
        case K::ProtractorAngle:
        case K::SetSquareAngle:
        case K::SetSquareDegree:
            return angle();
        case K::GuideLength:
            return length("Länge");
        case K::CompassSpan:
            return length("Radius");
        case K::Arc:
            return length("Radius") + ", " + angle();
        case K::Line:
            return kind("Linie") + length("Länge");
        case K::Circle:
            return kind("Kreis") + length("Radius");
        case K::ArcElement:
            return kind("Bogen") + length("Radius");
        case K::Curve:
            return kind("Kurve") + length("Länge");
    }
    return {};
}

MeasureField::MeasureField(QStatusBar& bar) : label_(new QLabel(&bar)) {
    label_->setObjectName("StatusMeasure");
    bar.addPermanentWidget(label_);
}

void MeasureField::Show(const Measurement& m, bool inches) {
    if (m == shown_ && inches == inches_) return;
    shown_ = m;
    inches_ = inches;
    const QString decimal = QLocale().decimalPoint();
    const char separator = decimal.isEmpty() ? '.' : static_cast<char>(decimal.at(0).toLatin1());
    label_->setText(
        QString::fromStdString(MeasurementText(m, inches, separator ? separator : '.')));
}

}  // namespace tervasko
