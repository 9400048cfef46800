#include "shell/widgets/float_edit.h"

#include "shell/widgets/entry_feedback.h"
#include "shell/widgets/float_text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>

#include <memory>
#include <utility>

namespace vr410 {

namespace {

constexpr char16_t LineFeed = 10;
constexpr char16_t Enter = 13;
constexpr char16_t Escape = 27;
constexpr char16_t FirstPrintable = 32;
constexpr char16_t FirstUnfiltered = 0x450; // from here on characters pass unfiltered

// Focus moving to another control of the window, as opposed to the window losing the activation
// or a menu popping up, which does not leave the box.
bool MovesWithinWindow(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

TCustomFloatEdit::TCustomFloatEdit(QWidget* parent)
    : QLineEdit(parent), FDec(QLocale().decimalPoint().front()) {
    QLineEdit::setAlignment(FAlignment);
    // A dropped text would skip the key filter; a plain edit box takes no drops either.
    setAcceptDrops(false);
    setText(Fixed(FMin));
}

QString TCustomFloatEdit::Fixed(long double value) const {
    return FixedForm(value, FDigits, FDec);
}

void TCustomFloatEdit::ShowError() {
    if (!FErrorText.isEmpty()) {
        EntryMessage(Facilities_, FErrorText, this);
    }
}

long double TCustomFloatEdit::Value() const {
    if (Loading_) {
        return FTempValue;
    }
    QString shown = text();
    if (shown == QLatin1String("-") || shown == QString(FDec) || shown.isEmpty() ||
        shown == QLatin1String("E")) {
        shown = QStringLiteral("0");
    }
    long double value = ParseDecimal(shown, FDec).value_or(FMin);
    if (value < FMin) {
        value = FMin;
    }
    if (value > FMax) {
        value = FMax;
    }
    return value;
}

void TCustomFloatEdit::SetValue(long double value) {
    if (Loading_) {
        FTempValue = value;
        return;
    }
    if (value > FMax) {
        ShowError();
        value = FMax;
    }
    if (value < FMin) {
        ShowError();
        value = FMin;
    }
    setText(Fixed(value));
}

void TCustomFloatEdit::SetDigits(uint8_t digits) {
    if (digits == FDigits) {
        return;
    }
    FDigits = std::min(digits, MaxDigits);
    SetValue(Value());
}

void TCustomFloatEdit::SetMin(long double value) {
    if (value == FMin) {
        return;
    }
    if (value > FMax && !Loading_) {
        throw FloatEditRangeError(MinAboveMaxText);
    }
    FMin = value;
    SetValue(Value());
}

void TCustomFloatEdit::SetMax(long double value) {
    if (value == FMax) {
        return;
    }
    if (value < FMin && !Loading_) {
        throw FloatEditRangeError(MaxBelowMinText);
    }
    FMax = value;
    SetValue(Value());
}

void TCustomFloatEdit::SetAlignment(Qt::Alignment alignment) {
    if (alignment == FAlignment) {
        return;
    }
    FAlignment = alignment;
    QLineEdit::setAlignment(alignment);
}

void TCustomFloatEdit::Loaded() {
    Loading_ = false;
    if (FMin > FMax) {
        std::swap(FMin, FMax);
    }
    SetValue(FTempValue);
}

void TCustomFloatEdit::StandardKeyPress(QChar key, bool insertKey) {
    if (OnKeyPress_) {
        OnKeyPress_(key);
    }
    if (insertKey && !key.isNull()) {
        insert(QString(key));
    }
}

void TCustomFloatEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (typed.size() != 1) {
        QLineEdit::keyPressEvent(event); // keys without a character: arrows, Delete, ...
        return;
    }
    QChar key = typed.front();
    if (!FAdditionalDecimalSeparator.isNull() && key == FAdditionalDecimalSeparator) {
        key = FDec;
    }
    const char16_t code = key.unicode();
    if (code == LineFeed || code == Enter) {
        if (FOnEnterPress) {
            FOnEnterPress(key);
            event->accept();
        } else {
            event->ignore(); // the window's default button takes it
        }
        return;
    }
    if (code == Escape) {
        SetValue(FOldVal);
        selectAll();
        event->ignore(); // a dialog still closes on it
        return;
    }
    if (code < FirstPrintable || code >= FirstUnfiltered) {
        if (OnKeyPress_) {
            OnKeyPress_(key);
            if (key.isNull()) {
                event->accept();
                return;
            }
        }
        QLineEdit::keyPressEvent(event); // Backspace and the clipboard keys work as usual
        return;
    }
    FilterPrintable(key);
    event->accept();
}

void TCustomFloatEdit::FilterPrintable(QChar key) {
    const bool allowed = key == QLatin1Char('-') ||
                         (key >= QLatin1Char('0') && key <= QLatin1Char('9')) ||
                         key == QLatin1Char('E') || key == QLatin1Char('e') || key == FDec;
    if (!allowed) {
        StandardKeyPress(key, false); // the owner sees it; it is not inserted, no sound
        return;
    }
    const QString current = text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    const QString candidate = current.left(start) + key + current.mid(start + length);

    if (candidate == QLatin1String("-")) {
        StandardKeyPress(key, false);
        setText(QStringLiteral("-0"));
        setSelection(1, 1); // the next digit replaces the 0
        return;
    }
    if (candidate == QString(FDec)) {
        StandardKeyPress(key, false);
        setText(QStringLiteral("0") + FDec + QStringLiteral("0"));
        setSelection(2, 1);
        return;
    }
    const std::optional<long double> value = ParseDecimal(candidate, FDec);
    bool refused = !value || *value > FMax || (key == FDec && FDigits == 0);
    if (!refused && !candidate.contains(QLatin1Char('E'), Qt::CaseInsensitive)) {
        const qsizetype separatorAt = candidate.indexOf(FDec); // 0-based
        // Decimals after the separator: the length less its 1-based position.
        refused = separatorAt >= 0 && candidate.size() - (separatorAt + 1) > FDigits;
    }
    StandardKeyPress(key, !refused);
}

TCustomFloatEdit::PasteMark TCustomFloatEdit::MarkBeforePaste() const {
    return {.Text = text(),
            .Start = hasSelectedText() ? selectionStart() : cursorPosition(),
            .Length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0};
}

void TCustomFloatEdit::CheckPasted(const PasteMark& before) {
    const std::optional<long double> value = ParseDecimal(text(), FDec);
    if (value) {
        if (*value > FMax) {
            SetValue(FMax);
        }
        return;
    }
    setText(before.Text);
    if (before.Length > 0) {
        setSelection(before.Start, before.Length);
    } else {
        setCursorPosition(before.Start);
    }
}

void TCustomFloatEdit::PasteFromClipboard() {
    if (isReadOnly()) {
        return;
    }
    const PasteMark before = MarkBeforePaste();
    paste();
    CheckPasted(before);
}

void TCustomFloatEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton || isReadOnly()) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    // The middle button pastes the X11 selection: the same check as any paste.
    const PasteMark before = MarkBeforePaste();
    QLineEdit::mouseReleaseEvent(event);
    if (text() != before.Text) {
        CheckPasted(before);
    }
}

void TCustomFloatEdit::contextMenuEvent(QContextMenuEvent* event) {
    // The menu's "Paste" goes through the same check as the keyboard's.
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &TCustomFloatEdit::PasteFromClipboard);
        }
    }
    menu->exec(event->globalPos());
}

void TCustomFloatEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Also the first focus of a window being shown enters; the return to a window that was left
    // for another one does not, as the box was never left.
    if (Entered_) {
        return;
    }
    Entered_ = true;
    if (event->reason() != Qt::MouseFocusReason) {
        selectAll();
    }
    FOldVal = Value();
}

void TCustomFloatEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!Leaving_ && Entered_ && isVisible() && MovesWithinWindow(event->reason())) {
        CheckOnExit();
    }
}

void TCustomFloatEdit::hideEvent(QHideEvent* event) {
    QLineEdit::hideEvent(event);
    Entered_ = false; // its window closed: the next show enters anew
}

bool TCustomFloatEdit::CheckOnExit() {
    Leaving_ = true;
    QString shown = text();
    if (shown.isEmpty()) {
        shown = Fixed(FMin);
    }
    const std::optional<long double> value = ParseDecimal(shown, FDec);
    if (!value || *value < FMin || *value > FMax) {
        ShowError();
        SetValue(FOldVal);
        selectAll();
        setFocus(Qt::OtherFocusReason);
        Leaving_ = false;
        return false;
    }
    setText(Fixed(*value));
    SetValue(ParseDecimal(text(), FDec).value_or(FMin));
    Entered_ = false;
    Leaving_ = false;
    return true;
}

} // namespace vr410
