#include "spell/HunspellLib.h"

#include <hunspell/hunspell.hxx>
#include <iconv.h>

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>

bool LoadHunspell() {
  // The engine is linked into the program: there is nothing to look up.
  return true;
}

namespace {

// The engine names encodings the way .aff files spell them; iconv knows most
// of them under the same name and the rest under the names below.
QByteArray IconvName(const QString& setName) {
  const QString s = setName.trimmed().toUpper();
  if (s == QLatin1String("MICROSOFT-CP1251")) return "CP1251";
  if (s.startsWith(QLatin1String("ISO8859-"))) return "ISO-8859-" + s.mid(8).toLatin1();
  if (s == QLatin1String("TIS620-2533")) return "TIS-620";
  return s.toLatin1();
}

// One direction of an iconv conversion; every conversion starts afresh.
class TIconv {
 public:
  TIconv(const QByteArray& to, const QByteArray& from) : FHandle(iconv_open(to.constData(), from.constData())) {}
  ~TIconv() {
    if (valid()) iconv_close(FHandle);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;
  bool valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }

  // False when a character cannot be converted or the input is malformed.
  bool convert(const QByteArray& in, std::string& out) const {
    out.clear();
    if (!valid()) return false;
    iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    char buffer[256];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      const size_t r = iconv(FHandle, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, size_t(dst - buffer));
      if (r == size_t(-1) && errno != E2BIG) return false;
      // iconv counts characters it replaced by something close as irreversible;
      // such a word is not the word the user wrote.
      if (r != size_t(-1) && r > 0) return false;
    }
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(FHandle, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, size_t(dst - buffer));
    return true;
  }

 private:
  iconv_t FHandle;
};

}  // namespace

class THunspellEngine::TImpl {
 public:
  TImpl(const QString& aff, const QString& dic)
      : FEngine(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData()),
        FEncoding(QString::fromStdString(FEngine.get_dict_encoding())),
        FUtf8(FEncoding.trimmed().compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0) {
    if (!FUtf8) {
      FToDict = std::make_unique<TIconv>(IconvName(FEncoding), "UTF-8");
      FFromDict = std::make_unique<TIconv>("UTF-8", IconvName(FEncoding));
    }
  }

  bool encode(const QString& word, std::string& out) const {
    // Unpaired surrogates have no form in any encoding.
    QStringEncoder utf8(QStringConverter::Utf8);
    const QByteArray bytes = utf8.encode(word);
    if (utf8.hasError()) return false;
    // The engine takes zero-terminated strings in places; a word holding a
    // code 0 is not a word.
    if (bytes.contains('\0')) return false;
    if (FUtf8) {
      out.assign(bytes.constData(), size_t(bytes.size()));
      return true;
    }
    return FToDict && FToDict->convert(bytes, out);
  }

  QString decode(const std::string& s) const {
    if (FUtf8) return QString::fromUtf8(s.data(), qsizetype(s.size()));
    std::string utf8;
    if (!FFromDict || !FFromDict->convert(QByteArray(s.data(), qsizetype(s.size())), utf8)) return QString();
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
  }

  mutable Hunspell FEngine;
  QString FEncoding;
  bool FUtf8;
  std::unique_ptr<TIconv> FToDict;
  std::unique_ptr<TIconv> FFromDict;
};

std::unique_ptr<THunspellEngine> THunspellEngine::create(const QString& affFileName, const QString& dicFileName) {
  // The engine makes an empty dictionary of a file it cannot open; a pair
  // that is not there is no dictionary.
  const QFileInfo aff(affFileName), dic(dicFileName);
  if (!aff.isFile() || !aff.isReadable() || !dic.isFile() || !dic.isReadable()) return nullptr;
  return std::unique_ptr<THunspellEngine>(new THunspellEngine(std::make_unique<TImpl>(affFileName, dicFileName)));
}

THunspellEngine::THunspellEngine(std::unique_ptr<TImpl> impl) : FImpl(std::move(impl)) {}
THunspellEngine::~THunspellEngine() = default;

QString THunspellEngine::encoding() const { return FImpl->FEncoding; }

bool THunspellEngine::spell(const QString& word) const {
  std::string w;
  if (!FImpl->encode(word, w)) return false;
  return FImpl->FEngine.spell(w);
}

QStringList THunspellEngine::suggest(const QString& word) const {
  std::string w;
  QStringList result;
  if (!FImpl->encode(word, w)) return result;
  for (const std::string& s : FImpl->FEngine.suggest(w)) {
    const QString u = FImpl->decode(s);
    if (!u.isEmpty()) result << u;
  }
  return result;
}

void THunspellEngine::add(const QString& word) {
  std::string w;
  if (FImpl->encode(word, w)) FImpl->FEngine.add(w);
}
