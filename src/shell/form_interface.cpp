// The packet monitor window.
#include "shell/form_interface.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <algorithm>

namespace vr410 {

namespace {

// The hex lines start here, or further right when a caption is wider in the font at hand (the
// design font is rarely installed outside Windows).
constexpr int DesignTextLeft = 104;
constexpr int CaptionGap = 4;
constexpr int DesignSecondLineTop = 15;
// The smallest window still shows the captions and this many bytes of each line.
constexpr int MinimumBytesShown = 4;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(12);
    font.setBold(bold);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TFormInterface::TFormInterface(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormInterface"));
    setWindowTitle(QStringLiteral("Посылки через интерфейс"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    resize(684, 31);
    QLabel* label3 = MakeLabel(this, "Label3", QStringLiteral("Посылка в прибор:"), false);
    LabelSend = MakeLabel(this, "LabelSend", QString(), true);
    QLabel* label5 = MakeLabel(this, "Label5", QStringLiteral("Ответ из прибора:"), false);
    LabelReceive = MakeLabel(this, "LabelReceive", QString(), true);

    const int captionWidth = std::max(label3->sizeHint().width(), label5->sizeHint().width());
    const int textLeft = std::max(DesignTextLeft, captionWidth + CaptionGap);
    const int secondLineTop = std::max(DesignSecondLineTop, label3->sizeHint().height());
    label3->move(0, 0);
    LabelSend->move(textLeft, 0);
    label5->move(0, secondLineTop);
    LabelReceive->move(textLeft, secondLineTop);

    const QString someBytes = QStringLiteral("00 ").repeated(MinimumBytesShown);
    setMinimumSize(textLeft + LabelSend->fontMetrics().horizontalAdvance(someBytes),
                   secondLineTop + label5->sizeHint().height());
}

void TFormInterface::SetSendLine(const std::string& line) {
    LabelSend->setText(QString::fromStdString(line));
    LabelSend->adjustSize();
}

void TFormInterface::SetReceiveLine(const std::string& line) {
    LabelReceive->setText(QString::fromStdString(line));
    LabelReceive->adjustSize();
}

QString TFormInterface::SendLine() const {
    return LabelSend->text();
}
QString TFormInterface::ReceiveLine() const {
    return LabelReceive->text();
}

QSize TFormInterface::SaneSize(QSize wanted) const {
    const QScreen* where = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    QSize largest = where != nullptr ? where->availableGeometry().size() : wanted;
    largest = largest.expandedTo(minimumSize());
    return wanted.expandedTo(minimumSize()).boundedTo(largest);
}

TFormInterface::~TFormInterface() {
    if (Main_ != nullptr) {
        Main_->removeEventFilter(this);
    }
    if (MainWindowHandle_ != nullptr) {
        MainWindowHandle_->removeEventFilter(this);
    }
}

void TFormInterface::ShowBelow(const QWidget& main, int width, int height) {
    Follow(main);
    PlaceBelow(main, SaneSize(QSize(width, height)));
    show();
    WasShown_ = true;
}

void TFormInterface::PlaceBelow(const QWidget& main, QSize size) {
    const QRect outer = main.frameGeometry();
    QPoint place(outer.left(), outer.top() + outer.height());
    // A window too large to fit below the main window is moved up and left just enough to stay
    // on the screen (but never left of the main window), so that showing it always shows it;
    // its frame is taken to be the main window's, since its own is not known before it is
    // first shown.
    if (const QScreen* where = main.screen(); where != nullptr) {
        const QRect area = where->availableGeometry();
        const QSize frame = outer.size() - main.geometry().size();
        size = size.boundedTo(area.size() - frame).expandedTo(minimumSize());
        const QSize framed = size + frame;
        place.setX(std::max(std::min(outer.left(), area.left()),
                            std::min(place.x(), area.right() + 1 - framed.width())));
        place.setY(std::max(area.top(), std::min(place.y(), area.bottom() + 1 - framed.height())));
    }
    resize(size);
    move(place);
}

void TFormInterface::Follow(const QWidget& main) {
    // The filter only reads the main window; Qt's API wants a non-const object to filter.
    auto* followed = const_cast<QWidget*>(&main);
    if (Main_ != followed) {
        if (Main_ != nullptr) {
            Main_->removeEventFilter(this);
        }
        Main_ = followed;
        Main_->installEventFilter(this);
    }
    if (MainWindowHandle_ == nullptr && main.windowHandle() != nullptr) {
        MainWindowHandle_ = main.windowHandle();
        MainWindowHandle_->installEventFilter(this);
    }
}

bool TFormInterface::eventFilter(QObject* watched, QEvent* event) {
    if (Main_ != nullptr && isVisible()) {
        const QEvent::Type type = event->type();
        if (watched == Main_ && (type == QEvent::Move || type == QEvent::Resize)) {
            PlaceBelow(*Main_, size());
        } else if (watched == MainWindowHandle_ && type == QEvent::Expose && !MainExposed_ &&
                   MainWindowHandle_->isExposed()) {
            MainExposed_ = true;
            PlaceBelow(*Main_, size());
        }
    }
    // The main window's native window is made at its first show, after the monitor may have
    // been shown below it at start-up.
    if (watched == Main_ && event->type() == QEvent::Show && MainWindowHandle_ == nullptr) {
        Follow(*Main_);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vr410
