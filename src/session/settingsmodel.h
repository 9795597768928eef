#pragma once

#include <QObject>

#include "document/drawingfile.h"

namespace tervasko {

// The settings that travel with a drawing (zoom, pen, eraser, page count, the view
// switches), the inch switch and the snap switch, as one model with change notification. The
// window's fields show the model: a change in a field changes the model, and a change of the model
// sets the field, which emits nothing when it already shows the value. The paint cycle, the
// tools and the drawing file read the model, never the fields.
class SettingsModel : public QObject {
    Q_OBJECT
public:
    enum class Setting {
        Zoom,
        PenWidth,
        PenColor,
        PanelShown,
        RulerShown,
        ProtractorShown,
        CompassShown,
        EraserWidth,
        PageCount,
        Inches,
        Snap,
        SetSquareShown,
        WorksheetShown
    };

    const DrawingSettings& Values() const { return values_; }
    bool Inches() const { return inches_; }
    // "Fangen": points of the drawing catch the instruments and line ends. The program's own
    // setting, kept in its settings file, not in the drawing.
    bool Snap() const { return snap_; }
    int Zoom() const { return static_cast<int>(values_.Zoom); }
    int PageCount() const { return static_cast<int>(values_.PageCount); }
    // "Arbeitsblatt": the worksheet shown beneath the sheets. Not stored: a drawing is loaded
    // and a worksheet inserted with it shown.
    bool WorksheetShown() const { return worksheetShown_; }
    void SetWorksheetShown(bool on) { set(worksheetShown_, on, Setting::WorksheetShown); }

    void SetZoom(int percent) { set(values_.Zoom, percent, Setting::Zoom); }
    void SetPenWidth(double mm) { set(values_.PenWidth, mm, Setting::PenWidth); }
    void SetPenColor(std::uint32_t color) { set(values_.PenColor, color, Setting::PenColor); }
    void SetPanelShown(bool on) { set(values_.PanelShown, on, Setting::PanelShown); }
    void SetRulerShown(bool on) { set(values_.RulerShown, on, Setting::RulerShown); }
    void SetProtractorShown(bool on) { set(values_.ProtractorShown, on, Setting::ProtractorShown); }
    void SetCompassShown(bool on) { set(values_.CompassShown, on, Setting::CompassShown); }
    void SetSetSquareShown(bool on) { set(values_.SetSquareShown, on, Setting::SetSquareShown); }
    void SetEraserWidth(double mm) { set(values_.EraserWidth, mm, Setting::EraserWidth); }
    void SetPageCount(int pages) { set(values_.PageCount, pages, Setting::PageCount); }
    void SetInches(bool on) { set(inches_, on, Setting::Inches); }
    void SetSnap(bool on) { set(snap_, on, Setting::Snap); }

    // All values at once, as a drawing file brings them: one Assigned, no Changed.
    void Assign(const DrawingSettings& values) {
        values_ = values;
        emit Assigned();
    }

signals:
    void Changed(SettingsModel::Setting which);
    void Assigned();

private:
    template <typename T, typename V>
    void set(T& field, V value, Setting which) {
        if (field == static_cast<T>(value)) return;
        field = static_cast<T>(value);
        emit Changed(which);
    }

    DrawingSettings values_;
    bool inches_ = false;
    bool snap_ = false;
    bool worksheetShown_ = true;
};

}  // namespace tervasko
