#pragma once

#include <QPointer>
#include <QRect>
#include <string>
#include <vector>

class QEvent;
class QWidget;

// Makes a window resizable and keeps its controls in place as it changes size.
// Controls_Save records every control once, after the window has placed them;
// SetStrategy then says which controls stretch or follow the right and bottom
// edges. On every resize a control is put at its recorded place moved or
// stretched by its strategy, never smaller than recorded nor left of or above
// its recorded place, and only touched when that differs from where it is.
//
// Controls are numbered in the window's field order (the order of its
// definition): the window's child widgets, and the children of a group box
// right after the box. Positions are in the window's own pixels.
class kwControlcl {
 public:
  struct Entry {
    int FEQ = 0;
    int X = 0, Y = 0, W = 0, H = 0;
    int DWRMARGIN = 0;  // recorded window width - W - X
    int DWBMARGIN = 0;  // recorded window height - H - Y
    unsigned char BYGROWW = 0, BYGROWH = 0, BYMOVEX = 0, BYMOVEY = 0;
    std::string STEXT;
    std::string STIP;
    // With BYMOVEX and no growing: centre on this control (-1: the window; 0: off).
    int DWPARENTFEQ_ALIGNV = 0;
    int DWPARENTFEQ_ALIGNH = 0;  // recorded only
    unsigned char BYHIDEDURINGMOVE = 0;
    struct {
      std::string DWCOLUMN;                // never filled by the program
      int DWWIDTH = 0;                     // never filled by the program
      unsigned char BYOPTIMISEHEIGHT = 0;  // non-zero: a growing list shows whole rows only
    } GRPLIST;
    QPointer<QWidget> control;
  };

  kwControlcl();
  ~kwControlcl();
  kwControlcl(const kwControlcl&) = delete;
  kwControlcl& operator=(const kwControlcl&) = delete;

  // Records the window and all its controls. Called once, after the window has
  // placed its controls and before it is shown at another size.
  void Controls_Save(QWidget* window);
  // For every recorded control numbered first to last.
  void SetStrategy(int first, int last, unsigned char growW, unsigned char growH, unsigned char moveX,
                   unsigned char moveY, unsigned char hideDuringMove);
  void SetWholeRows(int feq, unsigned char value);
  // Every event of the window comes here first; a resize lays the controls out.
  void TakeEvent(const QEvent& event);
  void Resize();

  // The number of a recorded control, 0 when it has none.
  int Feq(const QWidget* control) const;
  const Entry* Find(int feq) const;

  // What a list shows above its first row and below its last (header and
  // frame), and the height of one row; 0 for a control that is no list.
  static int ListChromeHeight(const QWidget* control);
  static int ListRowHeight(const QWidget* control);

  std::vector<Entry> CONTROLPOSITIONQ;
  unsigned char BYDEBUG = 0;
  // A Qt window's frame holds no controls of the window, so this adds nothing.
  unsigned char BYINCLUDEAPPLICATIONFRAME = 0;
  unsigned char BYHIDEDURINGMOVE = 0;
  unsigned char BYENFORCEMINIMUMSIZE = 1;
  int DWWINDOWW1 = 0, DWWINDOWH1 = 0;
  int DWWINDOWX = 0, DWWINDOWY = 0, DWWINDOWW = 0, DWWINDOWH = 0;

 private:
  Entry* FindEntry(int feq);
  QRect Place(const Entry& entry) const;
  QRect CurrentRect(const QWidget* control) const;
  void ReadWindow();

  QPointer<QWidget> window_;
};
