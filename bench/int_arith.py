# Integer arithmetic: nested for loops, while loops, div/mod and comparisons.
# Keep in step with int_arith.qs and int_arith.lua: all three print the same lines.


def main():
    acc = 0
    for i in range(1, 601):
        for j in range(1, 701):
            x = (i * j + acc) % 1000003
            if x % 3 == 0:
                acc = (acc + x // 3) % 1000003
            elif x % 3 == 1:
                acc = (acc * 7 + j) % 1000003
            else:
                if acc >= i:
                    acc = acc - i
                else:
                    acc = acc + 1000003 - i
    print("acc=" + str(acc))

    # Collatz step counts.
    total = 0
    longest = 0
    for k in range(1, 10001):
        n = k
        steps = 0
        while n != 1:
            if n % 2 == 0:
                n = n // 2
            else:
                n = 3 * n + 1
            steps = steps + 1
        total = total + steps
        if steps > longest:
            longest = steps
    print("collatz=" + str(total) + " longest=" + str(longest))

    # Euclid on a grid of pairs.
    g = 0
    for a in range(1, 271):
        for b in range(1, 271):
            x = a * 7 + 3
            t = b * 5 + 1
            while t != 0:
                r = x % t
                x = t
                t = r
            g = g + x
    print("gcd=" + str(g))


main()
