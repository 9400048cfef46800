// The hidden command menu, built from the protocol's command table.
#include "shell/command_menu.h"

#include "protocol/commands.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <string>

namespace vr410 {

CommandMenu::CommandMenu(QObject* parent)
    : QObject(parent), N11(new QAction(QStringLiteral("Передать"), this)),
      N12(new QAction(QStringLiteral("Остановить передачу"), this)),
      Group_(new QActionGroup(this)) {
    N11->setObjectName(QStringLiteral("N11"));
    N12->setObjectName(QStringLiteral("N12"));
    // Radio items with automatic check: the selected command carries the mark.
    Group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const CommandInfo& command : CommandTable) {
        auto* item = new QAction(QString::fromUtf8(command.Caption.data(),
                                                   static_cast<qsizetype>(command.Caption.size())),
                                 this);
        item->setObjectName(QString::fromUtf8(command.MenuItem.data(),
                                              static_cast<qsizetype>(command.MenuItem.size())));
        item->setData(command.Code); // the item's tag
        item->setCheckable(true);
        Group_->addAction(item);
        Items_.push_back(item);
    }
}

QAction* CommandMenu::Item(uint8_t code) const {
    for (QAction* item : Items_) {
        if (item->data().toInt() == code) {
            return item;
        }
    }
    return nullptr;
}

QAction* CommandMenu::ItemNamed(const char* name) const {
    const QString wanted = QString::fromLatin1(name);
    for (QAction* item : Items_) {
        if (item->objectName() == wanted) {
            return item;
        }
    }
    return nullptr;
}

bool CommandMenu::Click(QAction* item) {
    if (item == nullptr || !item->isEnabled()) {
        return false;
    }
    item->trigger();
    return true;
}

void CommandMenu::SetCancelHint(const QString& hint) {
    if (QAction* item = Item(49)) {
        item->setStatusTip(hint);
    }
}

QString CommandMenu::CancelHint() const {
    QAction* item = Item(49);
    return item != nullptr ? item->statusTip() : QString();
}

void CommandMenu::AddItemsTo(QMenu& menu) const {
    for (size_t i = 0; i < Items_.size(); ++i) {
        if (CommandTable[i].SeparatorBefore) {
            menu.addSeparator();
        }
        menu.addAction(Items_[i]);
    }
}

} // namespace vr410
