#include "platform/DialogFrame.h"

#include <QDialog>
#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "platform/Platform.h"

namespace platform {

void setFixedDialogFrame(QDialog* dialog) {
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  if (QLayout* layout = dialog->layout()) layout->setSizeConstraint(QLayout::SetFixedSize);
}

TButtonRow::TButtonRow(QDialog* dialog, int helpContext, HelpFocus focus) : FDialog(dialog) {
  FHelp = new QToolButton(dialog);
  FHelp->setObjectName(QStringLiteral("sbtnHelp"));
  FHelp->setToolTip(QStringLiteral("Справка"));
  FHelp->setIcon(dialog->style()->standardIcon(QStyle::SP_DialogHelpButton));
  FHelp->setAutoRaise(true);
  if (focus == HelpNoFocus) FHelp->setFocusPolicy(Qt::NoFocus);
  QObject::connect(FHelp, &QToolButton::clicked, dialog, [dialog, helpContext] { showHelp(dialog, helpContext); });
  addWidget(FHelp);
}

QPushButton* TButtonRow::addButton(const char* name, const QString& caption, const QString& hint) {
  auto* button = new QPushButton(caption, FDialog);
  button->setObjectName(QLatin1String(name));
  if (!hint.isEmpty()) button->setToolTip(hint);
  addWidget(button);
  return button;
}

QPushButton* TButtonRow::addOk(const char* name, const QString& hint) {
  QPushButton* ok = addButton(name, QStringLiteral("ОК"), hint);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, FDialog, &QDialog::accept);
  return ok;
}

QPushButton* TButtonRow::addCancel(const char* name, const QString& hint) {
  QPushButton* cancel = addButton(name, QStringLiteral("Отмена"), hint);
  QObject::connect(cancel, &QPushButton::clicked, FDialog, &QDialog::reject);
  return cancel;
}

}  // namespace platform
