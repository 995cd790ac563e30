# Arrays and records: matrices as arrays of arrays of integers, an array of
# records sorted by swapping, and an integer vector of prefix sums and reversals.
# Keep in step with arrays_records.qs and arrays_records.lua: all three print the same lines.


class Item:
    __slots__ = ("key", "val")

    def __init__(self):
        self.key = 0
        self.val = 0


def main():
    size = 16
    ma = [[0] * size for _ in range(size)]
    mb = [[0] * size for _ in range(size)]
    mc = [[0] * size for _ in range(size)]
    msum = 0
    trace = 0
    for rep in range(0, 150):
        for i in range(0, size):
            for j in range(0, size):
                ma[i][j] = (i * 3 + j * 5 + rep) % 17
                mb[i][j] = (i * 7 + j * 2 + rep * 3) % 13
        for i in range(0, size):
            for j in range(0, size):
                acc = 0
                for k in range(0, size):
                    acc = acc + ma[i][k] * mb[k][j]
                mc[i][j] = acc
        # Transpose in place by swapping, then fold every element into the checksum.
        for i in range(0, size):
            for j in range(i + 1, size):
                x = mc[i][j]
                mc[i][j] = mc[j][i]
                mc[j][i] = x
        for i in range(0, size):
            trace = trace + mc[i][i]
            for j in range(0, size):
                msum = (msum * 31 + mc[i][j]) % 1000003
    print("matrix=" + str(msum) + " trace=" + str(trace))

    # Bubble sort of records by key.
    count = 40
    items = [Item() for _ in range(count)]
    seed = 7
    rsum = 0
    swaps = 0
    for rep in range(0, 450):
        for k in range(0, count):
            seed = (seed * 75 + 74) % 65537
            items[k].key = seed % 1000
            items[k].val = k + rep
        for i in range(0, count - 1):
            for j in range(0, count - 1 - i):
                if items[j].key > items[j + 1].key:
                    tmp = items[j]
                    items[j] = items[j + 1]
                    items[j + 1] = tmp
                    swaps = swaps + 1
        for k in range(0, count):
            rsum = (rsum * 7 + items[k].key * (k + 1) + items[k].val) % 1000003
    print("records=" + str(rsum) + " swaps=" + str(swaps))

    # Prefix sums and reversal of an integer vector.
    vec = [0] * 64
    for k in range(0, 64):
        vec[k] = (k * k) % 101
    for rep in range(0, 900):
        for k in range(1, 64):
            vec[k] = (vec[k] + vec[k - 1]) % 10007
        i = 0
        j = 63
        while i < j:
            x = vec[i]
            vec[i] = vec[j]
            vec[j] = x
            i = i + 1
            j = j - 1
    vsum = 0
    for k in range(0, 64):
        vsum = (vsum + vec[k] * (k + 1)) % 1000003
    print("vector=" + str(vsum) + " first=" + str(vec[0]) + " last=" + str(vec[63]))


main()
