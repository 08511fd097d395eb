// SPDX-License-Identifier: MIT
#pragma once
#include <vector>

class QWidget;

namespace zentyr {

// A control's place as fractions of the client area.
struct ControlLayout {
    float HeightRatio = 0;
    float WidthRatio = 0;
    float TopRatio = 0;
    float LeftRatio = 0;
};

// The records of a window, taken once.
struct LayoutRecords {
    std::vector<ControlLayout> ControlLayouts;
    std::vector<float> FontRatios;
};

// The controls are the client area's child widgets in the order they were made; of them only a label
// has a font size. Takes the fractions of each control and of each font against the client width; a
// side of zero leaves its fractions zero.
void RecordLayout(LayoutRecords &records, const QWidget *client);
// Moves each recorded control, and sets its font where it has one; a font of no size is left alone.
void ApplyLayout(const LayoutRecords &records, const QWidget *client);

} // namespace zentyr
