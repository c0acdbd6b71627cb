#include "menus/MenuCommands.h"


QString MenuCommandCaption(TMenuCommand cmd) {
  return cmd < MenuCommandCount ? QString::fromUtf8(MenuCommandInfo[cmd].caption) : QString();
}

QString MenuCommandName(TMenuCommand cmd) {
  return cmd < MenuCommandCount ? QString::fromLatin1(MenuCommandInfo[cmd].name) : QString();
}

TMenuCommand MenuCommandFromInt(int value) {
  return value >= 0 && value < MenuCommandCount ? static_cast<TMenuCommand>(value) : cmdNone;
}

bool IsStateCommand(TMenuCommand cmd) { return cmd < MenuCommandCount && MenuCommandInfo[cmd].state; }

TCommandCarrier* CommandCarrierOf(QObject* sender) { return dynamic_cast<TCommandCarrier*>(sender); }
