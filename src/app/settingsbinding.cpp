// The settings panel and the view switches bound to the session's settings model: a field
// shows the model, a change in the field changes the model, and the model's change sets the
// field (which says nothing when it already shows the value) and runs the described
// handler of that field.
#include <QAction>
#include <QDoubleSpinBox>
#include <QSpinBox>

#include "app/mainUnit.h"
#include "session/drawingsession.h"

namespace tervasko {

void TMainForm::bindSettings() {
    SettingsModel& m = Session->Settings;
    connect(zoomed, &QSpinBox::valueChanged, &m, &SettingsModel::SetZoom);
    connect(PageAnz, &QSpinBox::valueChanged, &m, &SettingsModel::SetPageCount);
    connect(StrichEd, &QDoubleSpinBox::valueChanged, &m, &SettingsModel::SetPenWidth);
    connect(RadierEd, &QDoubleSpinBox::valueChanged, &m, &SettingsModel::SetEraserWidth);
    connect(LeistefrZahleneingabe1, &QAction::toggled, &m, &SettingsModel::SetPanelShown);
    connect(Lineal2, &QAction::toggled, &m, &SettingsModel::SetRulerShown);
    connect(Winkelmesser2, &QAction::toggled, &m, &SettingsModel::SetProtractorShown);
    connect(Zirkel2, &QAction::toggled, &m, &SettingsModel::SetCompassShown);
    connect(Geodreieck2, &QAction::toggled, &m, &SettingsModel::SetSetSquareShown);
    connect(AnsichtZollAngabenfrdasLineal1, &QAction::toggled, &m, &SettingsModel::SetInches);
    connect(AnsichtFangen1, &QAction::toggled, &m, &SettingsModel::SetSnap);

    // A field takes the model's value only when it shows another: setting a spin box, even
    // to its own value, would rewrite the text the user is typing.
    const auto show = [](auto* field, auto value) {
        if (field->value() != value) field->setValue(value);
    };
    const auto showAll = [this, &m, show] {
        const DrawingSettings& v = m.Values();
        show(zoomed, m.Zoom());
        show(PageAnz, m.PageCount());
        show(StrichEd, v.PenWidth);
        show(RadierEd, v.EraserWidth);
        Shape1->SetBrushColor(v.PenColor);
        LeistefrZahleneingabe1->setChecked(v.PanelShown);
        Panel2->setVisible(v.PanelShown);
        Lineal2->setChecked(v.RulerShown);
        Winkelmesser2->setChecked(v.ProtractorShown);
        Zirkel2->setChecked(v.CompassShown);
        Geodreieck2->setChecked(v.SetSquareShown);
        AnsichtZollAngabenfrdasLineal1->setChecked(m.Inches());
        AnsichtFangen1->setChecked(m.Snap());
    };
    connect(&m, &SettingsModel::Assigned, this, showAll);
    connect(&m, &SettingsModel::Changed, this, [this, showAll](SettingsModel::Setting which) {
        showAll();
        if (which == SettingsModel::Setting::Zoom) zoomedChange();
        if (which == SettingsModel::Setting::PageCount) PageAnzChange();
    });
}

}  // namespace tervasko
