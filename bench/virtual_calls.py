# Virtual method calls on a small class hierarchy, in a loop.
# Keep in step with virtual_calls.qs and virtual_calls.lua: all three print the same lines.


class Shape:
    def __init__(self):
        self.size = 0

    def area(self):
        return 0

    def weight(self, factor):
        return self.area() * factor


class Square(Shape):
    def area(self):
        return self.size * self.size


class Triangle(Shape):
    def area(self):
        return self.size * self.size // 2


class Frame(Square):
    def area(self):
        return super().area() - (self.size - 2) * (self.size - 2)

    def weight(self, factor):
        return self.area() * factor + 1


def main():
    shapes = [Shape(), Square(), Triangle(), Frame()]
    for k in range(4):
        shapes[k].size = k + 3
    total = 0
    weights = 0
    for i in range(500000):
        k = i % 4
        total = (total + shapes[k].area()) % 1000003
        weights = (weights + shapes[k].weight(i % 7)) % 1000003
    print("total=" + str(total) + " weights=" + str(weights))


main()
