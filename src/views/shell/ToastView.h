#pragma once

#include "OverlayCard.h"

namespace plenvo {

class StyledLabel;

// The outcome of an action, shown briefly over the top of the window. A click anywhere on it
// dismisses it.
class ToastView : public OverlayCard {
    Q_OBJECT

public:
    explicit ToastView(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    QString message() const;

Q_SIGNALS:
    void dismissed();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    StyledLabel* m_message;
};

} // namespace plenvo
