// TFormMessage, the error notice "Ошибка!": a small window, always on top, that shows one line
// of text under the standard error icon and closes itself after 10 seconds. It does not block
// the caller and is hidden, not destroyed, between uses.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace vr410 {

class TFormMessage : public QDialog {
    Q_OBJECT

  public:
    static constexpr int ClientWidth = 335;
    static constexpr int ClientHeight = 118;
    static constexpr int CloseAfterMs = 10000;

    explicit TFormMessage(QWidget* parent = nullptr);

    // Label1 takes the text, the window is shown without waiting (centred on the parent the
    // first time) and TimerMessageOff starts.
    void ShowNotice(const QString& text);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr; // stays hidden
    QPushButton* B_Exit = nullptr;
    QTimer* TimerMessageOff = nullptr;

  protected:
    // Any way of closing ("ОК", the close box, the timer) stops TimerMessageOff.
    void hideEvent(QHideEvent* event) override;

  private:
    void TimerMessageOffTimer();
    bool Placed_ = false;
};

} // namespace vr410
