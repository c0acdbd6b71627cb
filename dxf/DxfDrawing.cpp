#include "dxf/DxfDrawing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

struct TTag {
  int code = 0;
  int line = 0;             // line of the code
  qsizetype begin = 0;      // start of the code line
  qsizetype valueBegin = 0;
  qsizetype valueEnd = 0;   // value without its line break
  qsizetype end = 0;        // after the value's line break
};

class TTagReader {
 public:
  TTagReader(const QByteArray& bytes, qsizetype start) : FData(bytes.constData()), FSize(bytes.size()), FPos(start) {}

  // False at the end of the data, or with error set for a damaged pair.
  bool next(TTag& tag, QString& error) {
    if (FPos >= FSize) return false;
    tag.begin = FPos;
    tag.line = FLine + 1;
    qsizetype b, e;
    readLine(b, e);
    // A file cut short ends on a code line: that is a truncation, whatever
    // the last line holds.
    if (FPos >= FSize) {
      error = QStringLiteral("Файл DXF обрезан: у группы в строке %1 нет значения").arg(tag.line);
      return false;
    }
    if (!parseCode(FData + b, e - b, tag.code)) {
      error = QStringLiteral("Файл DXF поврежден: в строке %1 ожидался код группы, а записано «%2»")
                  .arg(tag.line)
                  .arg(shown(b, e));
      return false;
    }
    readLine(tag.valueBegin, tag.valueEnd);
    tag.end = FPos;
    return true;
  }
  int line() const { return FLine; }

 private:
  const char* FData;
  qsizetype FSize;
  qsizetype FPos;
  int FLine = 0;

  void readLine(qsizetype& b, qsizetype& e) {
    b = FPos;
    const void* nl = std::memchr(FData + FPos, '\n', size_t(FSize - FPos));
    if (nl) {
      e = static_cast<const char*>(nl) - FData;
      FPos = e + 1;
    } else {
      e = FSize;
      FPos = FSize;
    }
    if (e > b && FData[e - 1] == '\r') --e;
    ++FLine;
  }

  static bool parseCode(const char* p, qsizetype n, int& code) {
    qsizetype i = 0;
    while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
    while (n > i && (p[n - 1] == ' ' || p[n - 1] == '\t')) --n;
    const bool negative = i < n && p[i] == '-';
    if (negative) ++i;
    if (i == n || n - i > 6) return false;
    int v = 0;
    for (; i < n; ++i) {
      if (p[i] < '0' || p[i] > '9') return false;
      v = v * 10 + (p[i] - '0');
    }
    code = negative ? -v : v;
    return true;
  }

  QString shown(qsizetype b, qsizetype e) const {
    QString s = QString::fromLatin1(FData + b, qMin<qsizetype>(e - b, 40));
    for (QChar& c : s)
      if (c.unicode() < 0x20 || c.unicode() >= 0x7F) c = QLatin1Char('?');
    return s;
  }
};

enum TSection { secNone, secHeader, secTables, secBlocks, secEntities, secObjects, secOther };

// What one entity (everything from its "0" tag to the next) told us.
struct TEntity {
  QByteArray type;
  int line = 0;
  qsizetype begin = 0;
  QByteArray handle, name1, name2, layer, owner, layoutRecord;
  bool paper = false;
  bool inBraces = false;     // inside a 102 {…} application group
  bool inLayout = false;     // after the AcDbLayout marker
  bool closed = false;       // embedded object or extended data reached: no more text groups
  QList<QPair<qsizetype, qsizetype>> textTags;
  QByteArray rawText;
  qsizetype afterMarker = -1;
  qsizetype closedAt = -1;  // where the embedded object or the extended data begins
  qsizetype braceAt = -1;
};

struct TPending {
  TEntity e;
  TSection section;
  QByteArray block;
  qsizetype end;
};

QByteArray trimmed(const QByteArray& bytes, const TTag& t) {
  return QByteArray(bytes.constData() + t.valueBegin, t.valueEnd - t.valueBegin).trimmed();
}

// The code line (with its break) that starts at begin.
QByteArray codeLine(const QByteArray& bytes, qsizetype begin) {
  const qsizetype nl = bytes.indexOf('\n', begin);
  return bytes.mid(begin, nl < 0 ? -1 : nl - begin + 1);
}

// A code line of another group with the same padding: "  1\r\n" -> "  3\r\n".
QByteArray recode(QByteArray line, char from, char to) {
  const qsizetype i = line.lastIndexOf(from);
  if (i >= 0) line[i] = to;
  return line;
}

bool isUtf8Version(const QString& version) {
  return version.startsWith(QLatin1String("AC")) && version.mid(2).toInt() >= 1021;
}


// The sections of a drawing read tag by tag: the header's version and code
// page, the names the tables and objects give to block records and layouts,
// and every MTEXT entity with the block it stands in.
class TDxfScan {
 public:
  explicit TDxfScan(const QByteArray& bytes) : FBytes(bytes) {}

  // False with a Russian reason in error for a damaged or truncated file.
  bool read(QString& error);

  QString version;
  QByteArray codePage;
  QList<TPending> pending;
  QHash<QByteArray, QByteArray> recordName, layoutByRecord;  // block record handle -> name, -> layout name

 private:
  enum TStep { stNext, stEnd, stError };
  TStep readEntityStart(const TTag& tag, QString& error);
  void readSectionName(const TTag& tag);
  void readHeaderTag(const TTag& tag);
  void readEntityTag(const TTag& tag);
  void finishEntity(qsizetype end);
  QByteArray value(const TTag& tag) const { return trimmed(FBytes, tag); }

  const QByteArray& FBytes;
  TSection FSection = secNone;
  bool FExpectSectionName = false;
  QByteArray FHeaderVar, FBlock;
  TEntity FEntity;
  bool FInEntity = false;
};

bool TDxfScan::read(QString& error) {
  TTagReader reader(FBytes, FBytes.startsWith("\xEF\xBB\xBF") ? 3 : 0);
  TTag tag;
  QString readError;
  bool sawEof = false;
  while (reader.next(tag, readError)) {
    if (tag.code == 0) {
      const TStep step = readEntityStart(tag, error);
      if (step == stError) return false;
      if (step == stEnd) {
        sawEof = true;
        break;
      }
      continue;
    }
    if (FExpectSectionName) readSectionName(tag);
    if (FSection == secHeader) {
      readHeaderTag(tag);
    } else if (FInEntity) {
      readEntityTag(tag);
    }
  }
  if (!readError.isEmpty()) {
    error = readError;
    return false;
  }
  if (!sawEof) {
    error = QStringLiteral("Файл DXF обрезан: после строки %1 нет конца файла (EOF)").arg(reader.line());
    return false;
  }
  return true;
}

// A "0" tag: a section starts or ends, the file ends, or an entity starts.
TDxfScan::TStep TDxfScan::readEntityStart(const TTag& tag, QString& error) {
  const QByteArray v = value(tag);
  finishEntity(tag.begin);
  if (v == "SECTION") {
    if (FSection != secNone) {
      error = QStringLiteral("Файл DXF поврежден: в строке %1 начинается раздел, а предыдущий не закрыт (ENDSEC)")
                  .arg(tag.line);
      return stError;
    }
    FSection = secOther;
    FExpectSectionName = true;
    return stNext;
  }
  if (v == "ENDSEC") {
    FSection = secNone;
    return stNext;
  }
  if (v == "EOF") return stEnd;
  if (FSection == secNone) {
    error = QStringLiteral("Файл DXF поврежден: в строке %1 объект «%2» стоит вне раздела")
                .arg(tag.line)
                .arg(QString::fromLatin1(v.left(40)));
    return stError;
  }
  FEntity = TEntity();
  FEntity.type = v;
  FEntity.line = tag.line;
  FEntity.begin = tag.begin;
  FInEntity = true;
  return stNext;
}

void TDxfScan::readSectionName(const TTag& tag) {
  FExpectSectionName = false;
  if (tag.code != 2) return;
  const QByteArray name = value(tag);
  FSection = name == "HEADER"     ? secHeader
             : name == "TABLES"   ? secTables
             : name == "BLOCKS"   ? secBlocks
             : name == "ENTITIES" ? secEntities
             : name == "OBJECTS"  ? secObjects
                                  : secOther;
}

void TDxfScan::readHeaderTag(const TTag& tag) {
  if (tag.code == 9) {
    FHeaderVar = value(tag);
  } else if (FHeaderVar == "$ACADVER" && tag.code == 1) {
    version = QString::fromLatin1(value(tag));
  } else if (FHeaderVar == "$DWGCODEPAGE" && tag.code == 3) {
    codePage = value(tag);
  }
}

void TDxfScan::readEntityTag(const TTag& tag) {
  TEntity& e = FEntity;
  switch (tag.code) {
    case 5:
      if (e.handle.isEmpty()) e.handle = value(tag);
      break;
    case 1:
    case 3:
      if (e.type == "MTEXT" && !e.closed && !e.inBraces) {
        e.textTags.append({tag.begin, tag.end});
        e.rawText.append(FBytes.constData() + tag.valueBegin, tag.valueEnd - tag.valueBegin);
      } else if (tag.code == 1 && e.name1.isEmpty()) {
        e.name1 = value(tag);
      }
      break;
    case 2:
      if (e.name2.isEmpty()) e.name2 = value(tag);
      break;
    case 8:
      if (e.layer.isEmpty()) e.layer = QByteArray(FBytes.constData() + tag.valueBegin, tag.valueEnd - tag.valueBegin);
      break;
    case 67:
      e.paper = value(tag).toInt() == 1;
      break;
    case 100: {
      const QByteArray marker = value(tag);
      e.inLayout = marker == "AcDbLayout";
      if (marker == "AcDbMText" && !e.closed && !e.inBraces) e.afterMarker = tag.end;
      break;
    }
    case 101:
    case 1001:
      // The embedded object and the extended data hold groups 1 and 3 of their own.
      if (!e.closed && !e.inBraces) {
        e.closedAt = tag.begin;
        e.closed = true;
      }
      break;
    case 102: {
      const bool opens = value(tag).startsWith('{');
      if (opens && !e.inBraces) e.braceAt = tag.begin;
      e.inBraces = opens;
      break;
    }
    case 330:
      if (e.inBraces) break;
      if (e.inLayout) {
        e.layoutRecord = value(tag);
      } else if (e.owner.isEmpty()) {
        e.owner = value(tag);
      }
      break;
    default:
      break;
  }
}

void TDxfScan::finishEntity(qsizetype end) {
  if (!FInEntity) return;
  FInEntity = false;
  const TEntity& e = FEntity;
  if (FSection == secTables && e.type == "BLOCK_RECORD") {
    recordName.insert(e.handle.toUpper(), e.name2);
  } else if (FSection == secObjects && e.type == "LAYOUT") {
    layoutByRecord.insert(e.layoutRecord.toUpper(), e.name1);
  } else if (FSection == secBlocks && e.type == "BLOCK") {
    FBlock = e.name2;
  } else if (FSection == secBlocks && e.type == "ENDBLK") {
    FBlock.clear();
  } else if (e.type == "MTEXT" && (FSection == secBlocks || FSection == secEntities)) {
    pending.append({e, FSection, FBlock, end});
  }
}

// A file this reader cannot take at all, told by its first bytes.
bool checkTextDxf(const QByteArray& bytes, QString& error) {
  if (bytes.startsWith("AutoCAD Binary DXF")) {
    error = QStringLiteral("Двоичный формат DXF не поддерживается; сохраните чертеж как DXF в текстовом формате (ASCII)");
    return false;
  }
  if (bytes.size() >= 6 && bytes.startsWith("AC") && std::isdigit(static_cast<unsigned char>(bytes[2])) &&
      std::isdigit(static_cast<unsigned char>(bytes[3]))) {
    error = QStringLiteral("Формат DWG не поддерживается; сохраните чертеж как DXF");
    return false;
  }
  if (bytes.trimmed().isEmpty()) {
    error = QStringLiteral("Файл пуст: это не чертеж DXF");
    return false;
  }
  return true;
}

// The entities found, with their place (model space, a layout, a block) and
// where new text groups go; model space first, then the layouts, then the
// blocks, each in file order.
QList<TDxfMText> placeMTexts(const TDxfScan& scan, const TDxfCodec& codec) {
  QHash<QByteArray, QByteArray> recordByName;
  for (auto it = scan.recordName.cbegin(); it != scan.recordName.cend(); ++it)
    recordByName.insert(it.value().toUpper(), it.key());
  auto layoutOf = [&](const QByteArray& record) { return codec.decode(scan.layoutByRecord.value(record.toUpper())); };

  QList<TDxfMText> result;
  result.reserve(scan.pending.size());
  for (const TPending& p : scan.pending) {
    TDxfMText m;
    m.handle = QString::fromLatin1(p.e.handle);
    m.layer = codec.decode(p.e.layer);
    m.text = CaretDecode(codec.decode(p.e.rawText));
    m.line = p.e.line;
    m.begin = p.e.begin;
    m.textTags = p.e.textTags;
    // New text groups go after the subclass marker, else before whatever
    // would keep them from being read as text.
    m.insertAt = p.e.afterMarker >= 0 ? p.e.afterMarker : p.end;
    if (p.e.afterMarker < 0 && p.e.closedAt >= 0) m.insertAt = p.e.closedAt;
    if (p.e.afterMarker < 0 && p.e.inBraces && p.e.braceAt >= 0) m.insertAt = qMin(m.insertAt, p.e.braceAt);
    const QByteArray blockName = p.block.toUpper();
    if (p.section == secEntities) {
      m.kind = p.e.paper ? dskPaper : dskModel;
      if (p.e.paper) m.space = layoutOf(p.e.owner.isEmpty() ? recordByName.value("*PAPER_SPACE") : p.e.owner);
    } else if (blockName.startsWith("*PAPER_SPACE")) {
      m.kind = dskPaper;
      m.space = layoutOf(recordByName.value(blockName));
    } else if (blockName == "*MODEL_SPACE") {
      m.kind = dskModel;
    } else {
      m.kind = dskBlock;
      m.space = codec.decode(p.block);
    }
    result.append(m);
  }
  std::stable_sort(result.begin(), result.end(), [](const TDxfMText& a, const TDxfMText& b) { return a.kind < b.kind; });
  for (qsizetype i = 0; i < result.size(); ++i) result[i].index = int(i);
  return result;
}

}  // namespace

QString TDxfMText::placeName() const {
  switch (kind) {
    case dskModel: return QStringLiteral("Модель");
    case dskPaper: return space.isEmpty() ? QStringLiteral("Лист") : QStringLiteral("Лист %1").arg(space);
    case dskBlock: break;
  }
  return QStringLiteral("Блок %1").arg(space);
}

bool TDxfDrawing::load(const QString& path, QString& error) {
  const QString shown = QDir::toNativeSeparators(path);
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Не удается открыть файл %1: %2").arg(shown, file.errorString());
    return false;
  }
  if (file.size() > MaxFileBytes) {
    error = QStringLiteral("Чертеж %1 слишком велик (%2 МБ): Korvex открывает чертежи не больше %3 МБ.")
                .arg(shown)
                .arg((file.size() + (1 << 20) - 1) >> 20)
                .arg(MaxFileBytes >> 20);
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = QStringLiteral("Не удается прочитать файл %1: %2").arg(shown, file.errorString());
    return false;
  }
  return parse(bytes, error);
}

bool TDxfDrawing::parse(const QByteArray& bytes, QString& error) {
  FBytes.clear();
  FMTexts.clear();
  FVersion.clear();
  if (!checkTextDxf(bytes, error)) return false;
  TDxfScan scan(bytes);
  if (!scan.read(error)) return false;

  FVersion = scan.version;
  FCodec = TDxfCodec::forDrawing(isUtf8Version(scan.version), QString::fromLatin1(scan.codePage));
  if (!FCodec.isValid()) {
    error = QStringLiteral("Кодовая страница чертежа %1 не поддерживается").arg(QString::fromLatin1(scan.codePage));
    return false;
  }
  if (scan.pending.isEmpty()) {
    error = QStringLiteral("В чертеже нет многострочного текста (MTEXT)");
    return false;
  }
  FMTexts = placeMTexts(scan, FCodec);
  FBytes = bytes;
  return true;
}

const TDxfMText* TDxfDrawing::find(const QString& handle, int index) const {
  if (!handle.isEmpty()) {
    for (const TDxfMText& m : FMTexts)
      if (m.handle.compare(handle, Qt::CaseInsensitive) == 0) return &m;
    return nullptr;
  }
  if (index >= 0 && index < FMTexts.size() && FMTexts[index].handle.isEmpty()) return &FMTexts[index];
  return nullptr;
}

QByteArray TDxfDrawing::textGroups(const TDxfMText& entity, const QString& text) const {
  QByteArray code1, code3, valueBreak;
  for (const auto& t : entity.textTags) {
    const QByteArray line = codeLine(FBytes, t.first);
    const QByteArray code = line.trimmed();
    if (code.endsWith('3') && code3.isEmpty()) code3 = line;
    if (code.endsWith('1')) code1 = line;
    valueBreak = FBytes.mid(t.first, t.second - t.first).endsWith("\r\n") ? "\r\n" : "\n";
  }
  if (code1.isEmpty() && !code3.isEmpty()) code1 = recode(code3, '3', '1');
  if (code1.isEmpty()) {
    // No text group yet: pad like the entity's own "0" code line.
    const QByteArray zero = codeLine(FBytes, entity.begin);
    valueBreak = zero.endsWith("\r\n") ? "\r\n" : "\n";
    code1 = (zero.startsWith(' ') ? QByteArray("  1") : QByteArray("1")) + valueBreak;
  }
  if (code3.isEmpty()) code3 = recode(code1, '1', '3');
  if (valueBreak.isEmpty()) valueBreak = code1.endsWith("\r\n") ? "\r\n" : "\n";

  const QStringList chunks = SplitMTextChunks(CaretEncode(FCodec.escapeForCodePage(text)));
  QByteArray out;
  for (qsizetype i = 0; i < chunks.size(); ++i) {
    out += i + 1 < chunks.size() ? code3 : code1;
    out += FCodec.encode(chunks[i]);
    out += valueBreak;
  }
  return out;
}

QByteArray TDxfMText::outsideText(const QByteArray& bytes) const {
  QByteArray out;
  qsizetype from = 0;
  for (const auto& t : textTags) {
    out += bytes.mid(from, t.first - from);
    from = t.second;
  }
  return out + bytes.mid(from);
}

QByteArray TDxfDrawing::withText(const TDxfMText& entity, const QString& text) const {
  const QByteArray groups = textGroups(entity, text);
  QByteArray out;
  out.reserve(FBytes.size() + groups.size());
  if (entity.textTags.isEmpty()) {
    out.append(FBytes.constData(), entity.insertAt);
    out += groups;
    out.append(FBytes.constData() + entity.insertAt, FBytes.size() - entity.insertAt);
    return out;
  }
  qsizetype from = 0;
  for (qsizetype i = 0; i < entity.textTags.size(); ++i) {
    const auto& t = entity.textTags[i];
    out.append(FBytes.constData() + from, t.first - from);
    if (i == 0) out += groups;
    from = t.second;
  }
  out.append(FBytes.constData() + from, FBytes.size() - from);
  return out;
}

bool WriteDxfText(const QString& path, const QString& handle, int index, const QString& expectedText,
                  const QString& text, bool force, bool& conflict, QString& error) {
  conflict = false;
  const QString shown = QDir::toNativeSeparators(path);
  TDxfDrawing drawing;
  QString readError;
  if (!drawing.load(path, readError)) {
    error = QStringLiteral("Не удается записать чертеж %1: %2").arg(shown, readError);
    return false;
  }
  const TDxfMText* entity = drawing.find(handle, index);
  if (!entity) {
    error = QStringLiteral("Не удается записать чертеж %1: в нем больше нет текста %2")
                .arg(shown, handle.isEmpty() ? QString::number(index + 1) : handle);
    return false;
  }
  if (entity->text != expectedText && !force) {
    conflict = true;
    error = QStringLiteral("Текст %1 в чертеже %2 изменен другой программой")
                .arg(handle.isEmpty() ? QString::number(index + 1) : handle, shown);
    return false;
  }
  const QFileInfo info(path);
  if (!info.isWritable()) {
    error = QStringLiteral("Не удается записать чертеж %1: файл только для чтения").arg(shown);
    return false;
  }
  const QFileDevice::Permissions permissions = QFile::permissions(path);
  const QByteArray bytes = drawing.withText(*entity, text);
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  // Unbuffered, so that a short write on a full disk shows in write()'s result.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
      file.size() != bytes.size()) {
    error = QStringLiteral("Не удается записать чертеж %1: %2").arg(shown, file.errorString());
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    error = QStringLiteral("Не удается записать чертеж %1: %2").arg(shown, file.errorString());
    return false;
  }
  if (QFile::permissions(path) != permissions) QFile::setPermissions(path, permissions);
  return true;
}
