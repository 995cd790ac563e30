# String work through the library: str, slices, find and len in a loop.
# Keep in step with string_library.qs and string_library.lua: all three print the same lines.


def main():
    hits = 0
    lengths = 0
    total = 0
    for i in range(200000):
        # A record of three comma-separated numbers, taken apart again field by field.
        line = str(i) + "," + str(i * 7919 % 100003) + "," + str(i % 97)
        rest = line
        p = rest.find(",") + 1
        while p > 0:
            field = rest[0:p - 1]
            lengths = lengths + len(field)
            rest = rest[p:]
            p = rest.find(",") + 1
        lengths = lengths + len(rest)
        if line.find("77") >= 0:
            hits = hits + 1
        total = (total + len(line) * (line.find(line[-1]) + 1)) % 1000003
    print("hits=" + str(hits) + " lengths=" + str(lengths) + " sum=" + str(total))


main()
