// The main window's menus, tool bar and context menu, built from the menu
// file, and the spelling entries of the context menu.
#include <QMenu>
#include <QMenuBar>

#include "app/Session.h"
#include "app/UfrmMain.h"
#include "menus/MenuXML.h"
#include "menus/zorAcMtextMenus.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "spell/SpellMenu.h"

void TfrmMain::ApplyMenuFont() {
  if (!FMtextMenu) return;
  const TRenderMenuProps& p = FSession.Options.RenderMenuProps;
  if (p.rmUseSysFont)
    FMtextMenu->ResetMtextMenuFont();
  else
    FMtextMenu->SetMtextMenuFont(p.rmFont.fpName, p.rmFont.fpSize, p.rmFont.fpColor, p.rmFont.fpStyle);
}

void TfrmMain::RebuildMenus() {
  // Nothing of the old interface stays usable while it is rebuilt.
  FEditorPopup = nullptr;
  for (QAction* a : mnuMain->actions()) a->setEnabled(false);
  tbMain->setEnabled(false);

  // The spelling objects belong to the old context menu.
  if (FSpelling) {
    FSpelling.reset();
    Editor->viewport()->update();
  }

  // The registered items and icons belong to the old load.
  FEditMenus.clear();
  FEditButtons.clear();
  imlMain->clear();
  try {
    LoadIconStrip(*imlMain, FSession.Paths.MenuImagesFileName);
  } catch (const std::exception& e) {
    // Icons of the built-in strip rather than a window without any menu.
    platform::showError(this, QString::fromUtf8(e.what()));
    imlMain->clear();
    LoadIconStrip(*imlMain, QString::fromLatin1(BuiltInMenuImagesFile));
  }
  // A menu file that cannot be read is left as it is and the menus come from
  // the shipped one, so that the menu editor stays within reach to mend it.
  const TMenuSource menuSource = ChooseMenuSource(MenuFileCandidates(FSession.Paths.MenuFileName));
  if (!menuSource.BrokenFile.isEmpty()) platform::showError(this, BrokenMenuMessage(menuSource));

  // The loader reports each item it builds, so that the window registers the
  // items whose state it refreshes and wires the line mover and drop-downs.
  TXmlToMenu loader(this, imlMain, tbMain, [this](QObject* sender) { ExecuteCommand(sender); });
  loader.OnSetMenuItem = [this](TXmlMenuItem* item) {
    if (IsStateCommand(item->FCmd)) FEditMenus.push_back(item);
  };
  loader.OnSetToolButton = [this](TXmlToolButton* button) {
    if (IsStateCommand(button->FCmd)) FEditButtons.push_back(button);
  };
  loader.OnSetUpDown = [this](TUpDown* upDown) {
    upDown->setRange(-1, 1);
    connect(upDown, &TUpDown::moveLine, this, [this](int delta) { MoveCaretLine(delta); });
  };
  loader.OnDropdownMenuFind = [this](TXmlToolButton* button, const QString& name) {
    if (TXmlMenu* menu = FindXmlPopupMenu(this, name)) button->setDropdownMenu(menu);
  };
  loader.OnParseError = [this](const QString& message) { platform::showError(this, message); };
  if (!menuSource.FileName.isEmpty()) loader.MenuLoad(menuSource.FileName);

  // The popup named exactly "MAIN" is the editor's context menu.
  FEditorPopup = FindXmlPopupMenu(this, QStringLiteral("MAIN"));

  // The new interface is complete: usable again, menu captions in their font.
  tbMain->setEnabled(true);
  ApplyMenuFont();
  CreateSpellCheck();
}

QMenu* TfrmMain::editorPopup() const { return FEditorPopup; }

void TfrmMain::CreateSpellCheck() {
  FSpelling = TSpellMenu::CreateSpellCheck(Editor, FEditorPopup, platform::programPaths().DictFolder, FHighlighter,
                                           platform::programPaths().UserDictFolder);
  QMenu* languages = FSpelling ? FSpelling->languageMenu() : nullptr;
  if (!languages) return;
  int& language = FSession.Options.SpellLanguage;
  // The language of the last run, and whatever is chosen now for the next.
  for (QAction* a : languages->actions())
    if (language != 0 && a->data().toInt() == language) FSpelling->SelectSpellLanguage(a);
  connect(languages, &QMenu::triggered, this, [&language, languages] {
    language = 0;
    for (QAction* a : languages->actions())
      if (a->isChecked()) language = a->data().toInt();
  });
}
