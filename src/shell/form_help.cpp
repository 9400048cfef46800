// The help window and its text.
#include "shell/form_help.h"

#include "shell/window_placement.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

namespace vr410 {

QString HelpText() {
    // One paragraph per entry; the window wraps the lines.
    static const QStringList paragraphs = {
        QStringLiteral(
            "  Программа удаленного управления системой VR410 позволяет управлять системой VR410 "
            "по последовательным интерфейсам RS232, RS485 и USB. Порт RS232 прибора "
            "подключается к COM-порту компьютера напрямую. На одной шине RS485 может работать "
            "несколько приборов; компьютер подключается к ней через преобразователь RS232-RS485 "
            "или USB-RS485, который поставляется отдельно. Адаптер USB подключается к "
            "USB-порту компьютера."),
        QStringLiteral(
            "  Перед началом работы выберите канал связи в меню «Связь». Для RS232 (напрямую "
            "или через преобразователь) отметьте порт в подменю «COM»: «COM1»...«COM6» или "
            "«COM...» для порта с другим номером; «No Port» освобождает порт. Для USB выберите "
            "устройство в подменю «USB». Если подключенный и включенный прибор в этом списке "
            "отсутствует, обновите список командой «Найти USB устройства» (Ctrl+U). Порт и его "
            "состояние показаны в строке состояния; «готов» означает, что порт открыт."),
        QStringLiteral(
            "  В Linux порты нумеруются так же, как в Windows: COM-порт с номером n - это n-е "
            "последовательное устройство в таком порядке: встроенные порты ttyS0, ttyS1... "
            "(только имеющие оборудование), затем адаптеры ttyUSB0, ttyUSB1..., затем "
            "устройства ttyACM0... Номера меняются, когда адаптеры подключают или отключают. "
            "Чтобы закрепить номер за устройством, добавьте в файл VR410.ini рядом с программой "
            "раздел [Ports] со строкой вида COM5=/dev/serial/by-id/... Для доступа к портам "
            "пользователь должен входить в группу dialout."),
        QStringLiteral(
            "  Программа, запущенная с ключом --virtual, работает без прибора: любой COM-порт "
            "ведет к виртуальному прибору с адресом 1 и к виртуальному VR410С с адресом 251, а "
            "настройки хранятся в отдельном файле VR410-virtual.ini."),
        QStringLiteral(
            "  Перед работой задайте адрес прибора, к которому обращается программа. Это важно, "
            "когда к одной шине RS485 подключено несколько приборов: каждый прибор отвечает "
            "только на свой адрес. Приборы поставляются с адресом \"1\". Адрес прибора задается "
            "командой «Адрес назначения...», адрес компьютера - командой «Адрес "
            "компьютера...» меню «Связь»."),
        QStringLiteral(
            "  Прибором управляют так же, как с его передней панели: индикатор и клавиатура "
            "прибора повторены в окне программы, функции синих надписей вызываются клавишей "
            "«Ряд». Напряжение и ток вводятся не цифровыми клавишами, а в поле «Выходное "
            "значение», после чего нажимается «Ввод»; частота переменного напряжения и тока "
            "задается в поле «Частота» в пределах, допустимых на выбранном пределе. Если "
            "подключен VR410С, окно управления им открывает пункт «VR410С» меню «Главное» "
            "(Ctrl+I). Настройки прибора (звук, яркость, время индикации и другие) изменяются "
            "не через меню прибора, а в окне настроек, которое открывают клавиши «Ряд» и "
            "«МЕНЮ»."),
        QStringLiteral(
            "  Пункт «Показывать посылки» (Ctrl+Q) меню «Главное» показывает команду, ответ "
            "прибора и сами посылки в шестнадцатеричном виде. Справка открывается клавишей F1, "
            "клавиша Esc ее закрывает."),
    };
    return paragraphs.join(QStringLiteral("\n\n"));
}

TFormHelp::TFormHelp(const QWidget& owner) : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("FormHelp"));
    setWindowTitle(QStringLiteral("Справка"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setPlainText(HelpText());
    Memo1->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    resize(ClientWidth, ClientHeight);
    CentreOnFirstShow(*this, owner);
}

void TFormHelp::ShowHelp() {
    show();
    raise();
    activateWindow();
}

bool TFormHelp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFormHelp::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vr410
