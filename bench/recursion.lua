-- Recursive calls: naive Fibonacci, Ackermann, Hofstadter's mutually recursive
-- F and M sequences, and a mutually recursive even/odd test.
-- Keep in step with recursion.qs and recursion.py: all three print the same lines.

local function fib(n)
  if n < 2 then
    return n
  end
  return fib(n - 1) + fib(n - 2)
end

local function ack(m, n)
  if m == 0 then
    return n + 1
  end
  if n == 0 then
    return ack(m - 1, 1)
  end
  return ack(m - 1, ack(m, n - 1))
end

local hof_f, hof_m

function hof_f(n)
  if n == 0 then
    return 1
  end
  return n - hof_m(hof_f(n - 1))
end

function hof_m(n)
  if n == 0 then
    return 0
  end
  return n - hof_f(hof_m(n - 1))
end

local is_even, is_odd

function is_even(n)
  if n == 0 then
    return true
  end
  return is_odd(n - 1)
end

function is_odd(n)
  if n == 0 then
    return false
  end
  return is_even(n - 1)
end

print("fib=" .. fib(28))

local total = 0
for m = 0, 2 do
  for n = 0, 7 do
    total = total + ack(m, n)
  end
end
total = total + ack(3, 5)
print("ack=" .. total)

total = 0
for n = 0, 31 do
  total = total * 3 + hof_f(n) + 2 * hof_m(n)
  total = total % 1000003
end
print("hofstadter=" .. total)

local evens = 0
for rep = 0, 29 do
  for n = 0, 149 do
    if is_even(n + rep) then
      evens = evens + n
    end
  end
end
print("even=" .. evens)
