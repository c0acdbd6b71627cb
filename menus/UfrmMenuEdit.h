#pragma once
// The menu editor: the menu definition file shown as a tree (the sections at
// the root, the items below them as they nest in the file), the properties of
// the selected item beside it, and a save question when it closes.
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyledItemDelegate>
#include <QTreeWidgetItem>

#include "menus/HotKeyEdit.h"
#include "menus/MenuModel.h"
#include "menus/MenuXML.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QToolBar;
class QTreeWidget;
class QVBoxLayout;

// A node of the editor's tree.  Its text is the CAPTION; the root-level nodes
// are the sections and their other fields mean nothing.
class TXmlTreeNode : public QTreeWidgetItem {
 public:
  TXmlTreeNode();

  TMenuCommand FCommand = cmdNone;
  QString FArgument;
  QString FHint;
  bool FShowHint = false;
  QString FBtnMenu;
  bool FBreak = false;
  quint16 FShortCut = 0;
  bool FAsMText = false;
  // IMAGEINDEX: an icon of the strip, -1 for none (a section: its own icon).
  int FImageIndex = -1;

  QString caption() const { return text(0); }
  bool isSection() const { return parent() == nullptr; }
  TMenuItemProps props() const;
  void setProps(const TMenuItemProps& p);
  // The node's root (itself for a section).
  TXmlTreeNode* section();
};

// The icon of an item node without a strip icon: empty, of an icon's size.
QIcon BlankNodeIcon();

// Reads a file into the tree, replacing what it held.  Section nodes get the
// images AMainMenuImageIndex, + 1, + 2 (MAINMENU, POPUPMENU, TOOLBAR); item
// nodes show their strip icon when Icons has it.
class TXmlToTree {
 public:
  TXmlToTree(QTreeWidget* Tree, int AMainMenuImageIndex, const TImageList* Icons = nullptr);
  // Throws TMenuFileError.
  void XmlLoad(const QString& FileName);
  void TreeLoad(const TMenuTree& tree);

 private:
  QTreeWidget* FTree;
  int FMainMenuImageIndex;
  const TImageList* FIcons;
};

// The document of a tree, built at once.
class TTreeToXml {
 public:
  explicit TTreeToXml(QTreeWidget* Tree);
  // Atomic; throws TMenuFileError "Ошибка при сохранении <path>".
  void SaveToFile(const QString& FileName) const;
  const TMenuTree& document() const { return FDoc; }

 private:
  QTreeWidget* FTree;
  TMenuTree FDoc;
};

// Rows of the icon list: "нет", then each strip icon with its number.
class TImageIndexDelegate : public QStyledItemDelegate {
 public:
  TImageIndexDelegate(const TImageList* icons, QObject* parent);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  static constexpr int RowHeight = 18;

 private:
  const TImageList* FIcons;
};

class TfrmMenuEdit : public QDialog {
  Q_OBJECT
 public:
  // Cuts the icon strip (throws TIconStripError when it cannot be read).
  explicit TfrmMenuEdit(const QString& ImagesFileName, QWidget* parent = nullptr);
  ~TfrmMenuEdit() override;

  // Loads the file into the tree; caption := the file name; not modified.
  // Throws TMenuFileError.
  void LoadFile(const QString& FileName);
  // For a file that cannot be read: the tree is loaded from Source (the menu
  // the program runs on), the caption and the target stay FileName, and
  // closing asks whether to write it over the broken file, even unchanged.
  void LoadInPlaceOf(const QString& FileName, const QString& Source);

  QString FXmlFileName;
  bool FModified = false;
  bool FReplacesBroken = false;

  TImageList imlIcons;
  TImageList imlMain;
  int stripIconCount() const { return FStripCount; }

  QGroupBox* gbElements = nullptr;
  QToolBar* tbElements = nullptr;
  QTreeWidget* tvElements = nullptr;
  QSplitter* vSplitter = nullptr;
  QGroupBox* gbProperties = nullptr;

  QAction* acAddChild = nullptr;
  QAction* acInsert = nullptr;
  QAction* acDelete = nullptr;
  QAction* acMoveUp = nullptr;
  QAction* acMoveDown = nullptr;

  QLabel* lblCaption = nullptr;
  QLineEdit* edCaption = nullptr;
  QLabel* lblCommand = nullptr;
  QListWidget* lbCommand = nullptr;
  QLabel* lblImageIndex = nullptr;
  QListWidget* lbImageIndex = nullptr;
  QLabel* lblArgument = nullptr;
  QLineEdit* edArgument = nullptr;
  QLabel* lblHint = nullptr;
  QLineEdit* edHint = nullptr;
  QCheckBox* chbShowHint = nullptr;
  QLabel* lblBtnMenu = nullptr;
  QLineEdit* edBtnMenu = nullptr;
  QLabel* lblShortCut = nullptr;
  THotKeyEdit* hkShortCut = nullptr;
  QCheckBox* chbBreak = nullptr;
  QCheckBox* chbAsMtext = nullptr;
  QPushButton* btnApply = nullptr;
  QPushButton* btnHelp = nullptr;

  TXmlTreeNode* selectedNode() const;
  // Stores the property controls into the node (disabled ones as they stand).
  void ApplyProperties(TXmlTreeNode* node);

  // Handlers, callable from tests.
  void tvElementsChange();
  void btnApplyClick();
  void acAddChildExecute();
  void acInsertExecute();
  void acDeleteExecute();
  // The keyboard's Insert: a new element after the current one (in a section:
  // its last), selected to be edited.
  void acInsertAfter();
  // Delete by key or button: asks first.
  void acDeleteAsk();
  void acMoveUpExecute();
  void acMoveDownExecute();
  // A click on the free part of the element toolbar.
  void tbElementsClick();
  void btnHelpClick();

  // Every way of closing ends here: asks to save a modified tree (r
  // Accepted: saves it without asking).  A save that fails keeps the dialog
  // open with its tree.
  void done(int r) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* e) override;

 private:
  void buildLayout();
  void buildElementsGroup();
  // The fields; the layout they are in, for the buttons below them.
  QVBoxLayout* buildPropertiesGroup();
  void setNodeImage(TXmlTreeNode* node, int imageIndex);
  void clearProperties();
  TXmlTreeNode* newNodeFromControls();
  void moveNode(TXmlTreeNode* node, int newIndex);
  // Yes, No or Cancel.
  QMessageBox::StandardButton askToSave();
  // False (the user told why) when the file could not be written.
  bool saveTree();

  int FStripCount = 0;
  bool FShownOnce = false;
  bool FInsertToggled;
};

// Opens the editor on the file and the icon strip; true exactly when the user
// closed it with saving.  A menu file that cannot be read is shown as the
// menu the program runs on instead (MenuFileCandidates), to be written over
// it only when the user says so; an icon strip that cannot be read, by the
// built-in one.
bool EditMenuFile(const QString& FileName, const QString& ImagesFileName, QWidget* parent = nullptr);
