#include "app/UfrmAboutBox.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/Platform.h"

TfrmAboutBox::TfrmAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAboutBox"));
  setWindowTitle(QStringLiteral("О программе"));

  auto* root = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;

  auto* ProgramIcon = new QLabel(this);
  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  QIcon icon = QApplication::windowIcon();
  // Without an icon of its own the program shows the desktop's application icon.
  if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_DesktopIcon, nullptr, this);
  ProgramIcon->setPixmap(icon.pixmap(32, 32));
  ProgramIcon->setAlignment(Qt::AlignTop);
  top->addWidget(ProgramIcon);

  auto* texts = new QVBoxLayout;
  auto* ProductName = new QLabel(QStringLiteral("Korvex"), this);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  QFont bold = ProductName->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.5);
  ProductName->setFont(bold);
  auto* Comments = new QLabel(QStringLiteral("Текстовый редактор для AutoCAD"), this);
  Comments->setObjectName(QStringLiteral("Comments"));
  auto* Version = new QLabel(QStringLiteral("Версия 2.2"), this);
  Version->setObjectName(QStringLiteral("Version"));
  texts->addWidget(ProductName);
  texts->addWidget(Comments);
  texts->addWidget(Version);
  top->addLayout(texts, 1);
  root->addLayout(top);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* OKButton = new QPushButton(QStringLiteral("ОК"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  buttons->addWidget(OKButton);
  buttons->addStretch(1);
  root->addLayout(buttons);

  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void ShowAboutBox(QWidget* parent) {
  TfrmAboutBox box(parent);
  platform::execDialog(&box);
}
