// Centring a dialog on its owner at its first show.
#include "shell/window_placement.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vr410 {

namespace {

// Watches the dialog's first show, places it, and goes away.
class FirstShowPlacer : public QObject {
  public:
    FirstShowPlacer(QWidget& dialog, const QWidget& owner)
        : QObject(&dialog), Dialog_(&dialog), Owner_(&owner) {
        dialog.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == Dialog_ && event->type() == QEvent::Show) {
            Place();
            Dialog_->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

  private:
    void Place() {
        if (Owner_ == nullptr) {
            return;
        }
        const QWidget* owner = Owner_->window();
        const QRect outer = owner->frameGeometry();
        const QSize ownerFrame = outer.size() - owner->geometry().size();
        const QSize dialogFrame = Dialog_->frameGeometry().size() != Dialog_->geometry().size()
                                      ? Dialog_->frameGeometry().size()
                                      : Dialog_->size() + ownerFrame;
        const QScreen* screen = owner->screen();
        const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
        Dialog_->move(CentredPlace(dialogFrame, outer, area));
    }

    QWidget* Dialog_;
    QPointer<const QWidget> Owner_;
};

} // namespace

QPoint CentredPlace(QSize frame, const QRect& owner, const QRect& area) {
    QPoint place(owner.left() + (owner.width() - frame.width()) / 2,
                 owner.top() + (owner.height() - frame.height()) / 2);
    if (area.isEmpty()) {
        return place;
    }
    place.setX(std::max(area.left(), std::min(place.x(), area.right() + 1 - frame.width())));
    place.setY(std::max(area.top(), std::min(place.y(), area.bottom() + 1 - frame.height())));
    return place;
}

void CentreOnFirstShow(QWidget& dialog, const QWidget& owner) {
    new FirstShowPlacer(dialog, owner); // owned by the dialog until its first show
}

} // namespace vr410
