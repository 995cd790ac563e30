-- String work through the library: tostring, sub, find and # in a loop.
-- Keep in step with string_library.qs and string_library.py: all three print the same lines.

local hits, lengths, sum = 0, 0, 0
for i = 0, 199999 do
  -- A record of three comma-separated numbers, taken apart again field by field.
  local line = tostring(i) .. "," .. tostring(i * 7919 % 100003) .. "," .. tostring(i % 97)
  local rest = line
  local p = string.find(rest, ",", 1, true)
  while p do
    local field = string.sub(rest, 1, p - 1)
    lengths = lengths + #field
    rest = string.sub(rest, p + 1, #rest)
    p = string.find(rest, ",", 1, true)
  end
  lengths = lengths + #rest
  if string.find(line, "77", 1, true) then
    hits = hits + 1
  end
  sum = (sum + #line * string.find(line, string.sub(line, #line, #line), 1, true)) % 1000003
end
print("hits=" .. hits .. " lengths=" .. lengths .. " sum=" .. sum)
