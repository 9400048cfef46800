// TFormHelp "Справка": the operating instructions in a read-only scrolling text. It is shown
// without blocking the main window, Escape closes (hides) it, and it comes back at the size the
// operator left it.
#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;

namespace vr410 {

// The help text: paragraphs separated by an empty line, each starting with two blanks.
QString HelpText();

class TFormHelp : public QWidget {
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 405;
    static constexpr int ClientHeight = 438;

    // Creates the window hidden with the help text loaded; `owner` is the window it opens
    // centred on the first time.
    explicit TFormHelp(const QWidget& owner);

    // Shows the window without waiting for it and brings it to the front.
    void ShowHelp();

    QPlainTextEdit* Memo1 = nullptr;

  protected:
    // Keys reach the window before the text: Escape closes it wherever the focus is.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vr410
