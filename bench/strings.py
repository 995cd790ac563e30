# Strings: build strings character by character, compare them, count matches.
# Keep in step with strings.qs and strings.lua: all three print the same lines.


def main():
    letters = [
        "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
        "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z",
    ]

    # Two strings grow side by side and mostly agree; every prefix pair is compared.
    lt = 0
    eq = 0
    gt = 0
    s = ""
    t = ""
    for r in range(0, 3600):
        s = ""
        t = ""
        for i in range(0, 60):
            c = (i * i + r) % 3
            s = s + letters[c]
            d = (i * r) % 23
            if d == 7:
                t = t + letters[c + 1]
            elif d == 11:
                t = t + letters[(c + 2) % 3]
            else:
                t = t + letters[c]
            if s < t:
                lt = lt + 1
            elif s == t:
                eq = eq + 1
            else:
                gt = gt + 1
    print("lt=" + str(lt) + " eq=" + str(eq) + " gt=" + str(gt))
    print("s=" + s)
    print("t=" + t)

    # Short words over a small alphabet; count equal and ordered pairs.
    words = [""] * 48
    seed = 1
    same = 0
    less = 0
    for rnd in range(0, 360):
        for k in range(0, 48):
            seed = (seed * 75 + 74) % 65537
            wl = 1 + seed % 4
            w = ""
            for q in range(1, wl + 1):
                seed = (seed * 75 + 74) % 65537
                w = w + letters[seed % 3 + rnd % 2]
            words[k] = w
        for k in range(0, 47):
            for q in range(k + 1, 48):
                if words[k] == words[q]:
                    same = same + 1
                if words[k] < words[q]:
                    less = less + 1
    print("same=" + str(same) + " less=" + str(less))
    joined = ""
    for k in range(0, 12):
        joined = joined + words[k] + ","
    print("words=" + joined)


main()
