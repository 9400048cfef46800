#include "panel/keypad/masked_digit_edit.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QStyle>
#include <QStyleOptionFrame>

namespace vr410 {

MaskedDigitEdit::MaskedDigitEdit(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // QLineEdit still edits its text itself on a few paths the key handling never sees (the
    // middle-button paste of the X11 selection, insert()); the layout is put back at once, and
    // the value, which lives in Content_, is untouched.
    connect(this, &QLineEdit::textEdited, this,
            [this] { Show(std::min(cursorPosition(), Content_.Length())); });
}

void MaskedDigitEdit::Show(int caret) {
    const QSignalBlocker blocker(this);
    setText(Content_.Text());
    setCursorPosition(caret);
}

void MaskedDigitEdit::SetMask(const QString& mask) {
    const int caret = cursorPosition();
    Content_.SetMask(mask);
    Show(std::min(caret, Content_.Length()));
    FitText();
}

void MaskedDigitEdit::SetLeastSize(const QSize& size) {
    LeastSize_ = size;
    FitText();
}

void MaskedDigitEdit::FitText() {
    // What QLineEdit's own size hint adds around a text: 2 pixels of margin on each side, the
    // caret's width, the text margins and then the frame the style draws.
    constexpr int SideMargin = 2;
    constexpr int CaretWidth = 1;
    const QFontMetrics metrics = fontMetrics();
    const QMargins margins = textMargins();
    const QSize text(metrics.horizontalAdvance(Content_.Text()) + 2 * SideMargin + CaretWidth +
                         margins.left() + margins.right(),
                     metrics.height() + 2 + margins.top() + margins.bottom());
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize needed = style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this);
    setFixedSize(needed.expandedTo(LeastSize_));
}

void MaskedDigitEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitText();
    }
}

void MaskedDigitEdit::SetDigits(const QString& text) {
    const QString before = Content_.Text();
    Content_.SetDigits(text);
    if (Content_.Text() == before) {
        return;
    }
    Show(std::min(cursorPosition(), Content_.Length()));
    emit Changed(false);
}

void MaskedDigitEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    emit KeyDown(key == Qt::Key_Backspace || key == Qt::Key_Delete);

    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    const QString before = Content_.Digits();
    switch (key) {
    case Qt::Key_Backspace:
        Show(Content_.Backspace(caret));
        if (Content_.Digits() != before) {
            emit Changed(true);
        }
        return;
    case Qt::Key_Delete:
        Show(Content_.Delete(caret));
        if (Content_.Digits() != before) {
            emit Changed(true);
        }
        return;
    case Qt::Key_Left:
        setCursorPosition(Content_.PreviousStop(caret));
        return;
    case Qt::Key_Right:
        setCursorPosition(Content_.NextStop(caret));
        return;
    case Qt::Key_Home:
        setCursorPosition(Content_.FirstStop());
        return;
    case Qt::Key_End:
        setCursorPosition(Content_.LastStop());
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->ignore();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed[0] >= u'0' && typed[0] <= u'9' &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const int next = Content_.TypeDigit(caret, typed[0]);
        if (next >= 0) {
            Show(next);
            if (Content_.Digits() != before) {
                emit Changed(true);
            } else {
                emit Retyped();
            }
            return;
        }
    }
    // Anything else (letters, signs, paste, undo) is refused.
    event->accept();
}

void MaskedDigitEdit::focusInEvent(QFocusEvent* event) {
    const int caret = cursorPosition();
    QLineEdit::focusInEvent(event);
    deselect();
    setCursorPosition(caret);
}

void MaskedDigitEdit::inputMethodEvent(QInputMethodEvent* event) {
    event->ignore();
}

} // namespace vr410
