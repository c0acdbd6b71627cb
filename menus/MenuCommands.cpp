#include "menus/MenuCommands.h"

namespace {
struct CommandInfo {
  const char* name;
  const char* caption;
};

const CommandInfo kCommands[MenuCommandCount] = {
    {"cmdNone", "Нет"},
    {"cmdFileNew", "Новый"},
    {"cmdFileOpen", "Открыть"},
    {"cmdFileSave", "Сохранить"},
    {"cmdFileSaveAs", "Сохранить как"},
    {"cmdFilePrint", "Печать"},
    {"cmdFileOk", "Закрыть и применить"},
    {"cmdFileExit", "Выход"},
    {"cmdEditUndo", "Отменить"},
    {"cmdEditRedo", "Повторить"},
    {"cmdEditCut", "Вырезать"},
    {"cmdEditCopy", "Копировать"},
    {"cmdEditPaste", "Вставить"},
    {"cmdEditDelete", "Очистить"},
    {"cmdEditFind", "Найти"},
    {"cmdEditFindNext", "Найти далее"},
    {"cmdEditFindPrev", "Найти назад"},
    {"cmdEditReplace", "Заменить"},
    {"cmdEditSelectAll", "Выделить все"},
    {"cmdEditDeleteSymbol", "Удалить символ"},
    {"cmdEditInsertSpace", "Вставить пробел"},
    {"cmdEditLowerCase", "Нижний регистр"},
    {"cmdEditUpperCase", "Верхний регистр"},
    {"cmdInsertStack", "Вставить двухэтажный"},
    {"cmdInsertThreeStack", "Вставить трехэтажный"},
    {"cmdInsertDataTime", "Вставить дату/время"},
    {"cmdInsertTolerance", "Вставить допуск"},
    {"cmdInsertString", "Вставить строку"},
    {"cmdInsertQuotedString", "Вставить обрамление"},
    {"cmdInsertFile", "Вставить файл"},
    {"cmdToolsRender", "Визуализировать"},
    {"cmdToolsEditMenus", "Настройка интерфейса"},
    {"cmdToolsNumbering", "Нумерация"},
    {"cmdToolsCharMap", "Таблица символов"},
    {"cmdToolsExecCalc", "Калькулятор"},
    {"cmdToolsRecount", "Пересчет"},
    {"cmdToolsRoman", "Римские"},
    {"cmdToolsWordWrap", "Переносить абзацы"},
    {"cmdToolsOptions", "Параметры"},
    {"cmdHelpCallHelp", "Справка"},
    {"cmdHelpAbout", "О программе"},
};
}  // namespace

QString MenuCommandCaption(TMenuCommand cmd) {
  return cmd < MenuCommandCount ? QString::fromUtf8(kCommands[cmd].caption) : QString();
}

QString MenuCommandName(TMenuCommand cmd) {
  return cmd < MenuCommandCount ? QString::fromLatin1(kCommands[cmd].name) : QString();
}

TMenuCommand MenuCommandFromInt(int value) {
  return value >= 0 && value < MenuCommandCount ? static_cast<TMenuCommand>(value) : cmdNone;
}

bool IsStateCommand(TMenuCommand cmd) {
  switch (cmd) {
    case cmdEditUndo:
    case cmdEditRedo:
    case cmdEditCut:
    case cmdEditCopy:
    case cmdEditPaste:
    case cmdEditDelete:
    case cmdEditSelectAll:
    case cmdEditDeleteSymbol:
    case cmdEditInsertSpace:
    case cmdEditLowerCase:
    case cmdEditUpperCase:
    case cmdToolsNumbering:
    case cmdToolsWordWrap:
      return true;
    default:
      return false;
  }
}
