#include "toolkit/widgets/kwControlcl.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QWidget>
#include <algorithm>

#include "toolkit/MessageService.h"
#include "toolkit/kwTools.h"

namespace {

constexpr std::size_t kTextField = 128;
constexpr std::size_t kTipField = 255;

std::string Cut(const QString& text, std::size_t size) { return kwTools::Cut(text.toStdString(), size); }

QString TextOf(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(control)) return box->title();
  if (const auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
  return {};
}

// Option boxes, group boxes and radio buttons, and whatever sits in a box,
// flicker when they move while shown, so they hide during the move.
bool IsBoxOrRadio(const QWidget* control) {
  return qobject_cast<const QGroupBox*>(control) || qobject_cast<const QRadioButton*>(control);
}

}  // namespace

kwControlcl::kwControlcl() = default;

kwControlcl::~kwControlcl() { CONTROLPOSITIONQ.clear(); }

void kwControlcl::ReadWindow() {
  DWWINDOWX = window_->x();
  DWWINDOWY = window_->y();
  DWWINDOWW = window_->width();
  DWWINDOWH = window_->height();
}

QRect kwControlcl::CurrentRect(const QWidget* control) const {
  const QWidget* parent = control->parentWidget();
  if (parent == window_) return control->geometry();
  return {parent->mapTo(window_, control->pos()), control->size()};
}

void kwControlcl::Controls_Save(QWidget* window) {
  window_ = window;
  if (!window_) return;
  window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  ReadWindow();
  if (BYENFORCEMINIMUMSIZE) window_->setMinimumSize(DWWINDOWW, DWWINDOWH);
  DWWINDOWW1 = DWWINDOWW;
  DWWINDOWH1 = DWWINDOWH;

  CONTROLPOSITIONQ.clear();
  int feq = 0;
  auto record = [&](auto&& self, QWidget* parent) -> void {
    for (QObject* child : parent->children()) {
      auto* control = qobject_cast<QWidget*>(child);
      if (!control || control->isWindow()) continue;
      Entry entry;
      entry.FEQ = ++feq;
      const QRect r = CurrentRect(control);
      entry.X = r.x();
      entry.Y = r.y();
      entry.W = r.width();
      entry.H = r.height();
      entry.DWRMARGIN = DWWINDOWW - entry.W - entry.X;
      entry.DWBMARGIN = DWWINDOWH - entry.H - entry.Y;
      entry.STEXT = Cut(TextOf(control), kTextField);
      entry.STIP = Cut(control->toolTip(), kTipField);
      const QWidget* holder = control->parentWidget();
      entry.BYHIDEDURINGMOVE = IsBoxOrRadio(control) || (holder != window_ && IsBoxOrRadio(holder));
      entry.control = control;
      CONTROLPOSITIONQ.push_back(std::move(entry));
      if (qobject_cast<QGroupBox*>(control)) self(self, control);
    }
  };
  record(record, window_);

  if (BYDEBUG) {
    MessageService::Show("Debug: SELF.ControlPositionQ Records = " + std::to_string(CONTROLPOSITIONQ.size()),
                         "kwControlcl_Type.Controls_Save");
  }
  std::stable_sort(CONTROLPOSITIONQ.begin(), CONTROLPOSITIONQ.end(),
                   [](const Entry& a, const Entry& b) { return a.FEQ < b.FEQ; });
}

const kwControlcl::Entry* kwControlcl::Find(int feq) const {
  const auto it =
      std::find_if(CONTROLPOSITIONQ.begin(), CONTROLPOSITIONQ.end(), [feq](const Entry& e) { return e.FEQ == feq; });
  return it == CONTROLPOSITIONQ.end() ? nullptr : &*it;
}

kwControlcl::Entry* kwControlcl::FindEntry(int feq) {
  const auto it =
      std::find_if(CONTROLPOSITIONQ.begin(), CONTROLPOSITIONQ.end(), [feq](const Entry& e) { return e.FEQ == feq; });
  return it == CONTROLPOSITIONQ.end() ? nullptr : &*it;
}

int kwControlcl::Feq(const QWidget* control) const {
  for (const Entry& e : CONTROLPOSITIONQ) {
    if (e.control == control) return e.FEQ;
  }
  return 0;
}

void kwControlcl::SetStrategy(int first, int last, unsigned char growW, unsigned char growH, unsigned char moveX,
                              unsigned char moveY, unsigned char hideDuringMove) {
  for (int feq = first; feq <= last; ++feq) {
    Entry* e = FindEntry(feq);
    if (!e) continue;
    e->BYGROWW = growW;
    e->BYGROWH = growH;
    e->BYMOVEX = moveX;
    e->BYMOVEY = moveY;
    e->BYHIDEDURINGMOVE = hideDuringMove;
  }
}

void kwControlcl::SetWholeRows(int feq, unsigned char value) {
  if (Entry* e = FindEntry(feq)) e->GRPLIST.BYOPTIMISEHEIGHT = value;
}

void kwControlcl::TakeEvent(const QEvent& event) {
  if (event.type() == QEvent::Resize) Resize();
}

int kwControlcl::ListChromeHeight(const QWidget* control) {
  const auto* table = qobject_cast<const QTableView*>(control);
  if (!table) return 0;
  const QHeaderView* header = table->horizontalHeader();
  return (header->isHidden() ? 0 : header->height()) + 2 * table->frameWidth();
}

int kwControlcl::ListRowHeight(const QWidget* control) {
  const auto* table = qobject_cast<const QTableView*>(control);
  return table ? table->verticalHeader()->defaultSectionSize() : 0;
}

QRect kwControlcl::Place(const Entry& e) const {
  const int W = DWWINDOWW;
  const int H = DWWINDOWH;
  int x = e.X, y = e.Y, w = e.W, h = e.H;
  if (e.BYGROWW || e.BYGROWH) {
    if (e.BYGROWW) w = W - e.X - e.DWRMARGIN;
    else if (e.BYMOVEX) x = W - e.W - e.DWRMARGIN;
    if (e.BYGROWH) {
      h = H - e.Y - e.DWBMARGIN;
      const int row = ListRowHeight(e.control);
      if (e.GRPLIST.BYOPTIMISEHEIGHT && row > 0) {
        const int chrome = ListChromeHeight(e.control);
        h = chrome + (h - chrome) / row * row;
      }
    } else if (e.BYMOVEY) {
      y = H - e.H - e.DWBMARGIN;
    }
  } else {
    if (e.BYMOVEX) {
      if (e.DWPARENTFEQ_ALIGNV == 0) {
        x = W - e.W - e.DWRMARGIN;
      } else {
        // Centred on the window (in its own coordinates) or on another control.
        int px = 0, pw = W;
        const Entry* parent = e.DWPARENTFEQ_ALIGNV == -1 ? nullptr : Find(e.DWPARENTFEQ_ALIGNV);
        if (parent && parent->control) {
          const QRect r = CurrentRect(parent->control);
          px = r.x();
          pw = r.width();
        }
        x = static_cast<int>(px + pw / 2.0 - e.W / 2.0);
      }
    }
    if (e.BYMOVEY) y = H - e.H - e.DWBMARGIN;
  }
  return {std::max(x, e.X), std::max(y, e.Y), std::max(w, e.W), std::max(h, e.H)};
}

void kwControlcl::Resize() {
  if (!window_) return;
  ReadWindow();
  for (const Entry& e : CONTROLPOSITIONQ) {
    QWidget* control = e.control;
    if (!control) continue;
    const QRect target = Place(e);
    if (target == CurrentRect(control)) continue;
    const QWidget* parent = control->parentWidget();
    const QRect local = parent == window_ ? target : QRect(parent->mapFrom(window_, target.topLeft()), target.size());
    const bool hide = (e.BYHIDEDURINGMOVE || BYHIDEDURINGMOVE) && !control->isHidden();
    if (hide) control->hide();
    control->setGeometry(local);
    if (hide) control->show();
  }
}
