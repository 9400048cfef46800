#include "shell/widgets/num_edit.h"

#include "shell/widgets/entry_feedback.h"
#include "shell/widgets/float_text.h"

#include <QKeyEvent>

namespace vr410 {

namespace {

constexpr char16_t Backspace = 8;
constexpr char16_t Enter = 13;
constexpr char16_t Escape = 27;

bool PassesIntegerFilter(QChar key) {
    const char16_t code = key.unicode();
    return code == Backspace || code == Enter || key == QLatin1Char('+') ||
           key == QLatin1Char('-') || (key >= QLatin1Char('0') && key <= QLatin1Char('9'));
}

} // namespace

TIntEdit::TIntEdit(QWidget* parent) : QLineEdit(QStringLiteral("0"), parent) {
    resize(33, sizeHint().height());
    // A dropped text would skip the key filter; a plain edit box takes no drops either.
    setAcceptDrops(false);
}

int64_t TIntEdit::Value() const {
    return ParseInt32(text()).value_or(0);
}

void TIntEdit::SetValue(int64_t value) {
    setText(QString::number(value));
}

void TIntEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.size() != 1 || typed.front().unicode() == Escape) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QChar key = typed.front();
    if (!PassesIntegerFilter(key)) {
        EntryBeep(Facilities_);
        event->accept();
        return;
    }
    if (OnKeyPress_) {
        OnKeyPress_(key);
    }
    if (key.isNull()) {
        event->accept();
        return;
    }
    if (key != typed.front()) {
        insert(QString(key));
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace vr410
