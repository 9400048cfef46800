// Whether a window shows every control whole: each visible label, button, check box and field
// lies inside its parent and is at least as large as its text needs. With QT_SCALE_FACTOR=2 or a
// larger desktop font, fixed sizes that ignore the font are what clips; layouts do not.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace vr410::test {

// What a push button's caption and icon need: their size plus the style's margin, frame and
// default-button indicator. The style's size hint adds a least width for every captioned button
// (80 pixels in Fusion, 75 in the Windows styles) that has nothing to do with the caption, so a
// narrower button that holds its caption is not cut off.
inline QSize PushButtonContentsNeed(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    QSize contents = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
    if (!button.icon().isNull()) {
        contents.rwidth() += button.iconSize().width() + 4;
        contents.setHeight(std::max(contents.height(), button.iconSize().height()));
    }
    const QStyle* style = button.style();
    int extra = style->pixelMetric(QStyle::PM_ButtonMargin, &option, &button) +
                2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    if (button.autoDefault() || button.isDefault()) {
        extra += 2 * style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, &option, &button);
    }
    return contents + QSize(extra, extra);
}

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
            QSize needed =
                child->minimumSizeHint().isValid() && qobject_cast<const QLabel*>(child) == nullptr
                    ? child->minimumSizeHint()
                    : child->sizeHint();
            if (const auto* push = qobject_cast<const QPushButton*>(child);
                push != nullptr && !push->text().isEmpty()) {
                needed = needed.boundedTo(PushButtonContentsNeed(*push));
            }
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
