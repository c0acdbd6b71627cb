#pragma once
// The MText renderer: the saved formatting state, its stack and RenderMText,
// which draws an MText string on a TCanvas and reports the drawn size.
#include <QPoint>
#include <QString>

#include <functional>

#include "core/Bitmap.h"
#include <stdexcept>
#include <vector>

#include "core/Colors.h"
#include "mtext/zorAcCanvas.h"

// One saved formatting state, pushed at an opening brace.
class TFormatText {
 public:
  TFormatText() = default;
  TFormatText(const QString& AFontName, double AHeight, double AWidth, double AAngle, quint8 ABold, quint8 AItalic,
              quint8 AUnderline, quint8 AOverline, quint8 AStrikeOut, quint8 AAlign, TColor AColor);

  QString FontName() const { return FFontName; }
  void setFontName(const QString& v) { FFontName = v; }
  double Height() const { return FHeight; }
  void setHeight(double v) { FHeight = v; }
  double Width() const { return FWidth; }
  void setWidth(double v) { FWidth = v; }
  double Angle() const { return FAngle; }
  void setAngle(double v) { FAngle = v; }
  quint8 Bold() const { return FBold; }
  void setBold(quint8 v) { FBold = v; }
  quint8 Italic() const { return FItalic; }
  void setItalic(quint8 v) { FItalic = v; }
  quint8 Underline() const { return FUnderline; }
  void setUnderline(quint8 v) { FUnderline = v; }
  quint8 Overline() const { return FOverline; }
  void setOverline(quint8 v) { FOverline = v; }
  quint8 StrikeOut() const { return FStrikeOut; }
  void setStrikeOut(quint8 v) { FStrikeOut = v; }
  TColor Color() const { return FColor; }
  void setColor(TColor v) { FColor = v; }
  quint8 Align() const { return FAlign; }
  void setAlign(quint8 v) { FAlign = v; }

  bool operator==(const TFormatText& o) const {
    return FHeight == o.FHeight && FWidth == o.FWidth && FAngle == o.FAngle && FBold == o.FBold &&
           FItalic == o.FItalic && FUnderline == o.FUnderline && FOverline == o.FOverline &&
           FStrikeOut == o.FStrikeOut && FColor == o.FColor && FAlign == o.FAlign && FFontName == o.FFontName;
  }
  bool operator!=(const TFormatText& o) const { return !(*this == o); }

 private:
  QString FFontName;
  double FHeight = 0.0;
  double FWidth = 0.0;
  double FAngle = 0.0;
  quint8 FBold = 0;
  quint8 FItalic = 0;
  quint8 FUnderline = 0;
  quint8 FOverline = 0;
  quint8 FStrikeOut = 0;
  TColor FColor = 0;
  quint8 FAlign = 0;
};

// Called on every item the stack discards.
using TFormatDisposeProc = void (*)(TFormatText* AData);

// Raised by Pop and Examine on an empty stack.
class EFormatStackError : public std::runtime_error {
 public:
  explicit EFormatStackError(const QString& AMessage);
  const QString& message() const { return FMessage; }

 private:
  QString FMessage;
};

// Stack of saved states for callers that keep them by pointer.  Owns its
// items between Push and Pop.  (The renderer keeps its own by value.)
class TFormatStack {
 public:
  explicit TFormatStack(TFormatDisposeProc ADispose = nullptr, int ACapacity = -1);
  ~TFormatStack();
  TFormatStack(const TFormatStack&) = delete;
  TFormatStack& operator=(const TFormatStack&) = delete;

  void Push(TFormatText* AItem);
  TFormatText* Pop();
  TFormatText* Examine() const;
  // Item AIndex counted from the bottom (0), or nullptr outside the stack.
  TFormatText* Item(int AIndex) const;
  bool IsEmpty() const { return FCount == 0; }
  void Clear();

  int Count() const { return FCount; }
  QString Name() const { return FName; }
  int Capacity() const { return int(FList.size()); }

 private:
  [[noreturn]] void raiseError(const char* AMethod) const;

  int FCount = 0;
  TFormatDisposeProc FDispose = nullptr;
  std::vector<TFormatText*> FList;
  QString FName;
};

// Asked to make the surface at least AValue pixels wide (rtWidth) or high
// (rtHeight); returns true when it changed the surface.
using TAdjustSizeEvent = std::function<bool(int AValue, TResizeType AResizeType)>;

// Draws text from the canvas pen position in the canvas font, pen and brush;
// size receives the drawn width and height.  The size is the full size of the
// text even when the canvas could not grow that far (see TCanvas::truncated).
void RenderMText(TCanvas& canvas, const QString& text, QPoint& size, const TAdjustSizeEvent& callback = {});

// AutoCAD Color Index palette; white outside 1..255.
TColor AciColor(int index);

// The face drawn for an SHX font file code (\Fsimplex.shx,gbcbig.shx;): the
// big font after a comma and options after a bar are left out; the common
// SHX names map to Liberation or DejaVu faces, any other SHX file (or a name
// without extension) to Liberation Sans, as AutoCAD puts txt.shx in for a
// missing font; a TrueType file name (.ttf, .otf, .ttc) gives its own face.
QString ShxSubstituteFace(QStringView AFileParam);

// The parts of a stacked text: upper text, separator (^ when there is none) and lower text.
struct TStackParts {
  QString upper;
  QChar separator;
  QString lower;
};
TStackParts SplitStackText(const QString& AText);
// The same as views into the text, for measuring without copies.
struct TStackViews {
  QStringView upper;
  QChar separator;
  QStringView lower;
};
TStackViews SplitStackView(QStringView AText);
