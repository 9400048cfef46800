#include "panel/keypad/edit_mask.h"

#include <algorithm>

namespace vr410 {
namespace {
const QChar BlankShown = u'0';
} // namespace

void EditMask::SetMask(const QString& mask) {
    const QString kept = Digits();
    Slots_.clear();
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u';') {
            break;
        }
        if (c == u'\\' && i + 1 < mask.size()) {
            Slots_.push_back({false, mask[++i]});
        } else if (c == u'0' || c == u'9') {
            Slots_.push_back({true, BlankShown});
        } else {
            Slots_.push_back({false, c});
        }
    }
    SetDigits(kept);
}

void EditMask::SetDigits(const QString& text) {
    int next = 0;
    for (Slot& slot : Slots_) {
        if (!slot.IsDigit) {
            continue;
        }
        const QChar c = next < text.size() ? text[next] : BlankShown;
        slot.Char = (c >= u'0' && c <= u'9') ? c : BlankShown;
        ++next;
    }
}

QString EditMask::Text() const {
    QString text;
    text.reserve(Slots_.size());
    for (const Slot& slot : Slots_) {
        text.append(slot.Char);
    }
    return text;
}

QString EditMask::Digits() const {
    QString digits;
    for (const Slot& slot : Slots_) {
        if (slot.IsDigit) {
            digits.append(slot.Char);
        }
    }
    return digits;
}

int EditMask::DigitCount() const {
    return static_cast<int>(
        std::count_if(Slots_.begin(), Slots_.end(), [](const Slot& s) { return s.IsDigit; }));
}

int EditMask::FirstDigitAtOrAfter(int index) const {
    for (int i = std::max(index, 0); i < Length(); ++i) {
        if (Slots_[i].IsDigit) {
            return i;
        }
    }
    return -1;
}

int EditMask::LastDigitBefore(int index) const {
    for (int i = std::min(index, Length()) - 1; i >= 0; --i) {
        if (Slots_[i].IsDigit) {
            return i;
        }
    }
    return -1;
}

int EditMask::TypeDigit(int caret, QChar digit) {
    const int at = FirstDigitAtOrAfter(caret);
    if (at < 0 || digit < u'0' || digit > u'9') {
        return -1;
    }
    Slots_[at].Char = digit;
    return at + 1;
}

int EditMask::Backspace(int caret) {
    const int at = LastDigitBefore(caret);
    if (at < 0) {
        return caret;
    }
    Slots_[at].Char = BlankShown;
    return at;
}

int EditMask::Delete(int caret) {
    const int at = FirstDigitAtOrAfter(caret);
    if (at >= 0) {
        Slots_[at].Char = BlankShown;
    }
    return caret;
}

int EditMask::FirstStop() const {
    const int first = FirstDigitAtOrAfter(0);
    return first < 0 ? 0 : first;
}

int EditMask::LastStop() const {
    const int last = LastDigitBefore(Length());
    return last < 0 ? 0 : last + 1;
}

int EditMask::NextStop(int caret) const {
    const int next = FirstDigitAtOrAfter(caret + 1);
    return next < 0 ? LastStop() : std::max(next, FirstStop());
}

int EditMask::PreviousStop(int caret) const {
    if (caret > LastStop()) {
        return LastStop();
    }
    const int previous = LastDigitBefore(caret);
    return previous < 0 ? FirstStop() : previous;
}

} // namespace vr410
