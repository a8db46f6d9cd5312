#pragma once

namespace karuneo {

// The results frame and the list inside it, the only parts of the window
// that follow its size. Lengths are twips.
class ResultsLayout {
  public:
    virtual ~ResultsLayout() = default;

    virtual void SetFrameWidth(float width) = 0;
    virtual void SetFrameHeight(float height) = 0;
    virtual void SetListWidth(float width) = 0;
    virtual void SetListHeight(float height) = 0;
    // The width the columns share, as the toolkit settled it after the list
    // was last sized (rounding, limits, borders).
    virtual float ListWidth() const = 0;

    // Adds the two columns; each call adds two more.
    virtual void CreateColumns() = 0;
    virtual void SetColumnWidths(float first, float second) = 0;
};

}  // namespace karuneo
