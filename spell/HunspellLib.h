#pragma once
// The binding to the Hunspell engine.  The engine is the system's libhunspell,
// linked into the program, so binding it cannot fail at run time; LoadHunspell
// keeps the program's start-up sequence and answers whether the engine is there.
//
// THunspellEngine is one engine instance made from a dictionary pair.  It talks
// to the engine in the dictionary's own encoding (the SET line of the .aff
// file): words are converted from UTF-16 on the way in and suggestions back on
// the way out.  A word the encoding cannot hold is not in the dictionary.
#include <QString>
#include <QStringList>
#include <memory>

bool LoadHunspell();

class THunspellEngine {
 public:
  // nullptr when either file cannot be read.  The engine reads the files
  // while it is made; nothing is kept open.
  static std::unique_ptr<THunspellEngine> create(const QString& affFileName, const QString& dicFileName);
  ~THunspellEngine();
  THunspellEngine(const THunspellEngine&) = delete;
  THunspellEngine& operator=(const THunspellEngine&) = delete;

  // The encoding named by the dictionary, as the engine reports it.
  QString encoding() const;
  bool spell(const QString& word) const;
  // In the engine's order; empty for a word the encoding cannot hold.
  QStringList suggest(const QString& word) const;
  // The word counts as correct for this instance from now on.
  void add(const QString& word);

 private:
  class TImpl;
  explicit THunspellEngine(std::unique_ptr<TImpl> impl);
  std::unique_ptr<TImpl> FImpl;
};
