#pragma once

#include "models/ColorToken.h"
#include "theme/ToolbarSurface.h"

class QHBoxLayout;

namespace plenvo {

class StyledLabel;

// The header bar of an analysis view: an icon, a title with a subtitle under it, and room at
// the end for the view's own controls, on the toolbar surface.
class ViewHeader : public ToolbarSurface {
    Q_OBJECT

public:
    ViewHeader(const QString& icon, ColorToken iconColor, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const;
    void setSubtitle(const QString& subtitle);
    QString subtitle() const;
    // Places a control at the end of the header, after the flexible space.
    void addTrailingWidget(QWidget* widget);

private:
    QHBoxLayout* m_row;
    StyledLabel* m_title;
    StyledLabel* m_subtitle;
};

} // namespace plenvo
