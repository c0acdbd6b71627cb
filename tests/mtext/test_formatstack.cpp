// The saved-state stack: capacity and growth, order, errors, disposal.
#include <QtTest>

#include "TestMain.h"

#include <vector>

#include "mtext/zorAcMtextRender.h"

namespace {
std::vector<TFormatText*> GDisposed;
void recordDispose(TFormatText* AData) { GDisposed.push_back(AData); }

QString errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EFormatStackError& e) {
    return e.message();
  }
  return QString();
}
}  // namespace

class TestFormatStack : public QObject {
  Q_OBJECT
 private slots:
  void init() { GDisposed.clear(); }

  void capacityRule() {
    QCOMPARE(TFormatStack(nullptr, 0).Capacity(), 16);
    QCOMPARE(TFormatStack(nullptr, 1).Capacity(), 16);
    QCOMPARE(TFormatStack(nullptr, -1).Capacity(), 16);
    QCOMPARE(TFormatStack(nullptr, 2).Capacity(), 2);
  }

  void growsByHalf() {
    TFormatStack s(nullptr, 2);
    std::vector<std::unique_ptr<TFormatText>> items;
    const int expected[] = {2, 2, 3, 4, 6, 6, 9, 9, 9};
    for (int i = 0; i < 9; ++i) {
      items.push_back(std::make_unique<TFormatText>());
      s.Push(items.back().get());
      QCOMPARE(s.Capacity(), expected[i]);
    }
    QCOMPARE(s.Count(), 9);
    while (!s.IsEmpty()) s.Pop();
  }

  void seventeenPopInReverse() {
    TFormatStack s;
    std::vector<std::unique_ptr<TFormatText>> items;
    for (int i = 0; i < 17; ++i) {
      items.push_back(std::make_unique<TFormatText>());
      items.back()->setAlign(quint8(i));
      s.Push(items.back().get());
    }
    QCOMPARE(s.Capacity(), 24);
    QCOMPARE(s.Examine(), items[16].get());
    QCOMPARE(s.Count(), 17);  // Examine leaves the item on the stack
    for (int i = 16; i >= 0; --i) QCOMPARE(s.Pop(), items[size_t(i)].get());
    QVERIFY(s.IsEmpty());
  }

  void emptyStackErrors() {
    TFormatStack s;
    QCOMPARE(s.Name(), QStringLiteral("TFormatStack"));
    QCOMPARE(errorOf([&] { s.Pop(); }),
             QStringLiteral("Error: 0, Unit/Class: zorAcMtextRender.TFormatStack, Method: Pop, Object: TFormatStack)"));
    QCOMPARE(s.Count(), 0);
    QCOMPARE(errorOf([&] { s.Examine(); }),
             QStringLiteral(
                 "Error: 0, Unit/Class: zorAcMtextRender.TFormatStack, Method: Examine, Object: TFormatStack)"));
    QCOMPARE(s.Count(), 0);
    // Still usable after the error.
    TFormatText t;
    s.Push(&t);
    QCOMPARE(s.Pop(), &t);
    // The error is a standard exception too, with the same text.
    try {
      s.Pop();
      QFAIL("no exception");
    } catch (const std::runtime_error& e) {
      QVERIFY(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Error: 0, Unit/Class:")));
    }
  }

  void clearWithoutDisposeFreesNothing() {
    TFormatStack s(nullptr, -1);
    TFormatText a, b;  // on the test's stack frame: freeing them would crash
    s.Push(&a);
    s.Push(&b);
    s.Clear();
    QCOMPARE(s.Count(), 0);
    QCOMPARE(s.Capacity(), 16);
  }

  void destructorDisposesBottomFirst() {
    TFormatText a, b, c;
    {
      TFormatStack s(recordDispose, -1);
      s.Push(&a);
      s.Push(&b);
      s.Push(&c);
      QCOMPARE(s.Pop(), &c);  // popped items belong to the caller
      s.Push(&c);
      s.Pop();
    }
    QCOMPARE(GDisposed.size(), size_t(2));
    QCOMPARE(GDisposed[0], &a);
    QCOMPARE(GDisposed[1], &b);
  }

  void clearDisposesOnce() {
    TFormatText a, b;
    TFormatStack s(recordDispose, -1);
    s.Push(&a);
    s.Push(&b);
    s.Clear();
    s.Clear();
    QCOMPARE(GDisposed.size(), size_t(2));
    QCOMPARE(GDisposed[0], &a);
  }

  void formatTextConstructors() {
    const TFormatText d;
    QVERIFY(d.FontName().isEmpty());
    QCOMPARE(d.Height(), 0.0);
    QCOMPARE(d.Width(), 0.0);
    QCOMPARE(d.Angle(), 0.0);
    QCOMPARE(int(d.Bold() | d.Italic() | d.Underline() | d.Overline() | d.StrikeOut()), 0);
    QCOMPARE(d.Color(), TColor(0));
    QCOMPARE(int(d.Align()), 0);
    // Argument order: align before colour; flags are bytes kept unchanged.
    const TFormatText f(QStringLiteral("Arial"), 2.5, 0.8, 15, 1, 2, 3, 4, 5, 6, RGBColor(1, 2, 3));
    QCOMPARE(f.FontName(), QStringLiteral("Arial"));
    QCOMPARE(f.Height(), 2.5);
    QCOMPARE(f.Width(), 0.8);
    QCOMPARE(f.Angle(), 15.0);
    QCOMPARE(int(f.Bold()), 1);
    QCOMPARE(int(f.Italic()), 2);
    QCOMPARE(int(f.Underline()), 3);
    QCOMPARE(int(f.Overline()), 4);
    QCOMPARE(int(f.StrikeOut()), 5);
    QCOMPARE(int(f.Align()), 6);
    QCOMPARE(f.Color(), RGBColor(1, 2, 3));
  }
};

KORVEX_TEST(TestFormatStack)
#include "test_formatstack.moc"
