// The two confirmation boxes of the keypad: caption "Подтверждаете?", the question icon, the
// standard buttons relabelled, centred on the window that owns them.
#pragma once

#include "panel/keypad/keypad_host.h"

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace vr410 {

// The question of each box; the line break is LF then CR, as the instrument's program wrote it.
QString ConfirmationText(ConfirmKind kind);

// Widens a message box so that its title and the title bar's buttons fit beside each other:
// a window manager shortens a title that does not fit ("VR…0K"), and the box's own width comes
// from its text and buttons alone.
void FitTitle(QMessageBox& box);

class ConfirmationBox {
  public:
    using Responder = std::function<ConfirmAnswer(ConfirmKind)>;

    explicit ConfirmationBox(QWidget* parent) : Parent_(parent) {}

    // Shows the box modally and returns the button that closed it (Cancel when it was closed
    // otherwise). With a responder set, the responder answers instead and no box is shown.
    ConfirmAnswer Ask(ConfirmKind kind);
    void SetResponder(Responder responder) { Answer_ = std::move(responder); }

  private:
    QWidget* Parent_;
    Responder Answer_;
};

} // namespace vr410
