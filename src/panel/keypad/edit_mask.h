// The content of a fixed-position digit field laid out by an edit mask such as
// "00\.000\m000\V;0;0": "0" a digit position that is always filled, "9" a digit position that may
// be blank, "\" followed by a character that character as a fixed literal (other characters are
// literals too), and after ";" the field's options, which here always mean: the value leaves the
// literals out and a blank position shows "0". Typing overwrites in place; the caret skips the
// literals.
#pragma once

#include <QString>
#include <QVector>

namespace vr410 {

class EditMask {
  public:
    EditMask() = default;
    explicit EditMask(const QString& mask) { SetMask(mask); }

    // Lays the field out by mask. The digits already held stay in their order.
    void SetMask(const QString& mask);
    // Fills the digit positions in order from text's characters; a position without a digit
    // character (text too short, a blank or another character) shows "0".
    void SetDigits(const QString& text);

    // The text as shown, literals included.
    QString Text() const;
    // The digit positions' characters in order, literals left out.
    QString Digits() const;
    int DigitCount() const;
    int Length() const { return static_cast<int>(Slots_.size()); }

    // Editing at a caret index (characters before the caret). Each returns the new caret index.
    // TypeDigit returns -1 (and changes nothing) when no digit position follows the caret.
    int TypeDigit(int caret, QChar digit);
    int Backspace(int caret); // blanks the digit before the caret, the caret moves onto it
    int Delete(int caret);    // blanks the digit at or after the caret, the caret stays

    // Caret stops: before each digit position and after the last one.
    int NextStop(int caret) const;
    int PreviousStop(int caret) const;
    int FirstStop() const;
    int LastStop() const;

  private:
    struct Slot {
        bool IsDigit = false;
        QChar Char; // the literal, or the digit shown
    };
    int FirstDigitAtOrAfter(int index) const;
    int LastDigitBefore(int index) const;

    QVector<Slot> Slots_;
};

} // namespace vr410
