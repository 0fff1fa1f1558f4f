#pragma once

#include "OverlayCard.h"

class QProgressBar;

namespace plenvo {

class ActivitySpinner;
class StyledLabel;
class SymbolView;

// The progress of a batch move to the Trash, or of putting one back: "n of m" with a percentage
// and a bar, or a plain "in progress" text while the total is not known.
class DeleteBanner : public OverlayCard {
    Q_OBJECT

public:
    explicit DeleteBanner(QWidget* parent = nullptr);

    void setProgress(qint64 count, qint64 total, bool puttingBack = false);

    QString text() const;
    QString percentText() const; // empty when no percentage is shown
    bool showsBar() const;
    int barValue() const;
    int barMaximum() const;

private:
    ActivitySpinner* m_spinner;
    SymbolView* m_icon;
    StyledLabel* m_text;
    StyledLabel* m_percent;
    QProgressBar* m_bar;
};

} // namespace plenvo
