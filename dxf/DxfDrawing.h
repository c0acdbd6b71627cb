#pragma once
// An ASCII DXF drawing seen as the list of its MTEXT entities: model space,
// each paper-space layout and each block definition.  Reading keeps the file's
// bytes; writing an entity's text back replaces only its text groups (the
// chunks in group 3 and the last one in group 1) and leaves every other byte
// as it was: line breaks, the padding of group codes, the order of tags.
#include <QByteArray>
#include <QList>
#include <QString>

#include "dxf/DxfStrings.h"

enum TDxfSpaceKind { dskModel, dskPaper, dskBlock };

struct TDxfMText {
  QString handle;  // group 5; empty in a drawing written without handles
  QString layer;   // group 8
  TDxfSpaceKind kind = dskModel;
  QString space;  // layout name ("Layout1") or block name; empty for model space
  QString text;   // the MText string: code page and caret escapes decoded
  int line = 0;   // line of the entity's "0 / MTEXT" in the file
  int index = 0;  // place in the list: model space, layouts, blocks, each in file order

  // Byte ranges [begin, end) of the text tags (code line to the end of the
  // value's line break), and where new text goes when there is none.
  QList<QPair<qsizetype, qsizetype>> textTags;
  qsizetype insertAt = -1;
  qsizetype begin = 0;  // start of the entity's "0" code line

  // "Модель", "Лист Layout1" or "Блок NAME", as the chooser and --list show it.
  QString placeName() const;
  // The drawing's bytes without this entity's text tags: what writing its
  // text must leave exactly as it was.
  QByteArray outsideText(const QByteArray& bytes) const;
};

class TDxfDrawing {
 public:
  // Files above this size are refused before reading.
  static constexpr qint64 MaxFileBytes = 1LL << 30;

  // False with a Russian reason (and the line, for a damaged file) in error.
  // A drawing without MTEXT is refused too.
  bool load(const QString& path, QString& error);
  bool parse(const QByteArray& bytes, QString& error);

  const QByteArray& bytes() const { return FBytes; }
  const QList<TDxfMText>& mtexts() const { return FMTexts; }
  const TDxfCodec& codec() const { return FCodec; }
  QString version() const { return FVersion; }
  // The entity with this handle (or, in a drawing without handles, the index
  // given); null when there is none.
  const TDxfMText* find(const QString& handle, int index = -1) const;

  // The file's bytes with the entity's text replaced.
  QByteArray withText(const TDxfMText& entity, const QString& text) const;
  // The groups that carry text, encoded as this file writes them (code lines
  // padded like the entity's own, its line break).
  QByteArray textGroups(const TDxfMText& entity, const QString& text) const;

 private:
  QByteArray FBytes;
  QString FVersion;
  TDxfCodec FCodec;
  QList<TDxfMText> FMTexts;
};

// Writes one entity's text into the drawing at path, atomically.  The file is
// read again first: its other entities may have changed since it was opened
// and those changes are kept.  When the entity's text in the file is no longer
// expectedText (another program changed it), nothing is written unless force
// is set; conflict tells which case it was.
bool WriteDxfText(const QString& path, const QString& handle, int index, const QString& expectedText,
                  const QString& text, bool force, bool& conflict, QString& error);
