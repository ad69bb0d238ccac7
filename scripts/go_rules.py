"""Board logic shared by the match tools: stones, captures, suicide, simple ko, area scoring,
GTP vertices and the fixed handicap placement. Standard library only.

Points are indices y * size + x with row 0 at the bottom, as GTP counts rows from the bottom.
Colours are BLACK (1) and WHITE (2); EMPTY is 0.
"""

EMPTY, BLACK, WHITE = 0, 1, 2
PASS = -1
COLUMNS = "ABCDEFGHJKLMNOPQRSTUVWXYZ"


def opponent(colour):
    return BLACK + WHITE - colour


def colour_from_gtp(text):
    """'b', 'black', 'W', ... -> BLACK or WHITE; ValueError otherwise."""
    t = text.strip().lower()
    if t in ("b", "black"):
        return BLACK
    if t in ("w", "white"):
        return WHITE
    raise ValueError("not a colour: %r" % text)


def colour_to_gtp(colour):
    return "black" if colour == BLACK else "white"


class IllegalMove(Exception):
    """A move the rules forbid; the message says why."""


class Board:
    """A Go position with captures, the suicide rule and the simple ko rule."""

    def __init__(self, size=19):
        if not 2 <= size <= len(COLUMNS):
            raise ValueError("board size %d is not supported" % size)
        self.size = size
        self.points = [EMPTY] * (size * size)
        self.ko = PASS  # the point the side to move may not take back
        self.captures = {BLACK: 0, WHITE: 0}  # stones each colour has taken
        self.neighbours = [self._neighbours_of(p) for p in range(size * size)]
        self.diagonals = [self._diagonals_of(p) for p in range(size * size)]

    def _neighbours_of(self, p):
        x, y = p % self.size, p // self.size
        steps = ((x, y + 1), (x + 1, y), (x, y - 1), (x - 1, y))
        return [b * self.size + a for a, b in steps if 0 <= a < self.size and 0 <= b < self.size]

    def _diagonals_of(self, p):
        x, y = p % self.size, p // self.size
        steps = ((x + 1, y + 1), (x + 1, y - 1), (x - 1, y - 1), (x - 1, y + 1))
        return [b * self.size + a for a, b in steps if 0 <= a < self.size and 0 <= b < self.size]

    def copy(self):
        other = Board.__new__(Board)
        other.size = self.size
        other.points = list(self.points)
        other.ko = self.ko
        other.captures = dict(self.captures)
        other.neighbours = self.neighbours
        other.diagonals = self.diagonals
        return other

    # ---- vertices

    def vertex(self, p):
        if p == PASS:
            return "pass"
        return "%s%d" % (COLUMNS[p % self.size], p // self.size + 1)

    def parse_vertex(self, text):
        """'D4', 'pass' -> point; ValueError for anything else or a point off the board."""
        t = text.strip().upper()
        if t == "PASS":
            return PASS
        if len(t) < 2 or t[0] not in COLUMNS or not t[1:].isdigit():
            raise ValueError("not a vertex: %r" % text)
        x, y = COLUMNS.index(t[0]), int(t[1:]) - 1
        if not (0 <= x < self.size and 0 <= y < self.size):
            raise ValueError("vertex off the board: %r" % text)
        return y * self.size + x

    def sgf_point(self, p):
        """SGF coordinates: column letter from 'a', row letter from 'a' at the top."""
        if p == PASS:
            return ""
        x, y = p % self.size, p // self.size
        return chr(ord("a") + x) + chr(ord("a") + self.size - 1 - y)

    # ---- chains

    def chain(self, p):
        """The stones of the chain at p and its liberties, as two sets."""
        colour = self.points[p]
        stones, liberties, todo = {p}, set(), [p]
        while todo:
            q = todo.pop()
            for n in self.neighbours[q]:
                c = self.points[n]
                if c == EMPTY:
                    liberties.add(n)
                elif c == colour and n not in stones:
                    stones.add(n)
                    todo.append(n)
        return stones, liberties

    def chains(self, colour):
        """Every chain of colour as (stones, liberties)."""
        seen, result = set(), []
        for p, c in enumerate(self.points):
            if c == colour and p not in seen:
                stones, liberties = self.chain(p)
                seen |= stones
                result.append((stones, liberties))
        return result

    # ---- moves

    def why_illegal(self, colour, p):
        """None when colour may play at p (a pass is always allowed), else the reason."""
        if p == PASS:
            return None
        if not 0 <= p < len(self.points):
            return "off the board"
        if self.points[p] != EMPTY:
            return "occupied"
        if p == self.ko:
            return "ko"
        if any(self.points[n] == EMPTY for n in self.neighbours[p]):
            return None
        enemy = opponent(colour)
        for n in self.neighbours[p]:
            c = self.points[n]
            if c == enemy and len(self.chain(n)[1]) == 1:
                return None  # it captures
            if c == colour and len(self.chain(n)[1]) > 1:
                return None  # it joins a chain that keeps a liberty
        return "suicide"

    def is_legal(self, colour, p):
        return self.why_illegal(colour, p) is None

    def play(self, colour, p):
        """Plays the move, removes captured stones and sets the ko point. Returns the captured
        stones. Raises IllegalMove for a move the rules forbid, leaving the board unchanged."""
        reason = self.why_illegal(colour, p)
        if reason is not None:
            raise IllegalMove("%s %s: %s" % (colour_to_gtp(colour), self.vertex(p), reason))
        self.ko = PASS
        if p == PASS:
            return set()
        self.points[p] = colour
        captured = set()
        for n in self.neighbours[p]:
            if self.points[n] == opponent(colour) and n not in captured:
                stones, liberties = self.chain(n)
                if not liberties:
                    captured |= stones
        for q in captured:
            self.points[q] = EMPTY
        self.captures[colour] += len(captured)
        stones, liberties = self.chain(p)
        if len(captured) == 1 and len(stones) == 1 and len(liberties) == 1:
            self.ko = next(iter(captured))
        return captured

    def legal_moves(self, colour):
        return [p for p in range(len(self.points)) if self.points[p] == EMPTY and
                self.is_legal(colour, p)]

    def is_own_eye(self, colour, p):
        """An empty point surrounded by colour that the opponent cannot make false: every
        neighbour is colour, and opponent stones hold fewer than two diagonals in the middle of
        the board, none at the edge."""
        if self.points[p] != EMPTY:
            return False
        if any(self.points[n] != colour for n in self.neighbours[p]):
            return False
        enemy_diagonals = sum(1 for d in self.diagonals[p] if self.points[d] == opponent(colour))
        at_edge = len(self.diagonals[p]) < 4
        return enemy_diagonals == 0 if at_edge else enemy_diagonals < 2

    # ---- scoring

    def area_score(self, komi):
        """Tromp-Taylor area score: stones plus empty regions that reach only one colour.
        Returns (black points, white points including komi)."""
        score = {BLACK: 0.0, WHITE: float(komi)}
        seen = set()
        for p, c in enumerate(self.points):
            if c != EMPTY:
                score[c] += 1
                continue
            if p in seen:
                continue
            region, borders, todo = {p}, set(), [p]
            while todo:
                q = todo.pop()
                for n in self.neighbours[q]:
                    c2 = self.points[n]
                    if c2 == EMPTY and n not in region:
                        region.add(n)
                        todo.append(n)
                    elif c2 != EMPTY:
                        borders.add(c2)
            seen |= region
            if len(borders) == 1:
                score[borders.pop()] += len(region)
        return score[BLACK], score[WHITE]


def result_text(black, white):
    """'B+3.5', 'W+12', '0' for a draw."""
    margin = black - white
    if margin == 0:
        return "0"
    text = ("%.1f" % abs(margin)).rstrip("0").rstrip(".")
    return ("B+" if margin > 0 else "W+") + text


def handicap_points(size, stones):
    """The fixed handicap placement: corners on the fourth line (third on small boards), then
    the sides and the centre, as GTP's fixed_handicap places them."""
    if stones < 2:
        return []
    edge = 3 if size >= 13 else 2
    if size < 7 or stones > 9 or (size % 2 == 0 and stones > 4):
        raise ValueError("no fixed placement of %d stones on %dx%d" % (stones, size, size))
    low, mid, high = edge, size // 2, size - 1 - edge

    def point(x, y):
        return y * size + x

    corners = [point(low, low), point(high, high), point(low, high), point(high, low)]
    sides = [point(low, mid), point(high, mid)]
    middle = [point(mid, low), point(mid, high)]
    centre = [point(mid, mid)]
    chosen = corners[:min(stones, 4)]
    if stones in (5, 7, 9):
        chosen += centre
    if stones >= 6:
        chosen += sides
    if stones >= 8:
        chosen += middle
    return chosen
