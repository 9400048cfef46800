// The about box.
#include "shell/form_about.h"

#include "protocol/function_codes.h"
#include "shell/dialog_model.h"
#include "shell/window_placement.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

#include <variant>

#ifndef VR410_VERSION
#define VR410_VERSION "?"
#endif
#ifndef VR410_BUILD_TYPE
#define VR410_BUILD_TYPE "?"
#endif
#ifndef VR410_COMPILER
#define VR410_COMPILER "?"
#endif

namespace vr410 {

namespace {

constexpr int PictureWidth = 210;
constexpr int PictureHeight = 41;
constexpr int FirmwareLineWidth = 189;
const char* const NoLinkText = "Версия встроенного ПО: нет связи!";

QLabel* MakeLine(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name) {
    auto* group = new QGroupBox(parent);
    group->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(1);
    return group;
}

} // namespace

QImage InstrumentFrontPicture() {
    QImage picture(PictureWidth, PictureHeight, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    // The case: a light grey front with a darker rim.
    QLinearGradient front(0, 0, 0, PictureHeight);
    front.setColorAt(0, QColor(0xE4, 0xE6, 0xE8));
    front.setColorAt(1, QColor(0xB8, 0xBC, 0xC0));
    p.setPen(QPen(QColor(0x60, 0x64, 0x68), 1));
    p.setBrush(front);
    p.drawRoundedRect(QRectF(0.5, 0.5, PictureWidth - 1, PictureHeight - 1), 4, 4);

    // The display: two rows of dot-matrix characters on a dark window.
    const QRectF display(6, 6, 118, 29);
    p.setPen(QPen(QColor(0x20, 0x24, 0x28), 1));
    p.setBrush(QColor(0x10, 0x18, 0x10));
    p.drawRect(display);
    p.setPen(Qt::NoPen);
    // Which 2 x 2 pixel dots are lit in each row: a reading in the first row, a mark and a
    // shorter text in the second.
    const char* const rows[2] = {"  ## ### ### ### ###  #", " #   ## ## ##        # "};
    const QColor lit(0x60, 0xF0, 0x70);
    const QColor dim(0x1C, 0x34, 0x20);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; rows[row][column] != '\0'; ++column) {
            for (int dot = 0; dot < 4; ++dot) {
                const bool on = rows[row][column] == '#' && (dot + column + row) % 3 != 0;
                p.setBrush(on ? lit : dim);
                const int dotColumn = dot % 2;
                const int dotRow = dot / 2;
                p.drawRect(QRectF(display.left() + 3 + column * 5 + dotColumn * 2,
                                  display.top() + 4 + row * 12 + dotRow * 4, 1.6, 3));
            }
        }
    }

    // The keypad: three rows of six keys, "Ввод" in blue.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 6; ++column) {
            const QRectF key(131 + column * 13, 5 + row * 11, 11, 9);
            const bool enter = row == 0 && column == 0;
            p.setPen(QPen(QColor(0x50, 0x54, 0x58), 1));
            p.setBrush(enter ? QColor(0x30, 0x60, 0xC0) : QColor(0xF4, 0xF4, 0xF4));
            p.drawRoundedRect(key, 2, 2);
        }
    }
    return picture;
}

TFormAbout::TFormAbout(QWidget& owner, const QString& settingsPath) : QDialog(&owner) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    // A dialog border: a title and a close box, no resizing, no maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowModality(Qt::ApplicationModal);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap::fromImage(InstrumentFrontPicture()));
    Image1->setFixedSize(PictureWidth, PictureHeight);
    layout->addWidget(Image1, 0, Qt::AlignHCenter);

    QGroupBox* program = MakeGroup(this, "GroupBox1");
    program->layout()->addWidget(
        MakeLine(program, "Label1", QStringLiteral("Удаленное управление VR410")));
    program->layout()->addWidget(
        MakeLine(program, "Label2", QStringLiteral("Версия внешнего ПО 2.0")));
    Label10 = MakeLine(program, "Label10", QString::fromUtf8(NoLinkText));
    program->layout()->addWidget(Label10);
    // This build: the program's own version, how it was built, and the Qt it runs on.
    program->layout()->addWidget(
        MakeLine(program, "LabelBuild",
                 QStringLiteral("Сборка %1 (%2), %3")
                     .arg(QStringLiteral(VR410_VERSION), QStringLiteral(VR410_BUILD_TYPE),
                          QStringLiteral(VR410_COMPILER))));
    program->layout()->addWidget(
        MakeLine(program, "LabelQt", QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion()))));
    layout->addWidget(program);

    // Where the program keeps its settings, and where its help is.
    QGroupBox* files = MakeGroup(this, "GroupBox2");
    files->layout()->addWidget(MakeLine(files, "LabelSettings", QStringLiteral("Файл настроек:")));
    QLabel* path = MakeLine(files, "LabelSettingsPath", QString());
    path->setToolTip(settingsPath);
    files->layout()->addWidget(path);
    files->layout()->addWidget(MakeLine(files, "LabelHelp", QStringLiteral("Справка: клавиша F1")));
    layout->addWidget(files);

    layout->addStretch(1);
    Button1 = new QPushButton(QStringLiteral("ОК"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    Path_ = path;
    SettingsPath_ = QFileInfo(settingsPath).absoluteFilePath();
    // The path, which can be of any length, takes the width there is (FitContents).
    path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setFixedSize(ClientWidth, ClientHeight);
    CentreOnFirstShow(*this, owner);
}

void TFormAbout::ShowModal() {
    show();
    raise();
    activateWindow();
}

void TFormAbout::ShowFirmwareLine(const std::string& text) {
    Label10->setText(QString::fromStdString(text));
}

void TFormAbout::FitContents() {
    // The design size, unless the texts need more in the font at hand (the design font is
    // rarely installed outside Windows, and desktops differ in their font sizes); then the
    // path is shortened in the middle to the width it has.
    Path_->clear();
    // The firmware line at least as wide as its design width, wider where its longest text,
    // the one it shows now, needs it.
    Label10->setMinimumSize(Label10->sizeHint().expandedTo(QSize(FirmwareLineWidth, 0)));
    layout()->activate();
    setFixedSize(QSize(ClientWidth, ClientHeight).expandedTo(layout()->minimumSize()));
    layout()->activate();
    Path_->setText(Path_->fontMetrics().elidedText(SettingsPath_, Qt::ElideMiddle,
                                                   Path_->contentsRect().width()));
}

void TFormAbout::showEvent(QShowEvent* event) {
    Label10->setText(QString::fromUtf8(NoLinkText));
    FitContents();
    QDialog::showEvent(event);
}

void FollowFirmwareAnswers(TFormAbout& about, engine::EventStream& events,
                           const DialogModel& dialogs) {
    events.Subscribe([&about, &dialogs](const engine::EngineEvent& event) {
        const auto* decoded = std::get_if<engine::AnswerDecoded>(&event);
        if (decoded != nullptr && decoded->Code == FunctionCode::ExchangeTest &&
            about.isVisible()) {
            about.ShowFirmwareLine(dialogs.FirmwareLabel);
        }
    });
}

} // namespace vr410
