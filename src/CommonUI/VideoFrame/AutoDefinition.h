#pragma once

// Chooses a live window's definition from its width: standard definition (1) while the window is
// small, high definition (0) once it is wide enough. Two thresholds apart keep a window whose
// width wobbles around one of them from switching back and forth: a standard window turns high
// at `upWidth` or wider, a high window turns standard only below `downWidth`.
class AutoDefinition
{
public:
    static constexpr int kStandard = 1;
    static constexpr int kHigh = 0;

    // Widths in pixels; downWidth is clamped to upWidth.
    explicit AutoDefinition(int upWidth = 800, int downWidth = 640);

    // The definition for a window now showing `current` that has become `width` pixels wide.
    int follow(int current, int width) const;
    // The definition for a channel newly opened in a window `width` pixels wide.
    int initial(int width) const { return width >= m_upWidth ? kHigh : kStandard; }

    int upWidth() const { return m_upWidth; }
    int downWidth() const { return m_downWidth; }

private:
    int m_upWidth;
    int m_downWidth;
};
