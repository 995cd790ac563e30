-- Arrays and records: matrices as arrays of arrays of integers, an array of
-- records sorted by swapping, and an integer vector of prefix sums and reversals.
-- Keep in step with arrays_records.qs and arrays_records.py: all three print the same lines.
-- Lua tables count from 1, hence the "+ 1" on every index.

local size = 16
local ma, mb, mc = {}, {}, {}
for i = 1, size do
  ma[i], mb[i], mc[i] = {}, {}, {}
  for j = 1, size do
    ma[i][j], mb[i][j], mc[i][j] = 0, 0, 0
  end
end
local msum = 0
local trace = 0
for rep = 0, 149 do
  for i = 0, size - 1 do
    for j = 0, size - 1 do
      ma[i + 1][j + 1] = (i * 3 + j * 5 + rep) % 17
      mb[i + 1][j + 1] = (i * 7 + j * 2 + rep * 3) % 13
    end
  end
  for i = 0, size - 1 do
    for j = 0, size - 1 do
      local acc = 0
      for k = 0, size - 1 do
        acc = acc + ma[i + 1][k + 1] * mb[k + 1][j + 1]
      end
      mc[i + 1][j + 1] = acc
    end
  end
  -- Transpose in place by swapping, then fold every element into the checksum.
  for i = 0, size - 1 do
    for j = i + 1, size - 1 do
      local x = mc[i + 1][j + 1]
      mc[i + 1][j + 1] = mc[j + 1][i + 1]
      mc[j + 1][i + 1] = x
    end
  end
  for i = 0, size - 1 do
    trace = trace + mc[i + 1][i + 1]
    for j = 0, size - 1 do
      msum = (msum * 31 + mc[i + 1][j + 1]) % 1000003
    end
  end
end
print("matrix=" .. msum .. " trace=" .. trace)

-- Bubble sort of records by key.
local count = 40
local items = {}
for k = 1, count do
  items[k] = { key = 0, val = 0 }
end
local seed = 7
local rsum = 0
local swaps = 0
for rep = 0, 449 do
  for k = 0, count - 1 do
    seed = (seed * 75 + 74) % 65537
    items[k + 1].key = seed % 1000
    items[k + 1].val = k + rep
  end
  for i = 0, count - 2 do
    for j = 0, count - 2 - i do
      if items[j + 1].key > items[j + 2].key then
        local tmp = items[j + 1]
        items[j + 1] = items[j + 2]
        items[j + 2] = tmp
        swaps = swaps + 1
      end
    end
  end
  for k = 0, count - 1 do
    rsum = (rsum * 7 + items[k + 1].key * (k + 1) + items[k + 1].val) % 1000003
  end
end
print("records=" .. rsum .. " swaps=" .. swaps)

-- Prefix sums and reversal of an integer vector.
local vec = {}
for k = 0, 63 do
  vec[k + 1] = (k * k) % 101
end
for rep = 0, 899 do
  for k = 1, 63 do
    vec[k + 1] = (vec[k + 1] + vec[k]) % 10007
  end
  local i = 0
  local j = 63
  while i < j do
    local x = vec[i + 1]
    vec[i + 1] = vec[j + 1]
    vec[j + 1] = x
    i = i + 1
    j = j - 1
  end
end
local vsum = 0
for k = 0, 63 do
  vsum = (vsum + vec[k + 1] * (k + 1)) % 1000003
end
print("vector=" .. vsum .. " first=" .. vec[1] .. " last=" .. vec[64])
