# Recursive calls: naive Fibonacci, Ackermann, Hofstadter's mutually recursive
# F and M sequences, and a mutually recursive even/odd test.
# Keep in step with recursion.qs and recursion.lua: all three print the same lines.


def fib(n):
    if n < 2:
        return n
    return fib(n - 1) + fib(n - 2)


def ack(m, n):
    if m == 0:
        return n + 1
    if n == 0:
        return ack(m - 1, 1)
    return ack(m - 1, ack(m, n - 1))


def hof_f(n):
    if n == 0:
        return 1
    return n - hof_m(hof_f(n - 1))


def hof_m(n):
    if n == 0:
        return 0
    return n - hof_f(hof_m(n - 1))


def is_even(n):
    if n == 0:
        return True
    return is_odd(n - 1)


def is_odd(n):
    if n == 0:
        return False
    return is_even(n - 1)


def main():
    print("fib=" + str(fib(28)))

    total = 0
    for m in range(0, 3):
        for n in range(0, 8):
            total = total + ack(m, n)
    total = total + ack(3, 5)
    print("ack=" + str(total))

    total = 0
    for n in range(0, 32):
        total = total * 3 + hof_f(n) + 2 * hof_m(n)
        total = total % 1000003
    print("hofstadter=" + str(total))

    evens = 0
    for rep in range(0, 30):
        for n in range(0, 150):
            if is_even(n + rep):
                evens = evens + n
    print("even=" + str(evens))


main()
