-- Integer arithmetic: nested for loops, while loops, div/mod and comparisons.
-- Keep in step with int_arith.qs and int_arith.py: all three print the same lines.

local acc = 0
for i = 1, 600 do
  for j = 1, 700 do
    local x = (i * j + acc) % 1000003
    if x % 3 == 0 then
      acc = (acc + x // 3) % 1000003
    elseif x % 3 == 1 then
      acc = (acc * 7 + j) % 1000003
    else
      if acc >= i then
        acc = acc - i
      else
        acc = acc + 1000003 - i
      end
    end
  end
end
print("acc=" .. acc)

-- Collatz step counts.
local total = 0
local longest = 0
for k = 1, 10000 do
  local n = k
  local steps = 0
  while n ~= 1 do
    if n % 2 == 0 then
      n = n // 2
    else
      n = 3 * n + 1
    end
    steps = steps + 1
  end
  total = total + steps
  if steps > longest then
    longest = steps
  end
end
print("collatz=" .. total .. " longest=" .. longest)

-- Euclid on a grid of pairs.
local g = 0
for a = 1, 270 do
  for b = 1, 270 do
    local x = a * 7 + 3
    local t = b * 5 + 1
    while t ~= 0 do
      local r = x % t
      x = t
      t = r
    end
    g = g + x
  end
end
print("gcd=" .. g)
