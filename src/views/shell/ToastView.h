#pragma once

#include "AppState.h"
#include "OverlayCard.h"

class QPushButton;

namespace plenvo {

class StyledLabel;
class SymbolView;

// The outcome of an action, shown briefly over the top of the window: a green check for what
// was done, an orange warning mark for what failed or was refused, and an Undo button when what
// it reports can be undone. A click anywhere else on it dismisses it.
class ToastView : public OverlayCard {
    Q_OBJECT

public:
    explicit ToastView(QWidget* parent = nullptr);

    void setMessage(const QString& message, AppState::ToastKind kind = AppState::ToastKind::done);
    QString message() const;
    void setUndoOffered(bool offered);
    QPushButton* undoButton() const { return m_undo; }
    AppState::ToastKind kind() const { return m_kind; }
    // The mark before the message.
    SymbolView* mark() const { return m_mark; }

Q_SIGNALS:
    void dismissed();
    void undoClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    StyledLabel* m_message;
    QPushButton* m_undo;
    SymbolView* m_mark;
    AppState::ToastKind m_kind = AppState::ToastKind::done;
};

} // namespace plenvo
