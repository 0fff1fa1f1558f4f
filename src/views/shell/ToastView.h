#pragma once

#include "OverlayCard.h"

class QPushButton;

namespace plenvo {

class StyledLabel;

// The outcome of an action, shown briefly over the top of the window, with an Undo button when
// what it reports can be undone. A click anywhere else on it dismisses it.
class ToastView : public OverlayCard {
    Q_OBJECT

public:
    explicit ToastView(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    QString message() const;
    void setUndoOffered(bool offered);
    QPushButton* undoButton() const { return m_undo; }

Q_SIGNALS:
    void dismissed();
    void undoClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    StyledLabel* m_message;
    QPushButton* m_undo;
};

} // namespace plenvo
