// The packet monitor window "Посылки через интерфейс": the hex lines of the last request
// (LabelSend) and of the last answer (LabelReceive). The lines are kept current whether or not
// the window is shown. While shown it sits directly below the main window and follows it.
#pragma once

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <string>

class QLabel;

namespace vr410 {

class TFormInterface : public QWidget {
    Q_OBJECT
  public:
    explicit TFormInterface(QWidget* parent = nullptr);
    ~TFormInterface() override;

    void SetSendLine(const std::string& line);
    void SetReceiveLine(const std::string& line);
    QString SendLine() const;
    QString ReceiveLine() const;

    // Shows the window directly below `main` (same left edge, top at the main window's outer
    // bottom) with the given client size, frame excluded, made sane first (SaneSize). The
    // client size is what the settings keep: unlike the outer size it is known before the
    // window manager has framed the window, so it reads back the same.
    // While shown, the window follows `main`: when the main window moves, changes size or is
    // first framed by the window manager (its frame, and so its outer bottom, is not known
    // before), the monitor is placed below it again, keeping its own size.
    void ShowBelow(const QWidget& main, int width, int height);
    // The given client size kept within the window's minimum (the captions, a few bytes and
    // both lines) and the available area of its screen.
    QSize SaneSize(QSize wanted) const;
    // Whether the window has been shown since it was created.
    bool WasShown() const { return WasShown_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Moves the window below `main` with the given client size (kept on the screen).
    void PlaceBelow(const QWidget& main, QSize size);
    void Follow(const QWidget& main);

    QLabel* LabelSend;
    QLabel* LabelReceive;
    bool WasShown_ = false;
    // The main window followed, and its native window once it has one; the native window's
    // first exposure is when its frame is known.
    QPointer<QWidget> Main_;
    QPointer<QWindow> MainWindowHandle_;
    bool MainExposed_ = false;
};

} // namespace vr410
