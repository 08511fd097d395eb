// SPDX-License-Identifier: MIT
#pragma once
#include <QRect>
#include <vector>

class QWidget;

namespace zentyr {

class Label;

// A control's place as fractions of the client area.
struct ControlLayout {
    float HeightRatio = 0;
    float WidthRatio = 0;
    float TopRatio = 0;
    float LeftRatio = 0;
};

// A control the layout keeps in proportion, with the label whose font follows the width, if any.
struct LayoutControl {
    QWidget *widget;
    Label *fontOwner = nullptr;
};

// The records of a window, taken once.
struct LayoutRecords {
    std::vector<ControlLayout> ControlLayouts;
    std::vector<float> FontRatios;
};

// Takes the fractions of each control and of each font against the client width; a side of zero
// leaves its fractions zero.
void RecordLayout(LayoutRecords &records, const std::vector<LayoutControl> &controls, QSize client);
// Moves each recorded control, and sets its font where it has one; a font of no size is left alone.
void ApplyLayout(const LayoutRecords &records, const std::vector<LayoutControl> &controls, QSize client);

} // namespace zentyr
