#include <QDir>
#include <QImage>
#include <QStyle>
#include <QKeyEvent>
#include <QLineEdit>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QTest>

#include "TestMain.h"
#include "platform/Platform.h"

class TestPlatform : public QObject {
  Q_OBJECT
 private slots:
  void seamReplacesQuestions() {
    QStringList asked;
    platform::MessageSeam seam;
    seam.ask = [&](const QString& t) {
      asked << t;
      return QMessageBox::No;
    };
    platform::setMessageSeam(seam);
    QCOMPARE(platform::askYesNoCancel(nullptr, QStringLiteral("Сохранить текст ?")), QMessageBox::No);
    QCOMPARE(asked, QStringList{QStringLiteral("Сохранить текст ?")});
    platform::setMessageSeam({});
  }

  void exceptionsInHandlersAreShownNotFatal() {
    QStringList errors;
    platform::MessageSeam seam;
    seam.error = [&](const QString& t) { errors << t; };
    platform::setMessageSeam(seam);
    struct Probe : QObject {
      bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Ошибка при сохранении /x");
        return QObject::event(e);
      }
    } probe;
    QEvent ev(QEvent::User);
    QCoreApplication::sendEvent(&probe, &ev);  // must not escape
    QCOMPARE(errors, QStringList{QStringLiteral("Ошибка при сохранении /x")});
    platform::setMessageSeam({});
  }

  void idleHandlerIsNotReentrant() {
    int depth = 0, maxDepth = 0, calls = 0;
    platform::setIdleHandler([&] {
      ++calls;
      ++depth;
      maxDepth = qMax(maxDepth, depth);
      platform::runIdleHandler();  // a nested idle pass is dropped
      --depth;
    });
    platform::runIdleHandler();
    QCOMPARE(calls, 1);
    QCOMPARE(maxDepth, 1);
    platform::setIdleHandler({});
  }

  void insertToggleIsApplicationWide() {
    platform::setInsertToggled(false);
    QVERIFY(!platform::insertToggled());
    platform::setInsertToggled(true);
    QVERIFY(platform::insertToggled());
    platform::setInsertToggled(false);
  }

  void insertKeyTogglesOnEveryPress() {
    // Key events are built on the stack: successive presses share an address.
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* other = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    platform::setInsertToggled(false);
    auto press = [](QWidget* w) {
      QKeyEvent e(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier);
      QApplication::sendEvent(w, &e);
    };
    QList<bool> seen;
    for (int i = 0; i < 3; ++i) {
      press(edit);
      seen << platform::insertToggled();
    }
    QCOMPARE(seen, (QList<bool>{true, false, true}));
    // A key event handed on to a widget without focus is not another press.
    press(other);
    QVERIFY(platform::insertToggled());
    platform::setInsertToggled(false);
  }

  // Every help context the program opens has a Russian page.
  void helpPagesExist_data() {
    QTest::addColumn<int>("context");
    for (int c : {0, 240, 260, 270, 290, 300, 320}) QTest::newRow(qPrintable(QString::number(c))) << c;
  }
  void helpPagesExist() {
    QFETCH(int, context);
    platform::setHelpFolder(QStringLiteral(KORVEX_SOURCE_DIR "/Help"));
    QFile f(platform::helpPageFile(context));
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    const QString html = QString::fromUtf8(f.readAll());
    QVERIFY(html.contains(QStringLiteral("<h1")));
    QVERIFY(html.contains(QRegularExpression(QStringLiteral("[А-Яа-яЁё]{4,}"))));
    QVERIFY(html.size() > 800);
  }

  void helpWindowOpensAtContext() {
    platform::setHelpFolder(QStringLiteral(KORVEX_SOURCE_DIR "/Help"));
    platform::showHelp(nullptr, 240);
    QWidget* w = platform::helpWindow();
    QVERIFY(w);
    auto* browser = w->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    QVERIFY(browser);
    QVERIFY(browser->source().toLocalFile().endsWith(QStringLiteral("240.html")));
    QVERIFY(!browser->toPlainText().isEmpty());
    w->close();
  }

  void missingHelpPageSaysSo() {
    QTemporaryDir dir;
    platform::setHelpFolder(dir.path());
    platform::showHelp(nullptr, 0);
    auto* browser = platform::helpWindow()->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("не найдена")));
    platform::helpWindow()->close();
  }

  // The help buttons show a blue question mark whatever the icon theme draws
  // for help; the other icons stay the wrapped style's.
  void helpButtonIconIsAQuestionMark() {
    platform::HelpIconStyle style;  // outlives the widget that uses it
    QWidget w;
    w.setStyle(&style);
    for (auto which : {QStyle::SP_DialogHelpButton, QStyle::SP_TitleBarContextHelpButton}) {
      const QImage image = w.style()->standardIcon(which, nullptr, &w).pixmap(16, 16).toImage();
      int blue = 0, white = 0, red = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const QColor c = image.pixelColor(x, y);
          if (c.alpha() < 200) continue;
          if (c.blue() > 150 && c.red() < 100) ++blue;
          else if (c.red() > 200 && c.green() > 200 && c.blue() > 200) ++white;
          else if (c.red() > 150 && c.green() < 100) ++red;
        }
      QVERIFY(blue > 80);
      QVERIFY(white > 8);  // the mark itself
      QCOMPARE(red, 0);
    }
    QVERIFY(!w.style()->standardIcon(QStyle::SP_DialogOkButton, nullptr, &w).isNull());
  }
};

KORVEX_TEST(TestPlatform)
#include "test_platform.moc"
