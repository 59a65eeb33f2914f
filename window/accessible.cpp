// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <cassert>
#include <initializer_list>

#include "state/board.h"
#include "state/castling.h"
#include "state/painting.h"
#include "window/board_square.h"

namespace vombel {

namespace {

QString tr(const char* text) {
  return QCoreApplication::translate("vombel::Tablero", text);
}

// A square of the board by its file and rank: "e4".
QString squareName(int file, int rank) {
  return QStringLiteral("%1%2").arg(QChar(u'a' + file - 1)).arg(rank);
}

// A square control by its screen index: 0 is "a8", 63 is "h1".
QString squareName(int a) {
  return squareName(screenFile(a), screenRank(a));
}

// The piece a store picture shows, found by asking the painter which picture each code gets:
// Picture2 is the human's pawn on a light square, so a square showing it says "white pawn".
QString pieceShown(int picture) {
  struct Piece {
    int code;
    const char* name;
  };
  static constexpr Piece pieces[] = {
      {kPawn, "black pawn"},  {kKnight, "black knight"},  {kBishop, "black bishop"},
      {kRook, "black rook"},  {kQueen, "black queen"},    {kComputerKing, "black king"},
      {-kPawn, "white pawn"}, {-kKnight, "white knight"}, {-kBishop, "white bishop"},
      {-kRook, "white rook"}, {-kQueen, "white queen"},   {kHumanKing, "white king"},
      {kEmpty, "empty"},
  };
  for (const Piece& piece : pieces) {
    for (bool light : {true, false}) {
      if (pictureFor(piece.code, light) == picture) return tr(piece.name);
    }
  }
  return tr("empty");  // before the first paint
}

// A square: a button named after its coordinate (files a..h left to right, ranks 8..1 from the
// top) and what it shows; pressing it clicks the square.
class SquareInterface : public QAccessibleWidget {
 public:
  explicit SquareInterface(Square* square) : QAccessibleWidget(square, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    return squareWords(square());
  }

  QAccessible::State state() const override {
    QAccessible::State st = QAccessibleWidget::state();
    st.selectable = true;
    st.selected = square()->shownAppearance() != 0;
    return st;
  }

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& action) override {
    if (action == pressAction()) {
      square()->click();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  Square* square() const { return static_cast<Square*>(widget()); }
};

// A label that shows a bare number: its name says what the number counts, "Player's time 12
// seconds". QLabel reports each change of its text, so readers hear the new name.
class NumberInterface : public QAccessibleWidget {
 public:
  NumberInterface(QLabel* label, const char* format)
      : QAccessibleWidget(label, QAccessible::StaticText), format_(format) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    return tr(format_).arg(static_cast<QLabel*>(widget())->text());
  }

 private:
  const char* format_;
};

// The labels that show a number, and what their names say.
struct Number {
  const char* objectName;
  const char* format;
};
constexpr Number kNumbers[] = {
    {"lbl_jugada", "Movement number %1"},
    {"tiempous", "Player's time %1 seconds"},
    {"tiempoco", "Computer's time %1 seconds"},
};

// The announcer's notification, named after the texts it last told.
constexpr const char* kNoticeName = "notice";

class NoticeInterface : public QAccessibleWidget {
 public:
  explicit NoticeInterface(QWidget* notice)
      : QAccessibleWidget(notice, QAccessible::Notification) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    return static_cast<Announcer*>(widget()->parentWidget())->lastText();
  }
};

// What a piece code is called, whichever side it belongs to.
QString pieceName(std::int32_t code) {
  switch (code < 0 ? -code : code) {
    case kPawn:
      return tr("pawn");
    case kKnight:
      return tr("knight");
    case kBishop:
      return tr("bishop");
    case kRook:
      return tr("rook");
    case kQueen:
      return tr("queen");
    default:
      return tr("king");
  }
}

QAccessibleInterface* factory(const QString& className, QObject* object) {
  if (className == QLatin1String("vombel::Square")) {
    return new SquareInterface(static_cast<Square*>(object));
  }
  if (className == QLatin1String("vombel::Announcer")) {
    return new QAccessibleWidget(static_cast<Announcer*>(object), QAccessible::StatusBar);
  }
  if (className == QLatin1String("QWidget") && object->objectName() == QLatin1String(kNoticeName) &&
      qobject_cast<Announcer*>(object->parent()) != nullptr) {
    return new NoticeInterface(static_cast<QWidget*>(object));
  }
  if (className == QLatin1String("QLabel")) {
    for (const Number& n : kNumbers) {
      if (object->objectName() == QLatin1String(n.objectName)) {
        return new NumberInterface(static_cast<QLabel*>(object), n.format);
      }
    }
  }
  return nullptr;
}

// The events passed on to screen readers: all but the progress bar's value. Orca reads each new
// value of a progress bar aloud ("0 percent") while the computer thinks, over the squares and the
// computer's reply; a reader still reads the value whenever it is asked.
QAccessible::UpdateHandler passOn = nullptr;

void passOnUpdate(QAccessibleEvent* event) {
  if (event->type() == QAccessible::ValueChanged &&
      qobject_cast<QProgressBar*>(event->object()) != nullptr) {
    return;
  }
  if (passOn != nullptr) {
    passOn(event);
    return;
  }
  // Without a handler of its own Qt passes the event to the platform's bridge.
  QAccessible::installUpdateHandler(nullptr);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(passOnUpdate);
}

}  // namespace

void installAccessibleInterfaces() {
  static const bool installed = [] {
    QAccessible::installFactory(factory);
    passOn = QAccessible::installUpdateHandler(passOnUpdate);
    return true;
  }();
  (void)installed;
}

void describeControls(QWidget* window) {
  assert(window != nullptr);
  installAccessibleInterfaces();  // normally done already, before the window was built

  struct Named {
    const char* objectName;
    const char* name;
  };
  static constexpr Named named[] = {
      {"historia", "Move history"},
      {"Progreso", "Computer thinking"},
      {"force", "Force Computer to make a move"},  // its caption "->" says nothing aloud
  };
  for (const Named& n : named) {
    auto* widget = window->findChild<QWidget*>(QLatin1String(n.objectName));
    assert(widget != nullptr);
    widget->setAccessibleName(tr(n.name));
  }
  // The menus' pop-ups say the menu's title, as their entries in the menu bar do.
  for (QMenu* menu : window->findChildren<QMenu*>()) {
    if (menu->accessibleName().isEmpty()) menu->setAccessibleName(menu->menuAction()->iconText());
  }
  // The clocks change every second. A name of their own keeps QLabel from reporting each new
  // text, which readers would read out wherever the focus is; their interface still says the
  // current time whenever it is asked.
  for (const char* clock : {"tiempous", "tiempoco"}) {
    auto* label = window->findChild<QLabel*>(QLatin1String(clock));
    assert(label != nullptr);
    label->setAccessibleName(QString::fromUtf8(clock));
  }
  // A label reports its first text while it is built, before it has its object name, so Qt made
  // and kept its plain interface then. Dropping that one lets the factory above make the next.
  for (const Number& n : kNumbers) {
    auto* label = window->findChild<QLabel*>(QLatin1String(n.objectName));
    assert(label != nullptr);
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label)) {
      if (dynamic_cast<NumberInterface*>(iface) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
      }
    }
  }
}

QString squareWords(const Square* square) {
  QString words =
      squareName(square->index()) + QStringLiteral(", ") + pieceShown(square->shownPicture());
  if (square->shownAppearance() != 0) words += QStringLiteral(", ") + tr("selected");
  return words;
}

QString computerMoveWords(const Board& before, const Board& after) {
  for (const Castling* wing : {&kComputerKingSide, &kComputerQueenSide}) {
    if (before(wing->kingFrom, wing->rank) == wing->king &&
        after(wing->kingTo, wing->rank) == wing->king &&
        after(wing->kingFrom, wing->rank) == kEmpty) {
      return wing == &kComputerKingSide ? tr("Black castles king side")
                                        : tr("Black castles queen side");
    }
  }
  // Otherwise one black piece left its square and one square now holds a black piece it did
  // not hold before: the piece arrived there, or the pawn that became a queen.
  int fromX = 0, fromY = 0, toX = 0, toY = 0;
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y) {
      if (before(x, y) > 0 && after(x, y) == kEmpty) fromX = x, fromY = y;
      if (after(x, y) > 0 && after(x, y) != before(x, y)) toX = x, toY = y;
    }
  }
  if (fromX == 0 && toX == 0) return tr("Black resigns");
  if (fromX == 0 || toX == 0) return tr("Black has moved");
  const std::int32_t piece = before(fromX, fromY);
  const std::int32_t taken = before(toX, toY);
  QString words = taken < 0
                      ? tr("Black %1 takes %2 on %3")
                            .arg(pieceName(piece), pieceName(taken), squareName(toX, toY))
                      : tr("Black %1 %2 to %3")
                            .arg(pieceName(piece), squareName(fromX, fromY), squareName(toX, toY));
  if (after(toX, toY) != piece) words += tr(", becomes a %1").arg(pieceName(after(toX, toY)));
  return words;
}

QString refusedMoveWords(int from, int to) {
  assert(from >= 0 && from < 64 && to >= 0 && to < 64);
  return tr("Not allowed, %1 to %2").arg(squareName(from), squareName(to));
}

Announcer::Announcer(QWidget* parent)
    : QWidget(parent), notice_(new QWidget(this)), timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("announcer"));
  notice_->setObjectName(QLatin1String(kNoticeName));
  // Nothing to see or to click: no size, no focus.
  for (QWidget* w : {static_cast<QWidget*>(this), notice_}) {
    w->setGeometry(0, 0, 0, 0);
    w->setFocusPolicy(Qt::NoFocus);
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  timer_->setSingleShot(true);
  timer_->setInterval(kGatherMilliseconds);
  connect(timer_, &QTimer::timeout, this, &Announcer::flush);
}

void Announcer::say(const QString& text) {
  pending_ << text;
  if (!timer_->isActive()) timer_->start();
  emit said(text);
}

void Announcer::flush() {
  timer_->stop();
  if (pending_.isEmpty()) return;
  // Two sentences, not one: a full stop is read as a pause, not aloud.
  text_ = pending_.join(QStringLiteral(". "));
  pending_.clear();
  QAccessibleEvent named(notice_, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&named);
  // Readers speak a notification when it appears; on some platforms the alert event itself.
  QAccessibleEvent shown(notice_, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
  QAccessibleEvent alert(notice_, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

}  // namespace vombel
