#pragma once
// The commands a menu item or toolbar button can carry, with their fixed captions.
#include <QObject>
#include <QString>
#include <QtGlobal>

enum TMenuCommand : quint8 {
  cmdNone,
  cmdFileNew,
  cmdFileOpen,
  cmdFileSave,
  cmdFileSaveAs,
  cmdFilePrint,
  cmdFileOk,
  cmdFileExit,
  cmdEditUndo,
  cmdEditRedo,
  cmdEditCut,
  cmdEditCopy,
  cmdEditPaste,
  cmdEditDelete,
  cmdEditFind,
  cmdEditFindNext,
  cmdEditFindPrev,
  cmdEditReplace,
  cmdEditSelectAll,
  cmdEditDeleteSymbol,
  cmdEditInsertSpace,
  cmdEditLowerCase,
  cmdEditUpperCase,
  cmdInsertStack,
  cmdInsertThreeStack,
  cmdInsertDataTime,
  cmdInsertTolerance,
  cmdInsertString,
  cmdInsertQuotedString,
  cmdInsertFile,
  cmdToolsRender,
  cmdToolsEditMenus,
  cmdToolsNumbering,
  cmdToolsCharMap,
  cmdToolsExecCalc,
  cmdToolsRecount,
  cmdToolsRoman,
  cmdToolsWordWrap,
  cmdToolsOptions,
  cmdHelpCallHelp,
  cmdHelpAbout,
};

constexpr int MenuCommandCount = 41;

// What the menu layer knows of a command: the identifier, the fixed Russian
// caption (the menu editor lists them) and whether items carrying it are
// refreshed at idle time.  What a command does and its state rule live in
// the main window's command table, which checks itself against this one.
struct TMenuCommandInfo {
  const char* name;
  const char* caption;
  bool state;
};
inline constexpr TMenuCommandInfo MenuCommandInfo[MenuCommandCount] = {
    {"cmdNone", "Нет", false},
    {"cmdFileNew", "Новый", false},
    {"cmdFileOpen", "Открыть", false},
    {"cmdFileSave", "Сохранить", false},
    {"cmdFileSaveAs", "Сохранить как", false},
    {"cmdFilePrint", "Печать", false},
    {"cmdFileOk", "Закрыть и применить", false},
    {"cmdFileExit", "Выход", false},
    {"cmdEditUndo", "Отменить", true},
    {"cmdEditRedo", "Повторить", true},
    {"cmdEditCut", "Вырезать", true},
    {"cmdEditCopy", "Копировать", true},
    {"cmdEditPaste", "Вставить", true},
    {"cmdEditDelete", "Очистить", true},
    {"cmdEditFind", "Найти", false},
    {"cmdEditFindNext", "Найти далее", false},
    {"cmdEditFindPrev", "Найти назад", false},
    {"cmdEditReplace", "Заменить", false},
    {"cmdEditSelectAll", "Выделить все", true},
    {"cmdEditDeleteSymbol", "Удалить символ", true},
    {"cmdEditInsertSpace", "Вставить пробел", true},
    {"cmdEditLowerCase", "Нижний регистр", true},
    {"cmdEditUpperCase", "Верхний регистр", true},
    {"cmdInsertStack", "Вставить двухэтажный", false},
    {"cmdInsertThreeStack", "Вставить трехэтажный", false},
    {"cmdInsertDataTime", "Вставить дату/время", false},
    {"cmdInsertTolerance", "Вставить допуск", false},
    {"cmdInsertString", "Вставить строку", false},
    {"cmdInsertQuotedString", "Вставить обрамление", false},
    {"cmdInsertFile", "Вставить файл", false},
    {"cmdToolsRender", "Визуализировать", false},
    {"cmdToolsEditMenus", "Настройка интерфейса", false},
    {"cmdToolsNumbering", "Нумерация", true},
    {"cmdToolsCharMap", "Таблица символов", false},
    {"cmdToolsExecCalc", "Калькулятор", false},
    {"cmdToolsRecount", "Пересчет", false},
    {"cmdToolsRoman", "Римские", false},
    {"cmdToolsWordWrap", "Переносить абзацы", true},
    {"cmdToolsOptions", "Параметры", false},
    {"cmdHelpCallHelp", "Справка", false},
    {"cmdHelpAbout", "О программе", false},
};

// The Russian caption of a command ("Нет" for cmdNone).
QString MenuCommandCaption(TMenuCommand cmd);
// The enumeration name, e.g. "cmdEditUndo" (used for identifiers).
QString MenuCommandName(TMenuCommand cmd);
// An integer from a file: 0..40 is a command, anything else is cmdNone.
TMenuCommand MenuCommandFromInt(int value);
// Commands whose items are refreshed at idle time.
bool IsStateCommand(TMenuCommand cmd);

// What every command-bearing menu item and toolbar button carries.  The
// dispatcher and the idle refresh work through it, whatever the widget.
class TCommandCarrier {
 public:
  virtual ~TCommandCarrier() = default;
  TMenuCommand FCmd = cmdNone;
  QString FArgument;
  // Enabled state, and the checked (menu) or pressed (button) state; setting
  // the latter makes the widget checkable.
  virtual bool commandEnabled() const = 0;
  virtual void setCommandEnabled(bool on) = 0;
  virtual bool commandChecked() const = 0;
  virtual bool commandCheckable() const = 0;
  virtual void setCommandChecked(bool on) = 0;
};

// A carrier made of a widget or action that has the usual enabled, checkable
// and checked state (a QAction, a QAbstractButton).
template <class TBase>
class TCommandWidget : public TBase, public TCommandCarrier {
 public:
  using TBase::TBase;
  bool commandEnabled() const override { return this->isEnabled(); }
  void setCommandEnabled(bool on) override { this->setEnabled(on); }
  bool commandChecked() const override { return this->isCheckable() && this->isChecked(); }
  bool commandCheckable() const override { return this->isCheckable(); }
  void setCommandChecked(bool on) override {
    this->setCheckable(true);
    this->setChecked(on);
  }
};

// The carrier behind a sender, or nullptr for anything else.
TCommandCarrier* CommandCarrierOf(QObject* sender);
