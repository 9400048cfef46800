// TFloatEdit: a single-line entry box for a decimal fraction with a fixed number of decimals
// within [Min, Max]. Its key filter refuses what would not be a number, what would exceed Max
// and decimals beyond Digits; leaving the box with a value that is unparsable or out of range
// shows the error text, restores the value the box held when it was entered and keeps the focus
// in the box. Reading Value never gives a value outside [Min, Max].
//
// TCustomFloatEdit carries the behaviour; TFloatEdit publishes it.
#pragma once

#include "platform/system_facilities.h"

#include <QChar>
#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace vr410 {

// Raised by SetMin and SetMax when the new bound would cross the other one at run time.
class FloatEditRangeError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

class TCustomFloatEdit : public QLineEdit {
    Q_OBJECT
  public:
    // A key-press event: the typed character, which the handler may set to 0.
    using KeyPressHandler = std::function<void(QChar& key)>;

    static constexpr uint8_t MaxDigits = 18;
    static constexpr const char* MinAboveMaxText =
        "Minimum value must not be greater than maximum value !";
    static constexpr const char* MaxBelowMinText =
        "Maximum value must not be less than minimum value !";

    // Shows the fixed form of Min ("0" and one decimal with the defaults: Digits 1, Min 0,
    // Max 100), right aligned. The decimal separator is the locale's, read here once.
    explicit TCustomFloatEdit(QWidget* parent = nullptr);

    // The locale's decimal separator the box writes and reads.
    QChar DecimalSeparator() const { return FDec; }

    // While the owner builds the box, bounds may cross and Value only stores its argument;
    // Loaded() swaps crossed bounds and then sets Value from what was stored.
    void BeginLoading() { Loading_ = true; }
    void Loaded();
    bool Loading() const { return Loading_; }

    // Where beeps and the error text go; straight through Qt when null (the default).
    void SetFacilities(SystemFacilities* facilities) { Facilities_ = facilities; }

    // The leaving check, as when the focus moves to another control of the window. False (and
    // the focus back in the box) when the value was refused.
    bool CheckOnExit();

  protected:
    // The value of the text, clamped to [Min, Max]: "", "-", the separator alone and "E" are 0;
    // a text that is not a number is Min. While loading: the value stored by SetValue.
    long double Value() const;
    // Above Max: the error text, and Max; then below Min: the error text, and Min. The text
    // becomes the fixed form. While loading: stored for Loaded() only.
    void SetValue(long double value);
    uint8_t Digits() const { return FDigits; }
    // At most 18; the text is reformatted.
    void SetDigits(uint8_t digits);
    long double Min() const { return FMin; }
    // Throws FloatEditRangeError when above Max at run time.
    void SetMin(long double value);
    long double Max() const { return FMax; }
    // Throws FloatEditRangeError when below Min at run time.
    void SetMax(long double value);
    const QString& ErrorMessage() const { return FErrorText; }
    // Shown in a plain message box when a value is refused; nothing is shown while it is empty.
    void SetErrorMessage(const QString& text) { FErrorText = text; }
    Qt::Alignment Alignment() const { return FAlignment; }
    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    void SetAlignment(Qt::Alignment alignment);
    QChar AdditionalDecimalSeparator() const { return FAdditionalDecimalSeparator; }
    // A second key typed as the decimal separator; QChar() for none.
    void SetAdditionalDecimalSeparator(QChar key) { FAdditionalDecimalSeparator = key; }
    // Called for Enter and line feed, which are then discarded. Without it Enter goes on to the
    // window, where a dialog presses its default button.
    void SetOnEnterPress(KeyPressHandler handler) { FOnEnterPress = std::move(handler); }
    // The owner's key-press event.
    void SetOnKeyPress(KeyPressHandler handler) { OnKeyPress_ = std::move(handler); }

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void ShowError();
    QString Fixed(long double value) const;
    // The key filter for a character from 32 to 1103; true when it is inserted.
    void FilterPrintable(QChar key);
    // The standard handling: the owner's key-press event and, unless it discarded the key and
    // `insert` is set, the key inserted in place of the selection.
    void StandardKeyPress(QChar key, bool insertKey);
    // The text and selection before a paste, to put back when the pasted text is no number.
    struct PasteMark {
        QString Text;
        int Start = 0;
        int Length = 0;
    };
    PasteMark MarkBeforePaste() const;
    // After a paste: a number above Max becomes Max; a text that is no number is undone.
    void CheckPasted(const PasteMark& before);
    void PasteFromClipboard();

    QChar FAdditionalDecimalSeparator;
    uint8_t FDigits = 1;
    long double FMin = 0;
    long double FMax = 100;
    QChar FDec;
    QString FErrorText;
    long double FOldVal = 0;
    Qt::Alignment FAlignment = Qt::AlignRight;
    KeyPressHandler FOnEnterPress;
    long double FTempValue = 0;

    KeyPressHandler OnKeyPress_;
    SystemFacilities* Facilities_ = nullptr;
    bool Loading_ = false;
    bool Entered_ = false; // entered and not yet left: window switches keep FOldVal
    bool Leaving_ = false; // inside the leaving check (its message box moves the focus)
};

class TFloatEdit : public TCustomFloatEdit {
    Q_OBJECT
  public:
    using TCustomFloatEdit::TCustomFloatEdit;

    using TCustomFloatEdit::AdditionalDecimalSeparator;
    using TCustomFloatEdit::Alignment;
    using TCustomFloatEdit::Digits;
    using TCustomFloatEdit::ErrorMessage;
    using TCustomFloatEdit::Max;
    using TCustomFloatEdit::Min;
    using TCustomFloatEdit::SetAdditionalDecimalSeparator;
    using TCustomFloatEdit::SetAlignment;
    using TCustomFloatEdit::SetDigits;
    using TCustomFloatEdit::SetErrorMessage;
    using TCustomFloatEdit::SetMax;
    using TCustomFloatEdit::SetMin;
    using TCustomFloatEdit::SetOnEnterPress;
    using TCustomFloatEdit::SetOnKeyPress;
    using TCustomFloatEdit::SetValue;
    using TCustomFloatEdit::Value;
};

} // namespace vr410
