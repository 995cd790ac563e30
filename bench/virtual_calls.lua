-- Virtual method calls on a small class hierarchy, in a loop.
-- Keep in step with virtual_calls.qs and virtual_calls.py: all three print the same lines.

local Shape = {}
Shape.__index = Shape
function Shape.new(class) return setmetatable({size = 0}, class) end
function Shape:area() return 0 end
function Shape:weight(factor) return self:area() * factor end

local Square = setmetatable({}, {__index = Shape})
Square.__index = Square
function Square:area() return self.size * self.size end

local Triangle = setmetatable({}, {__index = Shape})
Triangle.__index = Triangle
function Triangle:area() return self.size * self.size // 2 end

local Frame = setmetatable({}, {__index = Square})
Frame.__index = Frame
function Frame:area() return Square.area(self) - (self.size - 2) * (self.size - 2) end
function Frame:weight(factor) return self:area() * factor + 1 end

local shapes = {Shape.new(Shape), Shape.new(Square), Shape.new(Triangle), Shape.new(Frame)}
for k = 0, 3 do shapes[k + 1].size = k + 3 end
local total, weights = 0, 0
for i = 0, 499999 do
  local k = i % 4
  total = (total + shapes[k + 1]:area()) % 1000003
  weights = (weights + shapes[k + 1]:weight(i % 7)) % 1000003
end
print("total=" .. total .. " weights=" .. weights)
