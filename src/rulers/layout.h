// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <optional>
#include <vector>

namespace zentyr {

// One member of a window's control collection, seen by name only: any member may
// be missing, and then the step that uses it fails.
class LayoutControl {
public:
    virtual ~LayoutControl() = default;
    virtual std::optional<float> left() const { return std::nullopt; }
    virtual std::optional<float> top() const { return std::nullopt; }
    virtual std::optional<float> width() const { return std::nullopt; }
    virtual std::optional<float> height() const { return std::nullopt; }
    virtual std::optional<float> fontSize() const { return std::nullopt; }
    // Returns false where the control has no such operation or refuses the value.
    virtual bool move(float /*left*/, float /*top*/, float /*width*/, float /*height*/) { return false; }
    virtual bool setFontSize(float /*points*/) { return false; }
};

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

using ClientSize = std::function<float()>;

// Each step is an attempt of its own; a failing step is skipped without a word.
void RecordLayout(LayoutRecords &records, const std::vector<LayoutControl *> &controls, const ClientSize &clientWidth,
                  const ClientSize &clientHeight);
void ApplyLayout(const LayoutRecords &records, const std::vector<LayoutControl *> &controls,
                 const ClientSize &clientWidth, const ClientSize &clientHeight);

} // namespace zentyr
