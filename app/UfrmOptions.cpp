#include "app/UfrmOptions.h"

#include <memory>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "platform/DialogFrame.h"
#include "platform/Platform.h"

namespace {

constexpr int kHelpContext = 300;

QLabel* makeLabel(QWidget* parent, const QString& text) { return new QLabel(text, parent); }

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& text) {
  auto* c = new QCheckBox(text, parent);
  c->setObjectName(QLatin1String(name));
  return c;
}

TColorShape* makeShape(QWidget* parent, const char* name) {
  auto* s = new TColorShape(parent);
  s->setObjectName(QLatin1String(name));
  return s;
}

TFontSample* makeSample(QWidget* parent, const char* name) {
  auto* l = new TFontSample(parent);
  l->setObjectName(QLatin1String(name));
  return l;
}

// The colour dialog, opened on the current colour.
bool chooseColor(QWidget* parent, TColor& color) {
  QColorDialog dialog(ColorToQColor(color), parent);
  if (platform::execDialog(&dialog) != QDialog::Accepted || !dialog.selectedColor().isValid()) return false;
  color = QColorToColor(dialog.selectedColor());
  return true;
}

// Qt's font dialog has no colour of its own, so it is shown embedded with a
// colour swatch under it: the effects offered are underline, strike-out and
// the colour.
bool chooseFont(QWidget* parent, QFont& font, TColor& color, bool fixedPitchOnly) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Шрифт"));
  auto* root = new QVBoxLayout(&dialog);
  auto* fonts = new QFontDialog(&dialog);
  fonts->setWindowFlags(Qt::Widget);
  QFontDialog::FontDialogOptions opts = QFontDialog::DontUseNativeDialog | QFontDialog::NoButtons;
  if (fixedPitchOnly) opts |= QFontDialog::MonospacedFonts;
  fonts->setOptions(opts);
  // A family missing on this machine would leave the dialog on the first face
  // of whatever list it shows (often an italic one); start on the face the
  // program really draws with instead.
  QFont shown(font);
  const QString drawn = QFontInfo(font).family();
  if (!drawn.isEmpty() && drawn.compare(font.family(), Qt::CaseInsensitive) != 0) shown.setFamily(drawn);
  // The dialog matches faces by style name, which differs between families
  // ("Book", "Regular"), and falls back on the first face of the list (often
  // an oblique one).  Faces are therefore named here by weight and slant, on
  // opening and whenever another family is picked.
  auto sameFace = [](QFont f, bool bold, bool italic) {
    for (const QString& style : QFontDatabase::styles(f.family()))
      // italic() of the database ignores oblique faces; the font's own style does not.
      if ((QFontDatabase::weight(f.family(), style) >= QFont::DemiBold) == bold &&
          (QFontDatabase::font(f.family(), style, 10).style() != QFont::StyleNormal) == italic) {
        f.setStyleName(style);
        break;
      }
    return f;
  };
  struct TFace {
    QString family;
    bool bold, italic;
  };
  auto face = std::make_shared<TFace>(TFace{shown.family(), font.weight() >= QFont::DemiBold, font.italic()});
  fonts->setCurrentFont(sameFace(shown, face->bold, face->italic));
  QObject::connect(fonts, &QFontDialog::currentFontChanged, fonts, [fonts, face, sameFace](const QFont& f) {
    if (f.family() != face->family) {
      face->family = f.family();
      const QFont kept = sameFace(f, face->bold, face->italic);
      if (kept.styleName() != f.styleName()) {
        // After the dialog has finished its own reaction to the click.
        QMetaObject::invokeMethod(fonts, [fonts, kept] { fonts->setCurrentFont(kept); }, Qt::QueuedConnection);
        return;
      }
    }
    face->bold = f.weight() >= QFont::DemiBold;
    face->italic = f.italic();
  });
  root->addWidget(fonts);

  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(new QLabel(QStringLiteral("Цвет:"), &dialog));
  auto* swatch = new TColorShape(&dialog);
  swatch->setColor(color);
  colorRow->addWidget(swatch);
  colorRow->addStretch(1);
  root->addLayout(colorRow);
  QObject::connect(swatch, &TColorShape::mouseDown, &dialog, [&dialog, swatch] {
    TColor c = swatch->color();
    if (chooseColor(&dialog, c)) swatch->setColor(c);
  });

  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  root->addWidget(buttons);

  if (platform::execDialog(&dialog) != QDialog::Accepted) return false;
  font = fonts->currentFont();
  color = swatch->color();
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------

TColorShape::TColorShape(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TColorShape::setColor(TColor color) {
  FColor = color;
  update();
}

void TColorShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(ColorToQColor(FColor));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColorShape::mousePressEvent(QMouseEvent* event) {
  if (FClickable) {
    event->accept();
    emit mouseDown();
  } else {
    QWidget::mousePressEvent(event);
  }
}

TFontSample::TFontSample(QWidget* parent) : QLabel(parent) {
  setAutoFillBackground(true);
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  setAlignment(Qt::AlignCenter);
  setMinimumSize(150, 30);
  setCursor(Qt::PointingHandCursor);
}

void TFontSample::setSampleColors(TColor fontColor, TColor backColor) {
  FFontColor = fontColor;
  FBackColor = backColor;
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, ColorToQColor(fontColor));
  pal.setColor(QPalette::Window, ColorToQColor(backColor));
  setPalette(pal);
}

void TFontSample::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit clicked();
}

TPositionUpDown::TPositionUpDown(QWidget* parent) : QSpinBox(parent) {
  // The field beside it shows the value; the spin box keeps only its arrows.
  lineEdit()->hide();
  setFocusPolicy(Qt::StrongFocus);
}

QSize TPositionUpDown::sizeHint() const {
  QStyleOptionSpinBox opt;
  initStyleOption(&opt);
  const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &opt, QStyle::SC_SpinBoxUp, this);
  const int w = qMax(up.width(), 12) + 2 * style()->pixelMetric(QStyle::PM_SpinBoxFrameWidth, &opt, this) + 2;
  return QSize(w, QSpinBox::sizeHint().height());
}

// ---------------------------------------------------------------------------

TfrmOptions::TfrmOptions(TOptions& options, QWidget* parent) : QDialog(parent), Options(options) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(QStringLiteral("Параметры"));
  auto* root = new QVBoxLayout(this);
  PageControl = new QTabWidget(this);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  root->addWidget(PageControl);

  buildGeneralSheet();
  buildAddSheet();
  buildRenderSheet();
  buildHighlightSheet();

  auto* buttons = new platform::TButtonRow(this, kHelpContext);
  sbtnHelp = buttons->helpButton();
  DefaultButton = buttons->addButton("DefaultButton", QStringLiteral("По умолчанию"),
                                     QStringLiteral("Восстановить настройки по-умолчанию"));
  DefaultButton->setAutoDefault(false);
  buttons->addStretch(1);
  OKButton = buttons->addOk("OKButton", QStringLiteral("Применить настройки"));
  CancelButton = buttons->addCancel("CancelButton", QStringLiteral("Закрыть это окно"));
  CancelButton->setAutoDefault(false);
  root->addLayout(buttons);

  connect(DefaultButton, &QPushButton::clicked, this, &TfrmOptions::DefaultButtonClick);

  for (TFontSample* label : {FontLabel, lblRenderFont, lblMenuFont})
    connect(label, &TFontSample::clicked, this, [this, label] { FontLabelClick(label); });
  for (TColorShape* shape : {shBackColor, shRenderColor, spNumberColor, shSymbolsColor, shHighlightColor})
    connect(shape, &TColorShape::mouseDown, this, [this, shape] { ColorShapeMouseDown(shape); });
  connect(udTolHeight, QOverload<int>::of(&QSpinBox::valueChanged), this, &TfrmOptions::udTolHeightClick);

  platform::setFixedDialogFrame(this);
}

void TfrmOptions::buildGeneralSheet() {
  GeneralSheet = new QWidget(PageControl);
  GeneralSheet->setObjectName(QStringLiteral("GeneralSheet"));
  auto* v = new QVBoxLayout(GeneralSheet);
  SwitchLangCheck = makeCheck(GeneralSheet, "SwitchLangCheck",
                              QStringLiteral("П&ереключать раскладку клавиатуры на русский язык"));
  EscExitCheck = makeCheck(GeneralSheet, "EscExitCheck", QStringLiteral("В&ыход по нажатию клавиши \"Escape\""));
  chkbAutoIndent = makeCheck(GeneralSheet, "chkbAutoIndent", QStringLiteral("&Автоматический отступ в абзаце"));
  v->addWidget(SwitchLangCheck);
  v->addWidget(EscExitCheck);
  v->addWidget(chkbAutoIndent);

  auto* grid = new QGridLayout;
  grid->addWidget(makeLabel(GeneralSheet, QStringLiteral("Шрифт:")), 0, 0);
  FontLabel = makeSample(GeneralSheet, "FontLabel");
  grid->addWidget(FontLabel, 0, 1, 1, 2);
  grid->addWidget(makeLabel(GeneralSheet, QStringLiteral("Фон:")), 1, 0);
  shBackColor = makeShape(GeneralSheet, "shBackColor");
  grid->addWidget(shBackColor, 1, 1);
  grid->addWidget(makeLabel(GeneralSheet, QStringLiteral("Цвет активного абзаца:")), 2, 0);
  shActiveLineColor = makeShape(GeneralSheet, "shActiveLineColor");
  shActiveLineColor->setClickable(false);
  grid->addWidget(shActiveLineColor, 2, 1);
  grid->setColumnStretch(2, 1);
  v->addLayout(grid);

  DividerRadioGroup = new QGroupBox(QStringLiteral(" &Разделитель целой и дробной части "), GeneralSheet);
  DividerRadioGroup->setObjectName(QStringLiteral("DividerRadioGroup"));
  auto* items = new QHBoxLayout(DividerRadioGroup);
  FDivider = new QButtonGroup(this);
  FDividerItems[0] = new QRadioButton(QStringLiteral("&Точка"), DividerRadioGroup);
  FDividerItems[1] = new QRadioButton(QStringLiteral("&Запятая"), DividerRadioGroup);
  for (int i = 0; i < 2; ++i) {
    FDivider->addButton(FDividerItems[i], i);
    items->addWidget(FDividerItems[i]);
  }
  FDividerItems[0]->setChecked(true);
  v->addWidget(DividerRadioGroup);
  v->addStretch(1);
  PageControl->addTab(GeneralSheet, QStringLiteral("&Общие"));
}

void TfrmOptions::buildAddSheet() {
  AddSheet = new QWidget(PageControl);
  AddSheet->setObjectName(QStringLiteral("AddSheet"));
  auto* v = new QVBoxLayout(AddSheet);

  auto* numbering = new QGroupBox(QStringLiteral(" Нум&ерация "), AddSheet);
  numbering->setObjectName(QStringLiteral("gbNumbering"));
  auto* g = new QGridLayout(numbering);
  SepNumEdit = new QLineEdit(numbering);
  SepNumEdit->setObjectName(QStringLiteral("SepNumEdit"));
  SepNumEdit->setMaxLength(int(SettingKey(QStringLiteral("Main"), QStringLiteral("ItemDivider")).Max));
  QFont bold = SepNumEdit->font();
  bold.setBold(true);
  SepNumEdit->setFont(bold);
  SepNumEdit->setFixedWidth(60);
  g->addWidget(SepNumEdit, 0, 0);
  auto* sepLabel = makeLabel(numbering, QStringLiteral("Разделитель номера пункта и текста"));
  sepLabel->setBuddy(SepNumEdit);
  g->addWidget(sepLabel, 0, 1);
  auto* note = makeLabel(numbering, QStringLiteral(
      "Разделитель номера пункта и текста используется при нумерации пунктов. "
      "Максимальная длина разделителя - 5 символов."));
  note->setWordWrap(true);
  g->addWidget(note, 1, 0, 1, 2);
  g->setColumnStretch(1, 1);
  v->addWidget(numbering);

  auto* tol = new QHBoxLayout;
  tol->addWidget(makeLabel(AddSheet, QStringLiteral("Коэффициент высоты шрифта допуска:")));
  // The field and its arrows sit together; the label keeps its distance.
  tol->addSpacing(6);
  edTolHeight = new QLineEdit(AddSheet);
  edTolHeight->setObjectName(QStringLiteral("edTolHeight"));
  edTolHeight->setReadOnly(true);
  edTolHeight->setFixedWidth(50);
  tol->addWidget(edTolHeight);
  udTolHeight = new TPositionUpDown(AddSheet);
  udTolHeight->setObjectName(QStringLiteral("udTolHeight"));
  const TSettingKey& height = SettingKey(QStringLiteral("Main"), QStringLiteral("TolHeight"));
  udTolHeight->setRange(int(std::lround(height.Min * 100)), int(std::lround(height.Max * 100)));
  udTolHeight->setSingleStep(5);
  tol->addWidget(udTolHeight);
  tol->setSpacing(0);
  tol->addStretch(1);
  v->addLayout(tol);
  v->addStretch(1);
  PageControl->addTab(AddSheet, QStringLiteral("&Дополнительно"));
}

void TfrmOptions::buildRenderSheet() {
  RenderSheet = new QWidget(PageControl);
  RenderSheet->setObjectName(QStringLiteral("RenderSheet"));
  auto* v = new QVBoxLayout(RenderSheet);
  auto* heading = makeLabel(RenderSheet, QStringLiteral("В редакторе"));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  v->addWidget(heading);
  auto* g = new QGridLayout;
  g->addWidget(makeLabel(RenderSheet, QStringLiteral("Шрифт:")), 0, 0);
  lblRenderFont = makeSample(RenderSheet, "lblRenderFont");
  g->addWidget(lblRenderFont, 0, 1, 1, 2);
  g->addWidget(makeLabel(RenderSheet, QStringLiteral("Фон:")), 1, 0);
  shRenderColor = makeShape(RenderSheet, "shRenderColor");
  g->addWidget(shRenderColor, 1, 1);
  g->setColumnStretch(2, 1);
  v->addLayout(g);

  auto* menuHeading = makeLabel(RenderSheet, QStringLiteral("В меню"));
  menuHeading->setFont(bold);
  v->addWidget(menuHeading);
  auto* m = new QGridLayout;
  m->addWidget(makeLabel(RenderSheet, QStringLiteral("Шрифт:")), 0, 0);
  lblMenuFont = makeSample(RenderSheet, "lblMenuFont");
  m->addWidget(lblMenuFont, 0, 1);
  m->setColumnStretch(1, 1);
  v->addLayout(m);
  ckbUseSysFont = makeCheck(RenderSheet, "ckbUseSysFont", QStringLiteral("Использовать системный &шрифт"));
  v->addWidget(ckbUseSysFont);
  v->addStretch(1);
  PageControl->addTab(RenderSheet, QStringLiteral("&Визуализация"));
}

void TfrmOptions::buildHighlightSheet() {
  HighlightSheet = new QWidget(PageControl);
  HighlightSheet->setObjectName(QStringLiteral("HighlightSheet"));
  auto* v = new QVBoxLayout(HighlightSheet);
  chbHighlightEnable = makeCheck(HighlightSheet, "chbHighlightEnable", QStringLiteral("&Включить подсветку синтаксиса"));
  v->addWidget(chbHighlightEnable);
  auto* g = new QGridLayout;
  g->addWidget(makeLabel(HighlightSheet, QStringLiteral("Цвет MText:")), 0, 0);
  shHighlightColor = makeShape(HighlightSheet, "shHighlightColor");
  g->addWidget(shHighlightColor, 0, 1);
  g->addWidget(makeLabel(HighlightSheet, QStringLiteral("Цвет числа:")), 1, 0);
  spNumberColor = makeShape(HighlightSheet, "spNumberColor");
  g->addWidget(spNumberColor, 1, 1);
  g->addWidget(makeLabel(HighlightSheet, QStringLiteral("Цвет спец. символов:")), 2, 0);
  shSymbolsColor = makeShape(HighlightSheet, "shSymbolsColor");
  g->addWidget(shSymbolsColor, 2, 1);
  g->setColumnStretch(2, 1);
  v->addLayout(g);
  chbBold = makeCheck(HighlightSheet, "chbBold", QStringLiteral("&Полужирный"));
  v->addWidget(chbBold);
  v->addStretch(1);
  PageControl->addTab(HighlightSheet, QStringLiteral("&Подсветка синтаксиса"));
  // All four tabs in view: the pages alone are narrower than their captions.
  PageControl->setMinimumWidth(PageControl->tabBar()->sizeHint().width() + 8);
}

int TfrmOptions::dividerIndex() const { return FDivider->checkedId(); }

void TfrmOptions::setDividerIndex(int index) {
  if (index >= 0 && index < 2) FDividerItems[index]->setChecked(true);
}

void TfrmOptions::loadSample(TFontSample* label, const TFontProps& props, TColor backColor) {
  label->setSampleColors(props.fpColor, backColor);
  setLabelFont(label, FontFromProps(props), props.fpColor);
}

TFontProps TfrmOptions::sampleProps(const TFontSample* label) const {
  TFontProps p;
  const QFont f = label->font();
  p.fpName = f.family();
  p.fpSize = f.pointSize();
  p.fpColor = label->fontColor();
  p.fpStyle = FontStylesOf(f);
  return p;
}

void TfrmOptions::setLabelFont(QLabel* label, const QFont& font, TColor color) {
  label->setText(font.family());
  label->setFont(font);
  if (auto* sample = qobject_cast<TFontSample*>(label)) {
    sample->setSampleColors(color, sample->backColor());
  } else {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, ColorToQColor(color));
    label->setPalette(pal);
  }
}

void TfrmOptions::setSwatchColor(TColorShape* shape, TColor color) {
  shape->setColor(color);
  // The samples show their text on these two backgrounds.
  if (shape == shBackColor) FontLabel->setSampleColors(FontLabel->fontColor(), color);
  if (shape == shRenderColor) lblRenderFont->setSampleColors(lblRenderFont->fontColor(), color);
}

void TfrmOptions::LoadFromOptions() {
  SwitchLangCheck->setChecked(Options.SwitchToRus);
  EscExitCheck->setChecked(Options.EscForExit);
  chkbAutoIndent->setChecked(Options.EditorProps.epAutoIndent);
  ckbUseSysFont->setChecked(Options.RenderMenuProps.rmUseSysFont);
  chbHighlightEnable->setChecked(Options.HighlightProps.hpEnable);
  SepNumEdit->setText(Options.ItemDivider);
  setDividerIndex(Options.CommaAsSep ? 1 : 0);
  setTolHeight(Options.TolHeight);

  loadSample(FontLabel, Options.EditorFont, Options.EditorColors.ecBackground);
  shBackColor->setColor(Options.EditorColors.ecBackground);
  shActiveLineColor->setColor(Options.EditorColors.ecActiveLine);
  loadSample(lblRenderFont, Options.RenderProps.rpFont, Options.RenderProps.rpBackColor);
  shRenderColor->setColor(Options.RenderProps.rpBackColor);
  loadSample(lblMenuFont, Options.RenderMenuProps.rmFont, clMenu);

  shHighlightColor->setColor(Options.HighlightProps.hpColor);
  spNumberColor->setColor(Options.HighlightProps.hpNumColor);
  shSymbolsColor->setColor(Options.HighlightProps.hpSymColor);
  chbBold->setChecked(Options.HighlightProps.hpStyle & fsBold);
}

void TfrmOptions::StoreToOptions() {
  Options.SwitchToRus = SwitchLangCheck->isChecked();
  Options.EscForExit = EscExitCheck->isChecked();
  Options.EditorProps.epAutoIndent = chkbAutoIndent->isChecked();
  Options.RenderMenuProps.rmUseSysFont = ckbUseSysFont->isChecked();
  Options.HighlightProps.hpEnable = chbHighlightEnable->isChecked();
  Options.ItemDivider = SepNumEdit->text();
  Options.CommaAsSep = dividerIndex() == 1;
  Options.TolHeight = udTolHeight->position() / 100.0;

  Options.EditorFont = sampleProps(FontLabel);
  Options.RenderProps.rpFont = sampleProps(lblRenderFont);
  Options.RenderMenuProps.rmFont = sampleProps(lblMenuFont);

  Options.EditorColors.ecBackground = shBackColor->color();
  Options.EditorColors.ecActiveLine = shActiveLineColor->color();
  Options.RenderProps.rpBackColor = shRenderColor->color();
  Options.HighlightProps.hpColor = shHighlightColor->color();
  Options.HighlightProps.hpNumColor = spNumberColor->color();
  Options.HighlightProps.hpSymColor = shSymbolsColor->color();
  Options.HighlightProps.hpStyle = chbBold->isChecked() ? TFontStyles(fsBold) : TFontStyles(0);
}

void TfrmOptions::setTolHeight(double height) {
  // Halves go to the even neighbour, as the settings were always rounded.
  udTolHeight->blockSignals(true);
  udTolHeight->setPosition(static_cast<int>(std::nearbyint(height * 100.0)));
  udTolHeight->blockSignals(false);
  UpdateTolHeightText();
}

void TfrmOptions::UpdateTolHeightText() {
  edTolHeight->setText(QLocale::system().toString(udTolHeight->position() / 100.0, 'f', 2));
}

void TfrmOptions::udTolHeightClick() { UpdateTolHeightText(); }

void TfrmOptions::sbtnHelpClick() { platform::showHelp(this, kHelpContext); }

void TfrmOptions::DefaultButtonClick() {
  QWidget* page = PageControl->currentWidget();
  TOptions d;
  if (page == GeneralSheet) {
    ResetOptionsPage(d, TOptionsPage::General);
    // The sample keeps the background it has now.
    setLabelFont(FontLabel, FontFromProps(d.EditorFont), d.EditorFont.fpColor);
    shBackColor->setColor(d.EditorColors.ecBackground);
    SwitchLangCheck->setChecked(d.SwitchToRus);
    EscExitCheck->setChecked(d.EscForExit);
    chkbAutoIndent->setChecked(d.EditorProps.epAutoIndent);
    shActiveLineColor->setColor(d.EditorColors.ecActiveLine);
    setDividerIndex(d.CommaAsSep ? 1 : 0);
  } else if (page == AddSheet) {
    ResetOptionsPage(d, TOptionsPage::Additional);
    SepNumEdit->setText(d.ItemDivider);
    setTolHeight(d.TolHeight);
  } else if (page == RenderSheet) {
    ResetOptionsPage(d, TOptionsPage::Render);
    loadSample(lblRenderFont, d.RenderProps.rpFont, d.RenderProps.rpBackColor);
    shRenderColor->setColor(d.RenderProps.rpBackColor);
    setLabelFont(lblMenuFont, FontFromProps(d.RenderMenuProps.rmFont), d.RenderMenuProps.rmFont.fpColor);
    ckbUseSysFont->setChecked(d.RenderMenuProps.rmUseSysFont);
  } else if (page == HighlightSheet) {
    ResetOptionsPage(d, TOptionsPage::Highlight);
    chbHighlightEnable->setChecked(d.HighlightProps.hpEnable);
    shHighlightColor->setColor(d.HighlightProps.hpColor);
    spNumberColor->setColor(d.HighlightProps.hpNumColor);
    shSymbolsColor->setColor(d.HighlightProps.hpSymColor);
    chbBold->setChecked(d.HighlightProps.hpStyle & fsBold);
  }
}

void TfrmOptions::FontLabelClick(TFontSample* label) {
  QFont font = label->font();
  TColor color = label->fontColor();
  if (chooseFont(this, font, color, label == FontLabel)) setLabelFont(label, font, color);
}

void TfrmOptions::ColorShapeMouseDown(TColorShape* shape) {
  if (!shape->clickable()) return;
  TColor c = shape->color();
  if (chooseColor(this, c)) setSwatchColor(shape, c);
}

bool ExecuteOptionsDialog(TOptions& options, QWidget* parent) {
  TfrmOptions dialog(options, parent);
  dialog.LoadFromOptions();
  dialog.adjustSize();
  QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    QRect r = dialog.frameGeometry();
    r.moveCenter(screen->availableGeometry().center());
    dialog.move(r.topLeft());
  }
  if (platform::execDialog(&dialog) != QDialog::Accepted) return false;
  dialog.StoreToOptions();
  return true;
}
