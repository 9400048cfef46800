// A one-line field that holds digits in the fixed layout of an edit mask (see EditMask): digits
// are typed over in place, the caret skips the literals, Backspace and Delete blank a digit
// (shown as "0"), other characters are refused. Qt's own input masks are not used: they read "0"
// and "9" the other way round and drop typed zeros when "0" is the blank character.
#pragma once

#include "panel/keypad/edit_mask.h"

#include <QLineEdit>

namespace vr410 {

class MaskedDigitEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit MaskedDigitEdit(QWidget* parent = nullptr);

    // Lays the field out by mask (e.g. "00\.000\m000\V;0;0"); the digits held stay in order,
    // and the field grows to hold the whole layout in its font. Emits nothing: a new text
    // follows with SetDigits.
    void SetMask(const QString& mask);
    // The size the field never goes below, whatever its text.
    void SetLeastSize(const QSize& size);
    // Puts text's characters into the digit positions in order. Emits Changed(false) when the
    // shown text changes.
    void SetDigits(const QString& text);
    // The digit positions' characters in order (text() is the shown text, literals included).
    QString Digits() const { return Content_.Digits(); }
    int CaretIndex() const { return cursorPosition(); }
    void SetCaretIndex(int index) { setCursorPosition(index); }

  signals:
    // Before a key is handled: whether it is Backspace or Delete.
    void KeyDown(bool backspaceOrDelete);
    // After a typed digit, Backspace or Delete that changed the digits, and after a program
    // change of the shown text; typed tells which. A key that leaves the digits as they were
    // (Backspace or Delete on a blank "0") reports no change.
    void Changed(bool typed);
    // After a digit typed over the same digit: the digits are as they were, the caret moved on.
    void Retyped();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Shows Content_ with the caret at caret.
    void Show(int caret);
    // Fixes the size at the least size or at what the whole text needs in the field's font,
    // whichever is larger.
    void FitText();

    EditMask Content_;
    QSize LeastSize_;
};

} // namespace vr410
