#pragma once
// The menu editor's field for a shortcut.
#include <QLineEdit>

// The hot-key field: shows the shortcut and takes the next key combination
// typed into it.  Backspace and Delete clear it; Return, Escape and Tab keep
// their usual meaning.  Shift as the only modifier is refused.
class THotKeyEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit THotKeyEdit(QWidget* parent = nullptr);
  quint16 shortCut() const { return FShortCut; }
  void setShortCut(quint16 value);
  // What a key press would do; false when it is refused.
  bool takeKey(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  quint16 FShortCut = 0;
};
