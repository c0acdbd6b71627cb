#pragma once
// Printing a text document with highlighting: a clone of the document is laid
// out on the printer's pages, in the font given, and gets a highlighter from
// the factory (which may return nullptr).
#include <QString>
#include <functional>

class QFont;
class QPrinter;
class QSyntaxHighlighter;
class QTextDocument;

using THighlighterFactory = std::function<QSyntaxHighlighter*(QTextDocument*)>;

int PrintPageCount(const QTextDocument* source, const QFont& font, QPrinter* printer, bool wordWrap);
// Pages are 1-based; 0, 0 prints all.
void PrintDocument(const QTextDocument* source, const QFont& font, QPrinter* printer, const QString& title,
                   bool wordWrap, const THighlighterFactory& highlighterFactory, int fromPage = 0, int toPage = 0);
