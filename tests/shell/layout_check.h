// Whether a window shows every control whole: each visible label, button, check box and field
// lies inside its parent and is at least as large as its text needs. With QT_SCALE_FACTOR=2 or a
// larger desktop font, fixed sizes that ignore the font are what clips; layouts do not.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <string>
#include <vector>

namespace vr410::test {

// One line per clipped control: its object name (or class) and how it is clipped. Empty when
// nothing is clipped. Controls that scroll or wrap their text by design are not checked for
// their text.
inline std::vector<std::string> ClippedControls(const QWidget& window) {
    std::vector<std::string> clipped;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&window) || child->isWindow()) {
            continue;
        }
        const bool textual = qobject_cast<const QAbstractButton*>(child) != nullptr ||
                             qobject_cast<const QLineEdit*>(child) != nullptr ||
                             (qobject_cast<const QLabel*>(child) != nullptr &&
                              !static_cast<const QLabel*>(child)->wordWrap());
        std::string name = child->objectName().toStdString();
        if (name.empty()) {
            name = child->metaObject()->className();
        }
        const QWidget* parent = child->parentWidget();
        if (parent != nullptr && !parent->rect().contains(child->geometry())) {
            clipped.push_back(name + ": outside its parent");
        }
        if (textual) {
            const QSize needed =
                child->minimumSizeHint().isValid() && qobject_cast<const QLabel*>(child) == nullptr
                    ? child->minimumSizeHint()
                    : child->sizeHint();
            if (child->width() < needed.width() || child->height() < needed.height()) {
                clipped.push_back(name + ": " + std::to_string(child->width()) + " x " +
                                  std::to_string(child->height()) + " for " +
                                  std::to_string(needed.width()) + " x " +
                                  std::to_string(needed.height()));
            }
        }
    }
    return clipped;
}

} // namespace vr410::test
