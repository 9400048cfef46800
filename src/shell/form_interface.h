// The packet monitor window "Посылки через интерфейс": the hex lines of the last request
// (LabelSend) and of the last answer (LabelReceive). The lines are kept current whether or not
// the window is shown.
#pragma once

#include <QWidget>

#include <string>

class QLabel;

namespace vr410 {

class TFormInterface : public QWidget {
    Q_OBJECT
  public:
    explicit TFormInterface(QWidget* parent = nullptr);

    void SetSendLine(const std::string& line);
    void SetReceiveLine(const std::string& line);
    QString SendLine() const;
    QString ReceiveLine() const;

    // Shows the window directly below `main` (same left edge, top at the main window's outer
    // bottom) with the given client size, frame excluded, made sane first (SaneSize). The
    // client size is what the settings keep: unlike the outer size it is known before the
    // window manager has framed the window, so it reads back the same.
    void ShowBelow(const QWidget& main, int width, int height);
    // The given client size kept within the window's minimum (the captions, a few bytes and
    // both lines) and the available area of its screen.
    QSize SaneSize(QSize wanted) const;
    // Whether the window has been shown since it was created.
    bool WasShown() const { return WasShown_; }

  private:
    QLabel* LabelSend;
    QLabel* LabelReceive;
    bool WasShown_ = false;
};

} // namespace vr410
