#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the benchmark positions in bench/positions/ as saved-game files.

Most positions come from games played through vombel-headless: the computer plays itself at
level Difficult, and the human's side is played by the same engine at level Easy on the mirrored
board, with a share of random legal moves so that no two games are alike. Every position with the
computer to move is a candidate; the suite takes openings, middlegames with both queens and
endgames from them. A few positions are set up by hand: the start position, castling on either
side, promotions and a resignation.

    bench/make_positions.py build/vombel-headless

The crowded positions in bench/positions/crowded/ (the worst cases of the search: many queens,
boards packed on one side or both) are drawn as diagrams below and written, without touching
the suite, by

    bench/make_positions.py --crowded

Both sets are fixed once made: the pinned search signatures in tests/ are computed from them.
"""
import os
import random
import subprocess
import sys
import tempfile

PAWN, KNIGHT, BISHOP, ROOK, QUEEN = 10, 30, 32, 50, 90
CKING, HKING = 15000, -10000
BORDER = 2

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "positions")


def idx(x, y):
    return (y + 1) * 12 + (x + 1)


def empty_board():
    b = [BORDER] * 144
    for x in range(1, 9):
        for y in range(1, 9):
            b[idx(x, y)] = 0
    return b


def start_board():
    b = empty_board()
    back = [ROOK, KNIGHT, BISHOP, QUEEN, None, BISHOP, KNIGHT, ROOK]
    for x in range(1, 9):
        b[idx(x, 2)] = -PAWN
        b[idx(x, 7)] = PAWN
        if back[x - 1] is not None:
            b[idx(x, 1)] = -back[x - 1]
            b[idx(x, 8)] = back[x - 1]
    b[idx(5, 1)] = HKING
    b[idx(5, 8)] = CKING
    return b


def read_game(path):
    with open(path) as f:
        values = [int(t) for t in f.read().split()]
    n = values[0]
    return [values[1 + 144 * i:1 + 144 * (i + 1)] for i in range(n + 1)]


def write_game(path, entries):
    def line(v):
        return ("%d \r\n" if v < 0 else " %d \r\n") % v
    with open(path, "w", newline="") as f:
        f.write(line(len(entries) - 1))
        for e in entries:
            f.write("".join(line(v) for v in e))


def mirror(b):
    """The same position with the sides exchanged: ranks flipped and codes negated."""
    m = empty_board()
    for x in range(1, 9):
        for y in range(1, 9):
            v = b[idx(x, y)]
            m[idx(x, 9 - y)] = {CKING: HKING, HKING: CKING}.get(v, -v)
    return m


def screen(x, y):
    return (8 - y) * 8 + (x - 1)


def human_moves(b):
    """Every human move by the piece rules (no king-safety test), as (fx, fy, tx, ty)."""
    moves = []

    def open_(t):
        return t != BORDER and t >= 0

    for x in range(1, 9):
        for y in range(1, 9):
            v = b[idx(x, y)]
            if v == -PAWN:
                if y == 2 and b[idx(x, 3)] == 0 and b[idx(x, 4)] == 0:
                    moves.append((x, y, x, 4))
                if b[idx(x, y + 1)] == 0:
                    moves.append((x, y, x, y + 1))
                for dx in (1, -1):
                    t = b[idx(x + dx, y + 1)]
                    if t > 0 and t != BORDER:
                        moves.append((x, y, x + dx, y + 1))
            elif v in (-KNIGHT, HKING):
                steps = ([(2, 1), (2, -1), (-2, -1), (-2, 1), (1, 2), (-1, 2), (1, -2), (-1, -2)]
                         if v == -KNIGHT else
                         [(1, 1), (-1, 1), (-1, -1), (1, -1), (0, -1), (0, 1), (-1, 0), (1, 0)])
                for dx, dy in steps:
                    if open_(b[idx(x + dx, y + dy)]):
                        moves.append((x, y, x + dx, y + dy))
            elif v in (-BISHOP, -ROOK, -QUEEN):
                rays = []
                if v != -ROOK:
                    rays += [(1, 1), (1, -1), (-1, 1), (-1, -1)]
                if v != -BISHOP:
                    rays += [(0, 1), (0, -1), (1, 0), (-1, 0)]
                for dx, dy in rays:
                    tx, ty = x + dx, y + dy
                    while True:
                        t = b[idx(tx, ty)]
                        if t == BORDER or t < 0:
                            break
                        moves.append((x, y, tx, ty))
                        if t > 0:
                            break
                        tx, ty = tx + dx, ty + dy
    return moves


class Driver:
    def __init__(self, exe):
        self.exe = os.path.abspath(exe)
        self.dir = tempfile.mkdtemp(prefix="vombel-positions-")

    def run(self, entries, events, level):
        """Runs events from the game entries; returns (printed lines, resulting entries)."""
        game = os.path.join(self.dir, "in.vmb")
        out = os.path.join(self.dir, "out.vmb")
        write_game(game, entries)
        if os.path.exists(out):
            os.remove(out)
        r = subprocess.run([self.exe, "--level", level, "--in", game, "--out", out] + events,
                           capture_output=True, text=True, check=True, cwd=self.dir)
        return r.stdout.splitlines(), read_game(out)


def engine_human_move(driver, b):
    """The move the engine would play for the human, found on the mirrored board."""
    m = mirror(b)
    lines, after = driver.run([m], ["force"], "easy")
    a = after[-1]
    if "resigned=1" in lines[-1]:
        return None
    origin = dest = None
    for x in range(1, 9):
        for y in range(1, 9):
            before, now = m[idx(x, y)], a[idx(x, y)]
            if before == now:
                continue
            if now == 0 and before > 0 and (origin is None or before == CKING):
                origin = (x, 9 - y)
            if now > 0 and (dest is None or now == CKING):
                dest = (x, 9 - y)
    return origin + dest


def material(b):
    return sum(b[idx(x, y)] for x in range(1, 9) for y in range(1, 9))


def play_game(driver, seed, randomness, max_moves=160):
    """Plays one game; returns every position with the computer to move, as entry lists."""
    rng = random.Random(seed)
    entries = [start_board()]
    found = []
    while len(entries) - 1 < max_moves:
        b = entries[-1]
        if not (-5000 < material(b) - 5000 < 5000):
            break  # a king is gone
        tries = []
        # The human's first move is random, so that every game takes its own course.
        if len(entries) > 1 and rng.random() >= randomness:
            mv = engine_human_move(driver, b)
            if mv is not None:
                tries.append(mv)
        legal = human_moves(b)
        rng.shuffle(legal)
        tries += legal
        played = False
        for fx, fy, tx, ty in tries:
            lines, after = driver.run(entries, ["click:%d" % screen(fx, fy),
                                                "click:%d" % screen(tx, ty)], "difficult")
            if lines:
                found.append(after[:-1])
                entries = after
                played = True
                break
        if not played:
            break
    return found


def pieces(b, code):
    return sum(1 for x in range(1, 9) for y in range(1, 9) if b[idx(x, y)] == code)


def human_count(b):
    return sum(1 for x in range(1, 9) for y in range(1, 9) if b[idx(x, y)] < 0)


def hand_made():
    """Positions set up by hand, each a game of its own with the position as entry 0."""
    made = {}

    made["start"] = start_board()

    b = start_board()  # both sides developed, the computer's king side ready to castle
    for (x, y), v in {(5, 7): 0, (5, 5): PAWN, (6, 8): 0, (3, 5): BISHOP, (7, 8): 0,
                      (6, 6): KNIGHT, (5, 2): 0, (5, 4): -PAWN, (7, 1): 0, (6, 3): -KNIGHT,
                      (2, 1): 0, (3, 3): -KNIGHT}.items():
        b[idx(x, y)] = v
    made["castle_king_side"] = b

    b = start_board()  # the queen side cleared, the king side still closed
    for (x, y), v in {(4, 5): PAWN, (2, 8): 0, (3, 6): KNIGHT, (3, 8): 0,
                      (6, 5): BISHOP, (4, 8): 0, (4, 7): QUEEN, (4, 2): 0, (4, 4): -PAWN,
                      (3, 2): 0, (3, 4): -PAWN, (7, 1): 0, (6, 3): -KNIGHT}.items():
        b[idx(x, y)] = v
    made["castle_queen_side"] = b

    b = empty_board()  # a computer pawn one step from queening, the human's rook watching
    for (x, y), v in {(7, 7): CKING, (6, 7): PAWN, (7, 6): PAWN, (8, 7): PAWN, (2, 2): PAWN,
                      (5, 3): ROOK, (7, 1): HKING, (6, 2): -PAWN, (7, 2): -PAWN, (8, 2): -PAWN,
                      (4, 1): -ROOK, (3, 4): -BISHOP}.items():
        b[idx(x, y)] = v
    made["promotion_push"] = b

    b = empty_board()  # a computer pawn that queens by capturing
    for (x, y), v in {(2, 8): CKING, (1, 7): PAWN, (2, 7): PAWN, (4, 2): PAWN, (6, 4): KNIGHT,
                      (5, 1): -ROOK, (4, 1): -BISHOP, (8, 1): HKING, (7, 2): -PAWN,
                      (8, 2): -PAWN, (3, 1): -KNIGHT, (5, 6): -QUEEN}.items():
        b[idx(x, y)] = v  # the push square is blocked: only the two captures promote
    made["promotion_capture"] = b

    b = empty_board()  # the computer's king is mated in the corner: it resigns
    for (x, y), v in {(8, 8): CKING, (1, 7): PAWN, (1, 6): PAWN, (7, 7): -QUEEN,
                      (6, 6): HKING, (2, 2): -PAWN, (3, 2): -PAWN}.items():
        b[idx(x, y)] = v
    made["resignation"] = b
    return made


# Rows from rank 8 down to rank 1, files 1 to 8; lowercase the computer, uppercase the human,
# "." empty. Each is a game of its own with the position as entry 0, the computer to move.
CROWDED = {
    "queens_both_sides": [  # the slowest position found: over 3500 million ply-6 leaves
        "Br.qB...", "P.rRrbPQ", "BBRbQ.N.", "qnbqNQbK",
        "nQQqN.qB", "RBr.RqqP", ".P.Rr...", "nkqQrRqR"],
    "eight_queens": [  # both sides' pawns all promoted
        "rnb.kbnr", "qqqqqqqq", "........", "........",
        "........", "........", "QQQQQQQQ", "RNB.KBNR"],
    "eight_queens_open": [
        "....k...", "qqqqqqqq", "........", "........",
        "........", "........", "QQQQQQQQ", "....K..."],
    "both_sides_crowded": [  # every line loses the king: the fallback search decides
        "NRqNRnB.", "BBqPbKqQ", "qrpQnQpq", "BqQBnBqb",
        "kQQnNp.b", "RnRqQNn.", "QbqbBNQQ", "rNBqr.qr"],
    "human_side_crowded": [
        "BNBNqQN.", ".Nn.QQqQ", "NbRQQRBB", "QQ.N.R..",
        "Q...NNQK", "nQQQQR.q", "kr..RQN.", "NBBRqNRQ"],
    "computer_side_crowded": [
        "..b..Nnr", ".r.b..pr", "b.npP..N", "qpknRn.b",
        "b.npNq..", ".prrbrqp", ".ppbp...", "n..RbKrn"],
}


def from_diagram(rows):
    codes = {"p": PAWN, "n": KNIGHT, "b": BISHOP, "r": ROOK, "q": QUEEN, "k": CKING}
    b = empty_board()
    for i, row in enumerate(rows):
        for x, ch in enumerate(row, 1):
            if ch == "K":
                v = HKING
            elif ch == ".":
                v = 0
            else:
                v = codes[ch.lower()] * (1 if ch.islower() else -1)
            b[idx(x, 8 - i)] = v
    return b


def write_crowded():
    out = os.path.join(OUT, "crowded")
    os.makedirs(out, exist_ok=True)
    for name, rows in CROWDED.items():
        write_game(os.path.join(out, name + ".vmb"), [from_diagram(rows)])
    print("%d positions in %s" % (len(CROWDED), out))


def main():
    if sys.argv[1:] == ["--crowded"]:
        write_crowded()
        return
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    driver = Driver(sys.argv[1])
    os.makedirs(OUT, exist_ok=True)
    suite = {name: [b] for name, b in hand_made().items()}

    games = [play_game(driver, seed, randomness)
             for seed, randomness in [(1, 0.15), (2, 0.3), (3, 0.2), (4, 0.4), (5, 0.1), (6, 0.25)]]
    for g, found in enumerate(games, 1):
        by_move = {len(e) - 1: e for e in found}
        # The computer's first four moves (after half-moves 1, 3, 5, 7) have phases of their own.
        for n in [(1, 3), (1, 5), (1, 7), (3,), (5,), (7,)][g - 1]:
            if n in by_move:
                suite["g%d_opening_%02d" % (g, n)] = by_move[n]
        queens = [e for n, e in sorted(by_move.items())
                  if n >= 10 and pieces(e[-1], QUEEN) and pieces(e[-1], -QUEEN)]
        for e in queens[::max(1, len(queens) // 3)][:3]:
            suite["g%d_middle_%03d" % (g, len(e) - 1)] = e
        ends = [e for n, e in sorted(by_move.items()) if human_count(e[-1]) <= 8]
        for e in ends[::max(1, len(ends) // 2)][:2]:
            suite["g%d_end_%03d" % (g, len(e) - 1)] = e

    for name in sorted(os.listdir(OUT)):
        if name.endswith(".vmb"):
            os.remove(os.path.join(OUT, name))
    seen = set()
    for name, entries in sorted(suite.items()):
        if tuple(entries[-1]) in seen:
            continue
        seen.add(tuple(entries[-1]))
        write_game(os.path.join(OUT, name + ".vmb"), entries)
    print("%d positions in %s" % (len(seen), OUT))


if __name__ == "__main__":
    main()
