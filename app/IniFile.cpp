#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include "core/FileErrors.h"
#include "core/TextCodec.h"

TIniFile::TIniFile(const QString& path) : FPath(path) {
  if (path.isEmpty()) return;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return;
  QByteArray bytes = f.readAll();
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(bytes);
  // A file written by hand in the Russian ANSI code page still reads.
  if (utf8.hasError()) text = DecodeWindows1251(bytes);
  parse(text);
}

void TIniFile::parse(const QString& text) {
  Section* current = nullptr;
  const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
  for (const QString& raw : lines) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      current = &section(line.mid(1, line.size() - 2).trimmed());
      continue;
    }
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0 || !current) continue;
    const QString key = line.left(eq).trimmed();
    // The value keeps inner spaces; only the line's own ends are trimmed.
    const QString value = raw.mid(raw.indexOf(QLatin1Char('=')) + 1);
    bool found = false;
    for (auto& kv : current->values)
      if (kv.first.compare(key, Qt::CaseInsensitive) == 0) {
        found = true;
        break;
      }
    if (!found) current->values.emplace_back(key, value);
  }
}

const TIniFile::Section* TIniFile::findSection(const QString& name) const {
  for (const Section& s : FSections)
    if (s.name.compare(name, Qt::CaseInsensitive) == 0) return &s;
  return nullptr;
}

TIniFile::Section& TIniFile::section(const QString& name) {
  for (Section& s : FSections)
    if (s.name.compare(name, Qt::CaseInsensitive) == 0) return s;
  FSections.push_back({name, {}});
  return FSections.back();
}

bool TIniFile::hasKey(const QString& sec, const QString& key) const {
  if (const Section* s = findSection(sec))
    for (const auto& kv : s->values)
      if (kv.first.compare(key, Qt::CaseInsensitive) == 0) return true;
  return false;
}

QString TIniFile::readString(const QString& sec, const QString& key, const QString& def) const {
  if (const Section* s = findSection(sec))
    for (const auto& kv : s->values)
      if (kv.first.compare(key, Qt::CaseInsensitive) == 0) return kv.second;
  return def;
}

int TIniFile::readInteger(const QString& sec, const QString& key, int def) const {
  QString v = readString(sec, key, QString()).trimmed();
  if (v.isEmpty()) return def;
  bool ok = false;
  int result;
  if (v.startsWith(QLatin1Char('$')))
    result = int(v.mid(1).toUInt(&ok, 16));
  else if (v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
    result = int(v.mid(2).toUInt(&ok, 16));
  else {
    result = v.toInt(&ok, 10);
    // Colours written unsigned by other tools still read as the same bits.
    if (!ok) result = int(v.toUInt(&ok, 10));
  }
  return ok ? result : def;
}

bool TIniFile::readBool(const QString& sec, const QString& key, bool def) const {
  return readInteger(sec, key, def ? 1 : 0) != 0;
}

void TIniFile::writeString(const QString& sec, const QString& key, const QString& rawValue) {
  // A line break inside a value would split it into lines of its own.
  QString value = rawValue;
  value.remove(QLatin1Char('\r'));
  value.remove(QLatin1Char('\n'));
  Section& s = section(sec);
  for (auto& kv : s.values)
    if (kv.first.compare(key, Qt::CaseInsensitive) == 0) {
      kv.second = value;
      return;
    }
  s.values.emplace_back(key, value);
}

void TIniFile::writeInteger(const QString& sec, const QString& key, int value) {
  writeString(sec, key, QString::number(value));
}

void TIniFile::writeBool(const QString& sec, const QString& key, bool value) {
  writeString(sec, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString TIniFile::toText() const {
  QString out;
  bool first = true;
  for (const Section& s : FSections) {
    if (!first) out += QStringLiteral("\r\n");
    first = false;
    out += QLatin1Char('[') + s.name + QStringLiteral("]\r\n");
    for (const auto& kv : s.values) out += kv.first + QLatin1Char('=') + kv.second + QStringLiteral("\r\n");
  }
  return out;
}

bool TIniFile::save(QString* error) const {
  // The user's configuration folder may not exist before the first save.
  QDir().mkpath(QFileInfo(FPath).absolutePath());
  QSaveFile f(FPath);
  if (!f.open(QIODevice::WriteOnly)) {
    if (error) *error = FileErrorText(f);
    return false;
  }
  const QByteArray data = toText().toUtf8();
  if (f.write(data) != data.size() || !f.commit()) {
    if (error) *error = FileErrorText(f);
    f.cancelWriting();
    return false;
  }
  return true;
}

QStringList TIniFile::sections() const {
  QStringList r;
  for (const Section& s : FSections) r << s.name;
  return r;
}

QStringList TIniFile::keys(const QString& sec) const {
  QStringList r;
  if (const Section* s = findSection(sec))
    for (const auto& kv : s->values) r << kv.first;
  return r;
}
