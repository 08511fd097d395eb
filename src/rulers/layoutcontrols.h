// SPDX-License-Identifier: MIT
#pragma once
#include "rulers/layout.h"

#include <QPointer>
#include <QWidget>

namespace zentyr {

class Label;

// A control that is a widget: position and size in twips; a font only where it has one.
class WidgetLayoutControl : public LayoutControl {
public:
    explicit WidgetLayoutControl(QWidget *w, Label *fontOwner = nullptr) : m_widget(w), m_label(fontOwner) { }
    std::optional<float> left() const override;
    std::optional<float> top() const override;
    std::optional<float> width() const override;
    std::optional<float> height() const override;
    std::optional<float> fontSize() const override;
    bool move(float left, float top, float width, float height) override;
    bool setFontSize(float points) override;

private:
    QPointer<QWidget> m_widget;
    QPointer<Label> m_label;
};

// Menu entries and the dialog component: in the collection, with none of the members.
class MemberlessControl : public LayoutControl { };

} // namespace zentyr
