// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game window without a mouse: the board's keyboard focus and focus frame, Tab through the
// controls, Escape, what screen readers hear and are told, and the beep after the computer's
// move. Runs on Qt's offscreen platform.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "game/saved_game.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "state/painting.h"
#include "state/state.h"
#include "tests/support/window_support.h"
#include "window/accessible.h"
#include "window/sound.h"
#include "window/window.h"

using vombel::Square;
using vombel::Tablero;

namespace {

constexpr int kHumanPawnLight = 2;  // store picture of the human's pawn on a light square
const QColor kFocusColour = vombel::focusFrameColour();

// What the window's announcer says to screen readers while it lives.
class Heard {
 public:
  explicit Heard(QWidget* window)
      : spy_(vombel::testing_support::namedChild<vombel::Announcer>(window, "announcer"),
             &vombel::Announcer::said) {}
  QStringList texts() const {
    QStringList said;
    for (const QList<QVariant>& call : spy_)
      said << call.at(0).toString();
    return said;
  }

 private:
  QSignalSpy spy_;
};

// A saved position of the benchmark's suite.
QByteArray benchPosition(const char* name) {
  return QFileInfo(QStringLiteral(__FILE__))
      .dir()
      .filePath(QStringLiteral("../../bench/positions/%1.vmb").arg(QLatin1String(name)))
      .toLocal8Bit();
}

}  // namespace

class KeyboardTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Tablero> window_;

  template <typename T>
  T* child(const char* name) {
    return vombel::testing_support::namedChild<T>(window_.get(), name);
  }
  Square* square(int a) { return vombel::testing_support::squareControl(window_.get(), a); }
  QString text(const char* label) { return child<QLabel>(label)->text(); }
  // The computer's turn a move started has been played.
  void answered() { QVERIFY(vombel::testing_support::turnOver(window_.get())); }
  // Keys go where a user's keys go: to the widget holding the focus.
  void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
  int focusedSquare() {
    auto* s = qobject_cast<Square*>(QApplication::focusWidget());
    return s == nullptr ? -1 : s->index();
  }
  QImage grabbed(int a) {
    return square(a)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  static QString name(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface == nullptr ? QStringLiteral("<none>") : iface->text(QAccessible::Name);
  }

 private slots:
  void initTestCase() {
    vombel::testing_support::useScratchSettings();
    vombel::prepareApplication(*qApp);
  }

  void init() {
    window_ = std::make_unique<Tablero>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

  void cleanup() { window_.reset(); }

  void focusStartsOnA1AndArrowsMoveItStoppingAtTheEdges() {
    QCOMPARE(focusedSquare(), Square::kFirstFocus);
    key(Qt::Key_Left);  // a1 is on the left edge ...
    QCOMPARE(focusedSquare(), 56);
    key(Qt::Key_Down);  // ... and on the bottom one
    QCOMPARE(focusedSquare(), 56);
    key(Qt::Key_Up);  // towards the computer's side
    QCOMPARE(focusedSquare(), 48);
    for (int i = 0; i < 9; ++i)
      key(Qt::Key_Right);
    QCOMPARE(focusedSquare(), 55);  // h2
    for (int i = 0; i < 9; ++i)
      key(Qt::Key_Up);
    QCOMPARE(focusedSquare(), 7);  // h8
    key(Qt::Key_Down);
    QCOMPARE(focusedSquare(), 15);
  }

  void spaceAndEnterPlayAMoveAsTheMouseDoes() {
    for (int i = 0; i < 4; ++i)
      key(Qt::Key_Right);
    key(Qt::Key_Up);  // e2
    QCOMPARE(focusedSquare(), 52);
    key(Qt::Key_Space);
    QCOMPARE(square(52)->shownAppearance(), 1);
    key(Qt::Key_Space);  // the selected piece again: put back
    QCOMPARE(square(52)->shownAppearance(), 0);
    Heard heard(window_.get());
    key(Qt::Key_Return);
    key(Qt::Key_Up);
    key(Qt::Key_Up);  // e4
    key(Qt::Key_Enter);
    answered();
    QCOMPARE(square(36)->shownPicture(), kHumanPawnLight);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));  // played and answered
    QCOMPARE(focusedSquare(), 36);                      // the focus stays where it was
    // The focused square's new contents are said (Qt 6.4 does not pass its new name on), before
    // the computer's reply.
    QCOMPARE(heard.texts(), (QStringList{QStringLiteral("e2, white pawn, selected"),
                                         QStringLiteral("e4, white pawn"),
                                         QStringLiteral("Black pawn e7 to e5")}));

    // A held key clicks once: its repeats would put the selection back.
    key(Qt::Key_Space);
    QCOMPARE(square(36)->shownAppearance(), 1);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(square(36), &repeat);
    QCOMPARE(square(36)->shownAppearance(), 1);
  }

  void focusFrameIsDistinctFromTheSelectionAndHidesWhileTheMouseIsUsed() {
    const QImage framed = grabbed(56);
    QCOMPARE(QColor(framed.pixel(1, 1)), kFocusColour);
    QCOMPARE(QColor(framed.pixel(23, 23)), kFocusColour);  // whole inside the visible part
    key(Qt::Key_Right);
    // Unfocused, a1 is its store picture (the white rook on grey) inside the border again.
    const QImage a1 = grabbed(56);
    QCOMPARE(
        a1.copy(1, 1, 23, 23),
        QImage(QStringLiteral(":/pictures/picture20.png")).convertToFormat(QImage::Format_RGB32));

    // b1 selected: the bevel moves inside the frame; once the focus moves on, it is the
    // selection alone, without the frame's colour.
    key(Qt::Key_Space);
    QCOMPARE(square(57)->shownAppearance(), 1);
    const QColor bevel = square(57)->palette().color(QPalette::Highlight).darker(250);
    const QImage both = grabbed(57);
    QCOMPARE(QColor(both.pixel(1, 1)), kFocusColour);
    QCOMPARE(both.pixel(3, 3), bevel.rgb());
    key(Qt::Key_Right);
    const QImage selected = grabbed(57);
    QCOMPARE(selected.pixel(1, 1), bevel.rgb());
    QVERIFY(selected.pixel(3, 3) != bevel.rgb());

    // A mouse click hides the frame until the next key; the focus stays where it was.
    QTest::mouseClick(square(57), Qt::LeftButton, {}, QPoint(12, 12));  // puts b1 back
    QCOMPARE(square(57)->shownAppearance(), 0);
    QCOMPARE(focusedSquare(), 58);
    QVERIFY(QColor(grabbed(58).pixel(1, 1)) != kFocusColour);
    key(Qt::Key_Left);
    QCOMPARE(focusedSquare(), 57);
    QCOMPARE(QColor(grabbed(57).pixel(1, 1)), kFocusColour);
  }

  // At sizes between the zoom steps the focus frame moves on without a trace: the screen (the
  // window's backing store, repainted only where the focus was) shows its colour only on the
  // focused square. At 369 pixels wide a1's 42-pixel inside outgrows its 41-pixel picture.
  void focusFrameLeavesNoTraceAtAnySize() {
    for (QSize size : {QSize(369, 900), QSize(480, 1160), QSize(611, 1500)}) {
      window_->resize(size);
      QTRY_COMPARE(window_->size(), size);
      for (Qt::Key k : {Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Right, Qt::Key_Up,
                        Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}) {
        QApplication::processEvents();  // paints the frame where it is
        key(k);                         // round a1 to d1 and back
      }
      QApplication::processEvents();
      const QImage screen = window_->screen()->grabWindow(window_->winId()).toImage();
      const QRect focused =
          square(focusedSquare())
              ->geometry()
              .translated(window_->centralWidget()->mapTo(window_.get(), QPoint(0, 0)));
      int traces = 0;
      for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
          if (!focused.contains(x, y) && QColor(screen.pixel(x, y)) == kFocusColour) {
            ++traces;
          }
        }
      }
      QVERIFY2(traces == 0, qPrintable(QStringLiteral("%1 pixels at %2 x %3")
                                           .arg(traces)
                                           .arg(size.width())
                                           .arg(size.height())));
    }
  }

  void tabLeavesTheBoardVisitsTheScrollBarAndComesBack() {
    key(Qt::Key_Up);
    QCOMPARE(focusedSquare(), 48);
    QList<QWidget*> stops;
    for (int i = 0; i < 20 && (stops.isEmpty() || focusedSquare() < 0); ++i) {
      key(Qt::Key_Tab);
      stops << QApplication::focusWidget();
    }
    QCOMPARE(focusedSquare(), 48);  // back on the board, on the square it left
    int squares = 0;
    for (QWidget* w : stops)
      squares += qobject_cast<Square*>(w) != nullptr ? 1 : 0;
    QCOMPARE(squares, 1);  // the board is one stop
    QVERIFY(stops.contains(child<QScrollBar>("historia")));
    QVERIFY(stops.contains(child<QPushButton>("info")));
    QVERIFY(stops.contains(child<QPushButton>("force")));
    QVERIFY(stops.contains(child<QCheckBox>("boardsu")));
    key(Qt::Key_Backtab);
    QVERIFY(focusedSquare() < 0);
    key(Qt::Key_Tab);
    QCOMPARE(focusedSquare(), 48);
  }

  void scrollBarStepsThroughTheHistoryWithTheArrows() {
    square(52)->click();
    square(36)->click();
    answered();
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
    auto* historia = child<QScrollBar>("historia");
    while (QApplication::focusWidget() != historia)
      key(Qt::Key_Tab);
    key(Qt::Key_Left);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
    key(Qt::Key_Left);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("0"));
    QCOMPARE(square(36)->shownPicture(), vombel::kPictureLightEmpty);
    key(Qt::Key_Right);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));

    // The bar shows the focus with the squares' frame, and only while it has it.
    const QImage focused = historia->grab().toImage();
    QCOMPARE(QColor(focused.pixel(0, 0)), kFocusColour);
    QCOMPARE(QColor(focused.pixel(historia->width() - 2, historia->height() - 2)), kFocusColour);
    key(Qt::Key_Tab);
    QVERIFY(QColor(historia->grab().toImage().pixel(0, 0)) != kFocusColour);
  }

  void squaresSayTheirCoordinateContentsAndSelection() {
    QCOMPARE(name(square(52)), QStringLiteral("e2, white pawn"));
    QCOMPARE(name(square(36)), QStringLiteral("e4, empty"));
    QCOMPARE(name(square(4)), QStringLiteral("e8, black king"));
    QCOMPARE(name(square(3)), QStringLiteral("d8, black queen"));
    QCOMPARE(name(square(56)), QStringLiteral("a1, white rook"));
    QCOMPARE(name(square(62)), QStringLiteral("g1, white knight"));
    QCOMPARE(name(square(2)), QStringLiteral("c8, black bishop"));
    QCOMPARE(name(square(63)), QStringLiteral("h1, white rook"));

    QAccessibleInterface* e2 = QAccessible::queryAccessibleInterface(square(52));
    QCOMPARE(e2->role(), QAccessible::Button);
    QVERIFY(!e2->state().selected);
    square(52)->click();
    QCOMPARE(name(square(52)), QStringLiteral("e2, white pawn, selected"));
    QVERIFY(e2->state().selected);
    QVERIFY(QAccessible::queryAccessibleInterface(square(56))->state().focused);

    // A reader's press action clicks the square: e2-e4 is played.
    QAccessibleInterface* e4 = QAccessible::queryAccessibleInterface(square(36));
    QVERIFY(
        e4->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    e4->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    answered();
    QCOMPARE(name(square(36)), QStringLiteral("e4, white pawn"));
    QCOMPARE(name(square(52)), QStringLiteral("e2, empty"));
  }

  // Squares pressed through the reader's action while the computer thinks are dropped: nothing is
  // selected, played or heard as refused.
  void squaresPressedDuringATurnAreDroppedUnheard() {
    const Heard heard(window_.get());
    child<QPushButton>("force")->click();
    QVERIFY(window_->turnUnderWay());
    for (int a : {52, 36}) {
      QAccessible::queryAccessibleInterface(square(a))->actionInterface()->doAction(
          QAccessibleActionInterface::pressAction());
    }
    answered();
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
    QCOMPARE(square(52)->shownAppearance(), 0);
    for (const QString& said : heard.texts())
      QVERIFY2(!said.startsWith("Not allowed"), qPrintable(said));
  }

  void otherControlsSayTheirCaptionOrPurpose() {
    QCOMPARE(name(child<QScrollBar>("historia")), QStringLiteral("Move history"));
    QCOMPARE(name(child<QProgressBar>("Progreso")), QStringLiteral("Computer thinking"));
    QCOMPARE(name(child<QLabel>("tiempous")), QStringLiteral("Player's time 0 seconds"));
    QCOMPARE(name(child<QLabel>("tiempoco")), QStringLiteral("Computer's time 0 seconds"));
    QCOMPARE(name(child<QLabel>("lbl_jugada")), QStringLiteral("Movement number 0"));
    QCOMPARE(name(child<QPushButton>("info")), QStringLiteral("Less Information"));
    QCOMPARE(name(child<QPushButton>("force")), QStringLiteral("Force Computer to make a move"));
    QCOMPARE(name(child<QRadioButton>("easy")), QStringLiteral("Easy"));
    QCOMPARE(name(child<QRadioButton>("difficult")), QStringLiteral("Difficult"));
    QCOMPARE(name(child<QCheckBox>("boardsu")), QStringLiteral("Setup Board.Positions"));
    QCOMPARE(name(child<QLabel>("Label2")), QStringLiteral("Movement #:"));
    QCOMPARE(name(child<QMenu>("File")), QStringLiteral("Game"));
    QCOMPARE(name(child<QMenu>("ayuda")), QStringLiteral("Help"));
    QAccessibleInterface* menuBar = QAccessible::queryAccessibleInterface(window_->menuBar());
    QCOMPARE(menuBar->childCount(), 2);
    QCOMPARE(menuBar->child(0)->text(QAccessible::Name), QStringLiteral("Game"));
    // The numbers follow the game.
    square(52)->click();
    square(36)->click();
    answered();
    QCOMPARE(name(child<QLabel>("lbl_jugada")), QStringLiteral("Movement number 2"));
    QCOMPARE(name(child<QPushButton>("info")), QStringLiteral("Less Information"));
  }

  void everyKindOfPieceIsNamedOnBothSquareColours() {
    struct Kind {
      std::int32_t code;
      const char* name;
    };
    const Kind kinds[] = {
        {vombel::kPawn, "black pawn"},      {vombel::kKnight, "black knight"},
        {vombel::kBishop, "black bishop"},  {vombel::kRook, "black rook"},
        {vombel::kQueen, "black queen"},    {vombel::kComputerKing, "black king"},
        {-vombel::kPawn, "white pawn"},     {-vombel::kKnight, "white knight"},
        {-vombel::kBishop, "white bishop"}, {-vombel::kRook, "white rook"},
        {-vombel::kQueen, "white queen"},   {vombel::kHumanKing, "white king"},
    };
    // Each kind on two neighbouring squares of ranks 6 to 3, one light and one dark.
    for (int x = 1; x <= 8; ++x) {
      for (int y = 1; y <= 8; ++y)
        vombel::board(x, y) = vombel::kEmpty;
    }
    for (int k = 0; k < 12; ++k) {
      const int first = 16 + 2 * k;
      for (int a : {first, first + 1})
        vombel::board(vombel::screenFile(a), vombel::screenRank(a)) = kinds[k].code;
    }
    vombel::pintar_tablero();
    window_->syncFromState();
    QSet<QString> colours;
    for (int k = 0; k < 12; ++k) {
      for (int a : {16 + 2 * k, 17 + 2 * k}) {
        const QString where = QStringLiteral("%1%2").arg(QChar(u'a' + a % 8)).arg(8 - a / 8);
        QCOMPARE(name(square(a)), where + QStringLiteral(", ") + QLatin1String(kinds[k].name));
        colours << QString::number(square(a)->shownPicture());
      }
    }
    QCOMPARE(colours.size(), 24);  // 24 different pictures: both colours of every kind
    QCOMPARE(name(square(0)), QStringLiteral("a8, empty"));
    QCOMPARE(name(square(1)), QStringLiteral("b8, empty"));
  }

  void escapePutsBackTheSelectedPieceWhereverTheFocusIs() {
    key(Qt::Key_Escape);  // nothing selected: nothing happens
    QCOMPARE(text("lbl_jugada"), QStringLiteral("0"));
    square(52)->click();
    QCOMPARE(square(52)->shownAppearance(), 1);
    key(Qt::Key_Escape);
    QCOMPARE(square(52)->shownAppearance(), 0);
    // Put back, not moved: the next click selects again.
    square(51)->click();
    QCOMPARE(square(51)->shownAppearance(), 1);
    QCOMPARE(square(52)->shownAppearance(), 0);
    key(Qt::Key_Tab);
    QVERIFY(focusedSquare() < 0);
    key(Qt::Key_Escape);
    QCOMPARE(square(51)->shownAppearance(), 0);
    square(52)->click();
    square(36)->click();  // the game goes on: e2-e4 is played
    answered();
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
  }

  void theComputersMoveAndARefusedMoveAreAnnounced() {
    Heard heard(window_.get());
    square(52)->click();
    square(36)->click();
    answered();
    QCOMPARE(heard.texts(), QStringList{QStringLiteral("Black pawn e7 to e5")});
    square(50)->click();
    square(26)->click();  // c2-c5 is no pawn's move
    QCOMPARE(heard.texts().last(), QStringLiteral("Not allowed, c2 to c5"));
    square(50)->click();
    square(49)->click();  // onto its own piece
    QCOMPARE(heard.texts().last(), QStringLiteral("Not allowed, c2 to b2"));
    square(50)->click();
    square(50)->click();  // put back: nothing is said
    QCOMPARE(heard.texts().size(), 3);
    // Free placement plays anything and says nothing.
    child<QCheckBox>("boardsu")->click();
    square(50)->click();
    square(26)->click();
    QCOMPARE(heard.texts().size(), 3);
    QCOMPARE(name(square(26)), QStringLiteral("c5, white pawn"));
  }

  // The words for moves no saved position above leads to, from the positions before and after.
  void promotionAndQueenSideCastlingInWords() {
    vombel::Board before{};
    for (int x = 1; x <= 8; ++x) {
      for (int y = 1; y <= 8; ++y)
        before(x, y) = vombel::kEmpty;
    }
    before(5, 8) = vombel::kComputerKing;
    before(1, 8) = vombel::kRook;
    before(4, 2) = vombel::kPawn;
    before(5, 1) = vombel::kHumanKing;
    vombel::Board after = before;
    after(4, 2) = vombel::kEmpty;
    after(4, 1) = vombel::kQueen;
    QCOMPARE(vombel::computerMoveWords(before, after),
             QStringLiteral("Black pawn d2 to d1, becomes a queen"));
    after = before;
    after(5, 8) = vombel::kEmpty;
    after(1, 8) = vombel::kEmpty;
    after(3, 8) = vombel::kComputerKing;
    after(4, 8) = vombel::kRook;
    QCOMPARE(vombel::computerMoveWords(before, after), QStringLiteral("Black castles queen side"));
    // The king's own step is no castling.
    after = before;
    after(5, 8) = vombel::kEmpty;
    after(4, 8) = vombel::kComputerKing;
    QCOMPARE(vombel::computerMoveWords(before, after), QStringLiteral("Black king e8 to d8"));
    QCOMPARE(vombel::refusedMoveWords(63, 0), QStringLiteral("Not allowed, h1 to a8"));
  }

  // What is said within a moment is told as one notification; a box to be read out tells what
  // waits at once.
  void announcerGathersWhatIsSaidTogether() {
    auto* announcer = child<vombel::Announcer>("announcer");
    announcer->say(QStringLiteral("e4, white pawn"));
    announcer->say(QStringLiteral("Black pawn e7 to e5"));
    QCOMPARE(announcer->lastText(), QString());
    QTRY_COMPARE(announcer->lastText(), QStringLiteral("e4, white pawn. Black pawn e7 to e5"));
    announcer->say(QStringLiteral("b3, white pawn"));
    QString toldBeforeTheBox;
    QTimer::singleShot(0, [&] {  // in the box's own event loop
      toldBeforeTheBox = announcer->lastText();
      QApplication::activeModalWidget()->close();
    });
    vombel::gameView().tell("Computer resignes");
    QCOMPARE(toldBeforeTheBox, QStringLiteral("b3, white pawn"));
    QAccessibleInterface* notice =
        QAccessible::queryAccessibleInterface(announcer->findChild<QWidget*>());
    QCOMPARE(notice->role(), QAccessible::Notification);
    QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("b3, white pawn"));
    QCOMPARE(notice->parent()->role(), QAccessible::StatusBar);  // so no role name is said
  }

  void capturesCastlingPromotionAndResignationAreAnnounced() {
    struct Case {
      const char* position;
      const char* words;
    };
    const Case cases[] = {
        {"g1_middle_013", "Black pawn takes pawn on d4"},
        {"g3_middle_011", "Black castles king side"},
        {"promotion_capture", "Black pawn takes rook on e1, becomes a queen"},
        {"g5_end_045", "Black knight c6 to b4"},
        {"resignation", "Black resigns"},
    };
    const vombel::testing_support::ModalCloser closer;
    for (const Case& c : cases) {
      QVERIFY2(vombel::loadGameFile(benchPosition(c.position).constData()), c.position);
      window_->syncFromState();
      Heard heard(window_.get());
      QTest::mouseClick(child<QPushButton>("force"), Qt::LeftButton);
      answered();
      QCOMPARE(heard.texts(), QStringList{QString::fromUtf8(c.words)});
    }
    QCOMPARE(closer.texts(), QStringList{QStringLiteral("Computer resignes")});
  }

  // The offscreen platform has nobody to listen: the computer's move rings the bell (which does
  // nothing there) instead of loading and playing the chime.
  void computerMoveRingsTheBellWithoutAudio() {
    square(52)->click();
    square(36)->click();
    answered();
    QCOMPARE(vombel::lastBeep(), vombel::BeepKind::Bell);
  }

  // The chime compiled in: a short 16-bit mono PCM WAV, as QSoundEffect plays it.
  void chimeIsAShortPcmWav() {
    QFile file(QStringLiteral(":/sounds/move.wav"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray wav = file.readAll();
    QVERIFY(wav.size() > 44);
    QCOMPARE(wav.mid(0, 4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    const auto u16 = [&](int at) { return quint16(uchar(wav[at]) | uchar(wav[at + 1]) << 8); };
    const auto u32 = [&](int at) { return quint32(u16(at) | quint32(u16(at + 2)) << 16); };
    QCOMPARE(u16(20), quint16(1));   // PCM
    QCOMPARE(u16(22), quint16(1));   // mono
    QCOMPARE(u16(34), quint16(16));  // bits per sample
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    const double seconds = u32(40) / 2.0 / u32(24);
    QVERIFY2(seconds > 0.05 && seconds < 0.5, qPrintable(QString::number(seconds)));
  }
};

QTEST_MAIN(KeyboardTest)
#include "window_keyboard_test.moc"
