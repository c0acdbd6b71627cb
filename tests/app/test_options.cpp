// The options dialog against the real settings record: loading and storing
// every field, the tolerance height up-down, the per-page defaults, the
// captions, and the OK / Cancel paths of the modal entry point.
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <functional>

#include "TestMain.h"
#include "app/General.h"
#include "app/UfrmOptions.h"
#include "platform/Platform.h"

namespace {

QString fontDump(const char* name, const TFontProps& f) {
  return QStringLiteral("%1=%2/%3/%4/%5").arg(QLatin1String(name), f.fpName).arg(f.fpSize).arg(f.fpColor).arg(f.fpStyle);
}

// One line per field, so a mismatch names the field.
QStringList dump(const TOptions& o) {
  return {
      QStringLiteral("SwitchToRus=%1").arg(o.SwitchToRus),
      QStringLiteral("EscForExit=%1").arg(o.EscForExit),
      QStringLiteral("ItemDivider=[%1]").arg(o.ItemDivider),
      QStringLiteral("CommaAsSep=%1").arg(o.CommaAsSep),
      QStringLiteral("TolHeight=%1").arg(o.TolHeight, 0, 'g', 17),
      QStringLiteral("epWordWrap=%1").arg(o.EditorProps.epWordWrap),
      QStringLiteral("epAutoIndent=%1").arg(o.EditorProps.epAutoIndent),
      QStringLiteral("epHeight=%1").arg(o.EditorProps.epHeight),
      fontDump("EditorFont", o.EditorFont),
      QStringLiteral("ecBackground=%1").arg(o.EditorColors.ecBackground),
      QStringLiteral("ecActiveLine=%1").arg(o.EditorColors.ecActiveLine),
      fontDump("rpFont", o.RenderProps.rpFont),
      QStringLiteral("rpBackColor=%1").arg(o.RenderProps.rpBackColor),
      fontDump("rmFont", o.RenderMenuProps.rmFont),
      QStringLiteral("rmUseSysFont=%1").arg(o.RenderMenuProps.rmUseSysFont),
      QStringLiteral("hpColor=%1").arg(o.HighlightProps.hpColor),
      QStringLiteral("hpNumColor=%1").arg(o.HighlightProps.hpNumColor),
      QStringLiteral("hpSymColor=%1").arg(o.HighlightProps.hpSymColor),
      QStringLiteral("hpStyle=%1").arg(o.HighlightProps.hpStyle),
      QStringLiteral("hpEnable=%1").arg(o.HighlightProps.hpEnable),
  };
}

// Settings where every field the dialog shows differs from its default, with
// system colours where a user could not pick them.
TOptions customOptions() {
  TOptions o;
  o.SwitchToRus = false;
  o.EscForExit = false;
  o.ItemDivider = QStringLiteral(" - ");
  o.CommaAsSep = true;
  o.TolHeight = 0.75;
  o.EditorProps.epWordWrap = true;
  o.EditorProps.epHeight = 237;
  o.EditorProps.epAutoIndent = false;
  o.EditorFont = {QStringLiteral("DejaVu Sans Mono"), 13, clHighlightText, TFontStyles(fsItalic | fsUnderline)};
  o.EditorColors.ecBackground = clWindow;
  o.EditorColors.ecActiveLine = RGBColor(1, 2, 3);
  o.RenderProps.rpFont = {QStringLiteral("DejaVu Serif"), 17, RGBColor(10, 20, 30), TFontStyles(fsBold | fsStrikeOut)};
  o.RenderProps.rpBackColor = clBtnFace;
  o.RenderMenuProps.rmFont = {QStringLiteral("DejaVu Sans"), 9, clWindowText, TFontStyles(fsBold)};
  o.RenderMenuProps.rmUseSysFont = false;
  o.HighlightProps.hpColor = clHighlight;
  o.HighlightProps.hpNumColor = RGBColor(4, 5, 6);
  o.HighlightProps.hpSymColor = RGBColor(7, 8, 9);
  o.HighlightProps.hpStyle = fsBold;
  o.HighlightProps.hpEnable = true;
  return o;
}

// What "По умолчанию" restores on one page: that page's keys as a fresh
// settings file holds them, except the colouring, which it turns off.
void applyPageDefaults(TOptions& o, TOptionsPage page) {
  TOptions fresh;
  TWindowPlacement w;
  LoadSettingsFile(QStringLiteral(KORVEX_SOURCE_DIR "/tests/data/settings-defaults.ini"), fresh);
  fresh.HighlightProps.hpEnable = false;
  for (const TSettingKey& k : SettingsTable())
    if (k.Page == page) SetSettingValue(k, o, w, SettingValue(k, fresh, w));
}

QStringList labelTexts(QWidget* page) {
  QStringList texts;
  for (QLabel* l : page->findChildren<QLabel*>()) texts << l->text();
  return texts;
}

// The user's part in the dialogs opened from now on: action closes the dialog
// (OK, Cancel, the close box); a dialog it leaves open is cancelled.
void scriptUser(std::function<void(QDialog*)> action) {
  platform::DialogSeam seam;
  seam.dialog = [action](QDialog* dlg) {
    action(dlg);
    return dlg->isVisible() ? int(QDialog::Rejected) : dlg->result();
  };
  platform::setDialogSeam(seam);
}

}  // namespace

class TestOptions : public QObject {
  Q_OBJECT

  TOptions FSaved;
  TOptions Options;  // the record the dialog edits

 private slots:
  void init() { FSaved = Options; }
  void cleanup() {
    Options = FSaved;
    platform::setDialogSeam({});
  }

  void tolHeightRoundsHalvesToEven_data() {
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("after");
    QTest::newRow("0.625") << 0.625 << 62 << 0.62;
    QTest::newRow("0.375") << 0.375 << 38 << 0.38;
    QTest::newRow("0.125") << 0.125 << 12 << 0.12;
    QTest::newRow("0.6") << 0.6 << 60 << 0.6;
    QTest::newRow("1.999") << 1.999 << 200 << 2.0;
  }
  void tolHeightRoundsHalvesToEven() {
    QFETCH(double, stored);
    QFETCH(int, position);
    QFETCH(double, after);
    Options = customOptions();
    Options.TolHeight = stored;
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    QCOMPARE(dialog.udTolHeight->position(), position);
    const QString expected = QLocale::system().toString(position / 100.0, 'f', 2);
    QCOMPARE(dialog.edTolHeight->text(), expected);
    dialog.StoreToOptions();
    QCOMPARE(Options.TolHeight, after);
  }

  void upDownStepsByFiveWithinRange() {
    Options = customOptions();
    Options.TolHeight = 0.625;
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    QVERIFY(dialog.edTolHeight->isReadOnly());
    const QString point = QLocale::system().decimalPoint();
    dialog.udTolHeight->stepUp();
    QCOMPARE(dialog.udTolHeight->position(), 67);
    QCOMPARE(dialog.edTolHeight->text(), QStringLiteral("0%1%2").arg(point, QStringLiteral("67")));
    dialog.udTolHeight->stepBy(100);
    QCOMPARE(dialog.udTolHeight->position(), 200);
    QCOMPARE(dialog.edTolHeight->text(), QStringLiteral("2%1%2").arg(point, QStringLiteral("00")));
    dialog.udTolHeight->stepBy(-100);
    QCOMPARE(dialog.udTolHeight->position(), 1);
    QCOMPARE(dialog.edTolHeight->text(), QStringLiteral("0%1%2").arg(point, QStringLiteral("01")));
    dialog.StoreToOptions();
    QCOMPARE(Options.TolHeight, 0.01);
  }

  void loadThenStoreKeepsEveryField() {
    const TOptions custom = customOptions();
    Options = custom;
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    // Store into a cleared record so that every field must come from the dialog
    // except the two it does not show.
    Options = TOptions();
    Options.EditorProps.epWordWrap = custom.EditorProps.epWordWrap;
    Options.EditorProps.epHeight = custom.EditorProps.epHeight;
    dialog.StoreToOptions();
    QCOMPARE(dump(Options), dump(custom));

    // And the fields the dialog does not show survive a store unchanged.
    Options.EditorProps.epWordWrap = false;
    Options.EditorProps.epHeight = 55;
    dialog.StoreToOptions();
    QCOMPARE(Options.EditorProps.epWordWrap, false);
    QCOMPARE(Options.EditorProps.epHeight, 55);
  }

  void loadShowsSettingsInControls() {
    Options = customOptions();
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    QCOMPARE(dialog.SepNumEdit->text(), QStringLiteral(" - "));
    QCOMPARE(dialog.dividerIndex(), 1);
    QCOMPARE(dialog.FontLabel->text(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(dialog.FontLabel->backColor(), clWindow);
    QCOMPARE(dialog.FontLabel->fontColor(), clHighlightText);
    QCOMPARE(dialog.lblRenderFont->text(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(dialog.lblRenderFont->backColor(), clBtnFace);
    QCOMPARE(dialog.lblMenuFont->text(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(dialog.lblMenuFont->backColor(), clMenu);
    QCOMPARE(dialog.shActiveLineColor->color(), RGBColor(1, 2, 3));
    QVERIFY(dialog.chbBold->isChecked());
    Options.HighlightProps.hpStyle = fsItalic;
    dialog.LoadFromOptions();
    QVERIFY(!dialog.chbBold->isChecked());
  }

  void defaultButtonTouchesOnlyTheVisiblePage_data() {
    QTest::addColumn<int>("page");
    QTest::newRow("general") << 0;
    QTest::newRow("additional") << 1;
    QTest::newRow("render") << 2;
    QTest::newRow("highlight") << 3;
  }
  void defaultButtonTouchesOnlyTheVisiblePage() {
    QFETCH(int, page);
    const TOptions custom = customOptions();
    Options = custom;
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    dialog.PageControl->setCurrentIndex(page);
    QTest::mouseClick(dialog.DefaultButton, Qt::LeftButton);
    dialog.StoreToOptions();

    TOptions expected = custom;
    const TOptionsPage pages[] = {TOptionsPage::General, TOptionsPage::Additional, TOptionsPage::Render,
                                  TOptionsPage::Highlight};
    applyPageDefaults(expected, pages[page]);
    QCOMPARE(dump(Options), dump(expected));

    // The samples' backgrounds: the editor sample keeps its own, the preview
    // sample turns black with its defaults, the menu sample always shows the
    // menu colour.
    QCOMPARE(dialog.FontLabel->backColor(), clWindow);
    QCOMPARE(dialog.lblRenderFont->backColor(), page == 2 ? RGBColor(0, 0, 0) : clBtnFace);
    QCOMPARE(dialog.lblMenuFont->backColor(), clMenu);
    if (page == 0) QCOMPARE(dialog.FontLabel->text(), QStringLiteral("Courier New"));
    if (page == 1) QCOMPARE(dialog.edTolHeight->text(), QLocale::system().toString(0.6, 'f', 2));
    if (page == 2) {
      QCOMPARE(dialog.lblRenderFont->text(), QStringLiteral("Arial"));
      QCOMPARE(dialog.lblMenuFont->text(), QStringLiteral("Tahoma"));
    }
  }

  void captionsAndHints() {
    TfrmOptions dialog(Options);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Параметры"));
    QTabWidget* tabs = dialog.PageControl;
    QCOMPARE(tabs->count(), 4);
    const QStringList pages = {QStringLiteral("&Общие"), QStringLiteral("&Дополнительно"),
                               QStringLiteral("&Визуализация"), QStringLiteral("&Подсветка синтаксиса")};
    const QStringList names = {"GeneralSheet", "AddSheet", "RenderSheet", "HighlightSheet"};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(tabs->tabText(i), pages[i]);
      QCOMPARE(tabs->widget(i)->objectName(), names[i]);
    }

    const QList<QPair<QString, QString>> checks = {
        {"SwitchLangCheck", "П&ереключать раскладку клавиатуры на русский язык"},
        {"EscExitCheck", "В&ыход по нажатию клавиши \"Escape\""},
        {"chkbAutoIndent", "&Автоматический отступ в абзаце"},
        {"ckbUseSysFont", "Использовать системный &шрифт"},
        {"chbHighlightEnable", "&Включить подсветку синтаксиса"},
        {"chbBold", "&Полужирный"},
    };
    for (const auto& c : checks) {
      auto* box = dialog.findChild<QCheckBox*>(c.first);
      QVERIFY2(box, qPrintable(c.first));
      QCOMPARE(box->text(), c.second);
    }
    QCOMPARE(dialog.DividerRadioGroup->title(), QStringLiteral(" &Разделитель целой и дробной части "));
    QStringList items;
    for (auto* r : dialog.DividerRadioGroup->findChildren<QRadioButton*>()) items << r->text();
    QCOMPARE(items, (QStringList{QStringLiteral("&Точка"), QStringLiteral("&Запятая")}));
    QStringList groups;
    for (auto* g : dialog.AddSheet->findChildren<QGroupBox*>()) groups << g->title();
    QCOMPARE(groups, QStringList{QStringLiteral(" Нум&ерация ")});

    const QStringList general = labelTexts(dialog.GeneralSheet);
    for (const char* t : {"Шрифт:", "Фон:", "Цвет активного абзаца:"}) QVERIFY2(general.contains(QString::fromUtf8(t)), t);
    const QStringList add = labelTexts(dialog.AddSheet);
    for (const char* t : {"Разделитель номера пункта и текста",
                          "Разделитель номера пункта и текста используется при нумерации пунктов. "
                          "Максимальная длина разделителя - 5 символов.",
                          "Коэффициент высоты шрифта допуска:"})
      QVERIFY2(add.contains(QString::fromUtf8(t)), t);
    const QStringList render = labelTexts(dialog.RenderSheet);
    for (const char* t : {"В редакторе", "В меню", "Шрифт:", "Фон:"}) QVERIFY2(render.contains(QString::fromUtf8(t)), t);
    QCOMPARE(render.count(QStringLiteral("Шрифт:")), 2);
    const QStringList highlight = labelTexts(dialog.HighlightSheet);
    for (const char* t : {"Цвет MText:", "Цвет числа:", "Цвет спец. символов:"})
      QVERIFY2(highlight.contains(QString::fromUtf8(t)), t);

    QCOMPARE(dialog.SepNumEdit->maxLength(), 5);
    QVERIFY(dialog.SepNumEdit->font().bold());
    QCOMPARE(dialog.udTolHeight->minimum(), 1);
    QCOMPARE(dialog.udTolHeight->maximum(), 200);
    QCOMPARE(dialog.udTolHeight->singleStep(), 5);

    QCOMPARE(dialog.OKButton->text(), QStringLiteral("ОК"));
    QVERIFY(dialog.OKButton->isDefault());
    QCOMPARE(dialog.OKButton->toolTip(), QStringLiteral("Применить настройки"));
    QCOMPARE(dialog.CancelButton->text(), QStringLiteral("Отмена"));
    QCOMPARE(dialog.CancelButton->toolTip(), QStringLiteral("Закрыть это окно"));
    QCOMPARE(dialog.DefaultButton->text(), QStringLiteral("По умолчанию"));
    QCOMPARE(dialog.DefaultButton->toolTip(), QStringLiteral("Восстановить настройки по-умолчанию"));
    QCOMPARE(dialog.sbtnHelp->toolTip(), QStringLiteral("Справка"));
    for (const char* name : {"OKButton", "CancelButton", "DefaultButton", "sbtnHelp", "FontLabel", "shBackColor",
                             "shActiveLineColor", "SepNumEdit", "edTolHeight", "udTolHeight", "lblRenderFont",
                             "shRenderColor", "lblMenuFont", "shHighlightColor", "spNumberColor", "shSymbolsColor"})
      QVERIFY2(dialog.findChild<QWidget*>(QLatin1String(name)), name);
  }

  void everyTabIsInView() {
    // No tab hidden behind scroll arrows when the dialog opens at its size.
    TfrmOptions dialog(Options);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTabBar* bar = dialog.PageControl->tabBar();
    for (int i = 0; i < bar->count(); ++i)
      QVERIFY2(bar->rect().contains(bar->tabRect(i)), qPrintable(bar->tabText(i)));
  }

  void swatchesAndSamples() {
    Options = customOptions();
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    // The two backgrounds follow their swatches; the others change only themselves.
    dialog.setSwatchColor(dialog.shBackColor, RGBColor(11, 12, 13));
    QCOMPARE(dialog.FontLabel->backColor(), RGBColor(11, 12, 13));
    dialog.setSwatchColor(dialog.shRenderColor, RGBColor(21, 22, 23));
    QCOMPARE(dialog.lblRenderFont->backColor(), RGBColor(21, 22, 23));
    dialog.setSwatchColor(dialog.spNumberColor, RGBColor(31, 32, 33));
    QCOMPARE(dialog.FontLabel->backColor(), RGBColor(11, 12, 13));
    QCOMPARE(dialog.lblRenderFont->backColor(), RGBColor(21, 22, 23));

    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(15);
    chosen.setItalic(true);
    chosen.setStrikeOut(true);
    dialog.setLabelFont(dialog.lblRenderFont, chosen, RGBColor(41, 42, 43));
    QCOMPARE(dialog.lblRenderFont->text(), QStringLiteral("DejaVu Sans"));
    dialog.StoreToOptions();
    QCOMPARE(fontDump("rpFont", Options.RenderProps.rpFont),
             fontDump("rpFont", {QStringLiteral("DejaVu Sans"), 15, RGBColor(41, 42, 43),
                                 TFontStyles(fsItalic | fsStrikeOut)}));
    QCOMPARE(Options.RenderProps.rpBackColor, RGBColor(21, 22, 23));
    QCOMPARE(Options.EditorColors.ecBackground, RGBColor(11, 12, 13));
    QCOMPARE(Options.HighlightProps.hpNumColor, RGBColor(31, 32, 33));
  }

  void clickingSwatchOpensColourDialog() {
    Options = customOptions();
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    dialog.show();
    // The active-line swatch only shows its colour.
    QSignalSpy passive(dialog.shActiveLineColor, &TColorShape::mouseDown);
    QTest::mouseClick(dialog.shActiveLineColor, Qt::LeftButton);
    QCOMPARE(passive.count(), 0);

    QString seen;
    scriptUser([&seen](QWidget* w) {
      auto* colors = qobject_cast<QColorDialog*>(w);
      seen = colors ? colors->currentColor().name() : QStringLiteral("not a colour dialog");
      if (!colors) return;
      colors->setCurrentColor(QColor(50, 60, 70));
      colors->accept();
    });
    QTest::mouseClick(dialog.shSymbolsColor, Qt::RightButton);
    QCOMPARE(seen, QColor(7, 8, 9).name());
    QCOMPARE(dialog.shSymbolsColor->color(), RGBColor(50, 60, 70));

    scriptUser([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    QTest::mouseClick(dialog.shSymbolsColor, Qt::LeftButton);
    QCOMPARE(dialog.shSymbolsColor->color(), RGBColor(50, 60, 70));
  }

  void clickingSampleOpensFontDialog_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("monospaced");
    QTest::newRow("editor") << "FontLabel" << true;
    QTest::newRow("render") << "lblRenderFont" << false;
    QTest::newRow("menu") << "lblMenuFont" << false;
  }
  void clickingSampleOpensFontDialog() {
    QFETCH(QString, label);
    QFETCH(bool, monospaced);
    Options = customOptions();
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    dialog.show();
    auto* sample = dialog.findChild<TFontSample*>(label);
    QVERIFY(sample);
    const TColor colorBefore = sample->fontColor();
    bool fixedOnly = !monospaced;
    QString startFamily;
    scriptUser([&](QWidget* w) {
      auto* fonts = w->findChild<QFontDialog*>();
      if (!fonts) return;
      fixedOnly = fonts->testOption(QFontDialog::MonospacedFonts);
      startFamily = fonts->currentFont().family();
      QFont f = fonts->currentFont();
      f.setPointSize(21);
      f.setUnderline(true);
      fonts->setCurrentFont(f);
      static_cast<QDialog*>(w)->accept();
    });
    QTest::mouseClick(sample, Qt::LeftButton);
    QCOMPARE(fixedOnly, monospaced);
    QCOMPARE(startFamily, sample->font().family());
    QCOMPARE(sample->font().pointSize(), 21);
    QVERIFY(sample->font().underline());
    QCOMPARE(sample->text(), sample->font().family());
    QCOMPARE(sample->fontColor(), colorBefore);
  }

  void fontDialogKeepsTheFaceAcrossFamilies() {
    // A missing family opens on the face really drawn, upright; picking another
    // family keeps the weight and slant instead of jumping to its first face.
    Options = customOptions();
    Options.EditorFont = {QStringLiteral("Courier New"), 10, clWindowText, 0};
    TfrmOptions dialog(Options);
    dialog.LoadFromOptions();
    dialog.show();
    auto* sample = dialog.findChild<TFontSample*>(QStringLiteral("FontLabel"));
    QVERIFY(sample);
    QFont opened, picked;
    scriptUser([&](QWidget* w) {
      auto* fonts = w->findChild<QFontDialog*>();
      if (!fonts) return;
      opened = fonts->currentFont();
      QListView* families = fonts->findChildren<QListView*>().value(0);
      if (!families) return;
      const QModelIndexList hits =
          families->model()->match(families->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("DejaVu Sans Mono"));
      if (hits.isEmpty()) return;
      QTest::mouseClick(families->viewport(), Qt::LeftButton, {}, families->visualRect(hits.first()).center());
      QTest::qWait(20);
      picked = fonts->currentFont();
      static_cast<QDialog*>(w)->accept();
    });
    QTest::mouseClick(sample, Qt::LeftButton);
    QCOMPARE(opened.style(), QFont::StyleNormal);
    QVERIFY(opened.weight() < QFont::DemiBold);
    QCOMPARE(picked.family(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(picked.style(), QFont::StyleNormal);
    QVERIFY(picked.weight() < QFont::DemiBold);
    QVERIFY(!sample->font().italic());
  }

  void helpButtonOpensItsPage() {
    platform::setHelpFolder(QStringLiteral(KORVEX_SOURCE_DIR "/Help"));
    TfrmOptions dialog(Options);
    dialog.show();
    QTest::mouseClick(dialog.sbtnHelp, Qt::LeftButton);
    QWidget* help = platform::helpWindow();
    QVERIFY(help);
    auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    QVERIFY(browser);
    QVERIFY2(browser->source().toLocalFile().endsWith(QStringLiteral("/300.html")),
             qPrintable(browser->source().toString()));
    help->close();
  }

  void okStoresAndCancelChangesNothing() {
    Options = customOptions();
    const QStringList before = dump(Options);
    auto edit = [](QWidget* w) {
      auto* d = qobject_cast<TfrmOptions*>(w);
      if (!d) return false;
      d->SwitchLangCheck->setChecked(true);
      d->SepNumEdit->setText(QStringLiteral(")"));
      d->udTolHeight->setPosition(95);
      d->setSwatchColor(d->shHighlightColor, RGBColor(90, 91, 92));
      return true;
    };

    bool edited = false;
    scriptUser([&](QWidget* w) {
      edited = edit(w);
      if (edited) static_cast<TfrmOptions*>(w)->CancelButton->click();
    });
    QVERIFY(!ExecuteOptionsDialog(Options, nullptr));
    QVERIFY(edited);
    QCOMPARE(dump(Options), before);

    edited = false;
    scriptUser([&](QWidget* w) {
      edited = edit(w);
      w->close();
    });
    QVERIFY(!ExecuteOptionsDialog(Options, nullptr));
    QVERIFY(edited);
    QCOMPARE(dump(Options), before);

    scriptUser([&](QWidget* w) {
      edited = edit(w);
      if (edited) static_cast<TfrmOptions*>(w)->OKButton->click();
    });
    QVERIFY(ExecuteOptionsDialog(Options, nullptr));
    QCOMPARE(Options.SwitchToRus, true);
    QCOMPARE(Options.ItemDivider, QStringLiteral(")"));
    QCOMPARE(Options.TolHeight, 0.95);
    QCOMPARE(Options.HighlightProps.hpColor, RGBColor(90, 91, 92));
    QCOMPARE(Options.EditorProps.epHeight, 237);
  }
};

KORVEX_TEST(TestOptions)
#include "test_options.moc"
