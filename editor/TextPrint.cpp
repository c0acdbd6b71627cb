#include "editor/TextPrint.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>

namespace {

// The margins of the printer's page setup, but never under 10 mm: most
// printers cut what lies closer to the sheet's edge, and a PDF has none.
void keepPrintMargins(QPrinter* printer) {
  const QMarginsF m = printer->pageLayout().margins(QPageLayout::Millimeter);
  const QMarginsF kept(qMax(m.left(), 10.0), qMax(m.top(), 10.0), qMax(m.right(), 10.0), qMax(m.bottom(), 10.0));
  if (kept != m) printer->setPageMargins(kept, QPageLayout::Millimeter);
}

// The printed copy carries the highlighter's colours as real character
// formats, since layout formats do not survive pagination.
void applyHighlighting(QTextDocument* doc, const THighlighterFactory& factory) {
  if (!factory) return;
  QSyntaxHighlighter* highlighter = factory(doc);
  if (!highlighter) return;
  highlighter->rehighlight();
  QTextCursor c(doc);
  c.beginEditBlock();
  for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
    const QList<QTextLayout::FormatRange> ranges = b.layout()->formats();
    for (const QTextLayout::FormatRange& r : ranges) {
      c.setPosition(b.position() + r.start);
      c.setPosition(b.position() + r.start + r.length, QTextCursor::KeepAnchor);
      c.mergeCharFormat(r.format);
    }
  }
  c.endEditBlock();
  delete highlighter;
}

std::unique_ptr<QTextDocument> makePrintDocument(const QTextDocument* source, const QFont& font, QPrinter* printer,
                                                 bool wordWrap, const THighlighterFactory& factory) {
  keepPrintMargins(printer);
  std::unique_ptr<QTextDocument> doc(source->clone());
  doc->setDefaultFont(font);
  doc->documentLayout()->setPaintDevice(printer);
  QTextOption option = doc->defaultTextOption();
  option.setWrapMode(wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  option.setTabStopDistance(8 * QFontMetricsF(font, printer).horizontalAdvance(QLatin1Char(' ')));
  doc->setDefaultTextOption(option);
  applyHighlighting(doc.get(), factory);
  doc->setPageSize(QSizeF(printer->width(), printer->height()));
  return doc;
}

// The pages to print in order.  A PDF file or a printer without its own copy
// handling gets each copy as pages of its own, collated or page by page as
// asked.
QList<int> pageOrder(const QPrinter* printer, int first, int last) {
  const bool ownCopies = printer->outputFormat() == QPrinter::PdfFormat || !printer->supportsMultipleCopies();
  const int copies = ownCopies ? qMax(1, printer->copyCount()) : 1;
  const bool collate = printer->collateCopies();
  QList<int> order;
  for (int c = 0; c < (collate ? copies : 1); ++c)
    for (int p = first; p <= last; ++p)
      for (int r = 0; r < (collate ? 1 : copies); ++r) order << p;
  return order;
}

}  // namespace

int PrintPageCount(const QTextDocument* source, const QFont& font, QPrinter* printer, bool wordWrap) {
  if (!printer) return 0;
  return makePrintDocument(source, font, printer, wordWrap, nullptr)->pageCount();
}

void PrintDocument(const QTextDocument* source, const QFont& font, QPrinter* printer, const QString& title,
                   bool wordWrap, const THighlighterFactory& highlighterFactory, int fromPage, int toPage) {
  if (!printer) return;
  printer->setDocName(title);
  std::unique_ptr<QTextDocument> doc = makePrintDocument(source, font, printer, wordWrap, highlighterFactory);
  const int pages = doc->pageCount();
  const int first = fromPage > 0 ? fromPage : 1;
  const int last = toPage > 0 ? qMin(toPage, pages) : pages;
  if (first > last) return;
  QPainter painter(printer);
  if (!painter.isActive()) return;
  const QSizeF page = doc->pageSize();
  const QList<int> order = pageOrder(printer, first, last);
  for (int i = 0; i < order.size(); ++i) {
    const int p = order.at(i);
    if (i > 0) printer->newPage();
    painter.save();
    const QRectF clip(0, (p - 1) * page.height(), page.width(), page.height());
    painter.translate(0, -clip.top());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    painter.setClipRect(clip);
    doc->documentLayout()->draw(&painter, context);
    painter.restore();
  }
}
