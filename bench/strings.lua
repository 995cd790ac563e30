-- Strings: build strings character by character, compare them, count matches.
-- Keep in step with strings.qs and strings.py: all three print the same lines.
-- Lua tables count from 1, hence the "+ 1" on every letter index.

local letters = {
  "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
  "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z",
}

-- Two strings grow side by side and mostly agree; every prefix pair is compared.
local lt, eq, gt = 0, 0, 0
local s, t = "", ""
for r = 0, 3599 do
  s = ""
  t = ""
  for i = 0, 59 do
    local c = (i * i + r) % 3
    s = s .. letters[c + 1]
    local d = (i * r) % 23
    if d == 7 then
      t = t .. letters[c + 1 + 1]
    elseif d == 11 then
      t = t .. letters[(c + 2) % 3 + 1]
    else
      t = t .. letters[c + 1]
    end
    if s < t then
      lt = lt + 1
    elseif s == t then
      eq = eq + 1
    else
      gt = gt + 1
    end
  end
end
print("lt=" .. lt .. " eq=" .. eq .. " gt=" .. gt)
print("s=" .. s)
print("t=" .. t)

-- Short words over a small alphabet; count equal and ordered pairs.
local words = {}
for k = 1, 48 do
  words[k] = ""
end
local seed = 1
local same, less = 0, 0
for rnd = 0, 359 do
  for k = 0, 47 do
    seed = (seed * 75 + 74) % 65537
    local wl = 1 + seed % 4
    local w = ""
    for q = 1, wl do
      seed = (seed * 75 + 74) % 65537
      w = w .. letters[seed % 3 + rnd % 2 + 1]
    end
    words[k + 1] = w
  end
  for k = 0, 46 do
    for q = k + 1, 47 do
      if words[k + 1] == words[q + 1] then
        same = same + 1
      end
      if words[k + 1] < words[q + 1] then
        less = less + 1
      end
    end
  end
end
print("same=" .. same .. " less=" .. less)
local joined = ""
for k = 0, 11 do
  joined = joined .. words[k + 1] .. ","
end
print("words=" .. joined)
