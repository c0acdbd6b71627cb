#pragma once
// A small INI codec that keeps sections and keys in the order they were
// written and values exactly as given (QSettings sorts keys and re-quotes).
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class TIniFile {
 public:
  // An empty INI with no file yet (setFileName before save).
  TIniFile() = default;
  // Reads path if it exists; a missing or unreadable file gives an empty INI.
  explicit TIniFile(const QString& path);

  QString readString(const QString& section, const QString& key, const QString& def) const;
  int readInteger(const QString& section, const QString& key, int def) const;
  bool readBool(const QString& section, const QString& key, bool def) const;
  bool hasKey(const QString& section, const QString& key) const;

  void writeString(const QString& section, const QString& key, const QString& value);
  void writeInteger(const QString& section, const QString& key, int value);
  void writeBool(const QString& section, const QString& key, bool value);

  // Writes the whole file at once (UTF-8, CR LF); the old file survives a failure.
  bool save(QString* error = nullptr) const;
  void setFileName(const QString& path) { FPath = path; }
  QString toText() const;
  QStringList sections() const;
  QStringList keys(const QString& section) const;

 private:
  struct Section {
    QString name;
    std::vector<std::pair<QString, QString>> values;
  };
  const Section* findSection(const QString& name) const;
  Section& section(const QString& name);
  void parse(const QString& text);

  QString FPath;
  std::vector<Section> FSections;
};
