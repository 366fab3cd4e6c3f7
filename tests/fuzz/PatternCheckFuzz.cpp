// Fuzz target: the pattern check on arbitrary records. The input holds the record's fields the
// check reads (any Grid, any pattern entries, as a damaged file could have them), a screen
// size, an unlock mode and the random numbers behind the letters, then a script of presses,
// moves, releases and keys (layout in make_corpus.py). Checks the hit tests against their
// geometry, the way an entry grows, the letters on the points, and that the text comparison
// matches exactly when the point (or letter) sequences do.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "core/ConfigData.h"
#include "core/PatternGrid.h"

namespace {

struct Session {
    ConfigData Config;
    GridLayout Layout;
    int Points = 0;
    int Mode = 0;
    std::vector<uint8_t> Letters;
    PatternDrag Drag;
    KeyEntry Keys;
    WrongCounter Wrong;
};

// A pointer position: kind 0 = a point's hit-square corner plus a small offset (where the
// edges are), 1 = any 16-bit pixel, else any double (NaN and infinities included).
void ConsumePosition(FuzzInput& input, const Session& s, double& x, double& y) {
    switch (input.U8() % 3) {
    case 0: {
        const LayoutSquare& hit = s.Layout.Point(1 + input.U8() % s.Points).Hit;
        x = hit.Left + input.I8();
        y = hit.Top + input.I8();
        break;
    }
    case 1:
        x = input.I16();
        y = input.I16();
        break;
    default:
        x = input.RawDouble();
        y = input.RawDouble();
        break;
    }
}

// The hit test's answer against the plain geometry of every entry.
int CheckedHit(const Session& s, double x, double y) {
    const int hit = HitTestPoint(s.Layout, x, y);
    FUZZ_CHECK(hit >= 0 && hit <= s.Points);
    for (int k = 1; k <= s.Points; ++k) {
        const LayoutSquare& e = s.Layout.Point(k).Hit;
        const bool inside = x >= e.Left && x < e.Left + e.Size && y > e.Top && y < e.Top + e.Size;
        if (k < hit || hit == 0) FUZZ_CHECK(!inside);
        if (k == hit) FUZZ_CHECK(inside);
    }
    const int icon = HitTestIcon(s.Layout, x, y);
    FUZZ_CHECK(icon == -1 || icon == kIconKeyboard || icon == kIconPatternEnable || icon == kIconPatternDisplay);
    const int small = HitTestSmallPoint(s.Layout, x, y);
    FUZZ_CHECK(small >= 0 && small <= s.Points);
    return hit;
}

void CheckEntryShape(const Session& s) {
    const auto& slots = s.Drag.Entry().Slots();
    FUZZ_CHECK(static_cast<int>(slots.size()) == s.Points + 1);
    std::set<int32_t> seen;
    bool freeSeen = false;
    for (std::size_t i = 1; i < slots.size(); ++i) {
        if (slots[i] == 0) { freeSeen = true; continue; }
        FUZZ_CHECK(!freeSeen);  // the entry grows from slot 1 without gaps
        FUZZ_CHECK(slots[i] >= 1 && slots[i] <= s.Points);
        FUZZ_CHECK(seen.insert(slots[i]).second);  // no point taken twice
    }
}

// The stored pattern as the sequence the user must reproduce: non-zero entries 1..N*N in
// order; entries that name no point of this grid (a damaged file) are not part of it.
std::vector<int32_t> StoredSequence(const Session& s) {
    std::vector<int32_t> sequence;
    for (int i = 1; i <= s.Points; ++i) {
        const int32_t point = s.Config.SecretPattern[i];
        if (point >= 1 && point <= s.Points) sequence.push_back(point);
    }
    return sequence;
}

void CheckPointerMatch(Session& s) {
    const std::vector<int32_t> stored = StoredSequence(s);
    std::vector<int32_t> entered;
    for (const int32_t point : s.Drag.Entry().Slots()) {
        if (point != 0) entered.push_back(point);
    }
    const int mode = s.Mode == kDynamicPasswordMode ? kNormalUnlockMode : s.Mode;
    const bool match = PatternTextsMatch(StoredPatternText(s.Config, s.Layout.GridSide, mode, s.Letters),
                                         EnteredPatternText(s.Drag.Entry()));
    FUZZ_CHECK(match == (stored.empty() || stored == entered));
}

void CheckKeyMatch(Session& s) {
    std::string stored;
    for (const int32_t point : StoredSequence(s)) stored += static_cast<char>(s.Letters[point]);
    std::string typed;
    for (const uint8_t code : s.Keys.Slots()) {
        if (code != 0) typed += static_cast<char>(code);
    }
    FUZZ_CHECK(static_cast<int>(typed.size()) == s.Keys.Count());
    const bool match = PatternTextsMatch(StoredPatternText(s.Config, s.Layout.GridSide, kDynamicPasswordMode, s.Letters),
                                         EnteredKeysText(s.Keys));
    FUZZ_CHECK(match == (stored.empty() || stored == typed));
    if (match) {
        s.Wrong.RecordMatch();
    } else {
        const int before = s.Wrong.Count();
        const bool alert = s.Wrong.RecordMismatch(s.Config.AlertTimes, s.Config.AlertMode);
        const bool counting = s.Config.AlertTimes > 0 && s.Config.AlertMode > 0;
        FUZZ_CHECK(alert == (counting && before + 1 >= s.Config.AlertTimes));
        FUZZ_CHECK(s.Wrong.Count() == (alert ? 0 : counting ? before + 1 : before));
    }
    s.Keys.Reset(s.Points);
}

void CheckLetters(const Session& s) {
    FUZZ_CHECK(static_cast<int>(s.Letters.size()) == s.Points + 1);
    FUZZ_CHECK(s.Letters[0] == 0);
    std::set<uint8_t> seen;
    for (int k = 1; k <= s.Points; ++k) {
        FUZZ_CHECK(s.Letters[k] >= 'A' && s.Letters[k] <= 'Z');
        FUZZ_CHECK(seen.insert(s.Letters[k]).second);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    Session s;
    s.Config.Grid = input.U8();
    s.Config.UnlockMode = input.U8();
    s.Mode = s.Config.UnlockMode % 4;  // 3: a value no mode has
    const int width = input.U16() % 16385, height = input.U16() % 16385;
    s.Config.AlertTimes = input.I8();
    s.Config.AlertMode = input.I8();
    // Pattern entries 0..36: a count, then each as one byte, or 0x80 and any 32-bit value.
    const int count = input.U8() % (kSecretPatternEntries + 1);
    for (int i = 0; i < count; ++i) {
        const int8_t small = input.I8();
        s.Config.SecretPattern[i] = small == -128 ? input.I32() : small;
    }
    ComputeLayout(s.Layout, s.Config.Grid, width, height);
    s.Points = s.Layout.GridSide * s.Layout.GridSide;
    FUZZ_CHECK(s.Layout.GridSide >= 3 && s.Layout.GridSide <= 5);
    // Reals in [0, 1) as the platform gives them, or (byte 0xFF first) any double: the letters
    // must stay sound even outside the promise.
    s.Letters = MakeRandomLetters(s.Points, [&input] {
        return input.U8() == 0xFF ? input.RawDouble() : input.Probability();
    });
    CheckLetters(s);
    // Every point's centre hits that point, on the lock window and in the small boxes.
    for (int k = 1; k <= s.Points; ++k) {
        const LayoutPosition centre = s.Layout.Point(k).Centre;
        FUZZ_CHECK(HitTestPoint(s.Layout, centre.X, centre.Y) == k);
        const LayoutPosition small = s.Layout.SmallPoint(k).Centre;
        FUZZ_CHECK(HitTestSmallPoint(s.Layout, small.X, small.Y) == k);
    }

    s.Drag.Reset(s.Points);
    s.Keys.Reset(s.Points);
    // The script: 0 press, 1 move, 2 release, 3 key, 4 Backspace, 5 Enter (each with its data).
    while (input.Remaining() > 0) {
        double x = 0, y = 0;
        switch (input.U8() % 6) {
        case 0:
            ConsumePosition(input, s, x, y);
            s.Drag.Press(CheckedHit(s, x, y));
            break;
        case 1: {
            ConsumePosition(input, s, x, y);
            const int before = s.Drag.Entry().Count();
            const bool added = s.Drag.Move(CheckedHit(s, x, y));
            FUZZ_CHECK(s.Drag.Entry().Count() == before + (added ? 1 : 0));
            break;
        }
        case 2:
            if (s.Drag.Release()) CheckPointerMatch(s);
            break;
        case 3: {
            const int before = s.Keys.Count();
            const bool stored = s.Keys.Type(input.U8());
            FUZZ_CHECK(s.Keys.Count() == before + (stored ? 1 : 0));
            FUZZ_CHECK(s.Keys.Count() <= s.Points);
            break;
        }
        case 4: {
            const int before = s.Keys.Count();
            FUZZ_CHECK(s.Keys.Backspace() == (before > 0));
            FUZZ_CHECK(s.Keys.Count() == std::max(before - 1, 0));
            break;
        }
        default:
            CheckKeyMatch(s);
            break;
        }
        CheckEntryShape(s);
    }
    return 0;
}
