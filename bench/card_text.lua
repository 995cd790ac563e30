-- The text work of card scripts: command APDUs built as hex texts, response hex texts cut back
-- into bytes, byte loops over a string, and checksums over a 64 KiB buffer.
-- Keep in step with card_text.qs and card_text.py: all three print the same lines.
-- What the Quoll routines map to here: StrGet(s, i) is string.byte(s, i); Lua strings cannot be
-- changed in place, so StrSet(Chr(c), i, s) is t[i] = c on a table of bytes, which is turned
-- back into a string with string.char and table.concat; Copy(s, i, n) is string.sub(s, i, i + n - 1),
-- StrToInt('$' + t, -1) is tonumber(t, 16), SetLength(s, n) is a table of n zero bytes.
-- Lua tables count from 1, hence the "+ 1" on every index of a table that counts from 0.

local HEX_DIGITS = "0123456789ABCDEF"

-- Two upper-case hex digits of a byte, high nibble first, picked from HEX_DIGITS as the Quoll
-- program does (not string.format, which would do the work in C).
local function hex_byte(value)
  local hi = value // 16 + 1
  local lo = value % 16 + 1
  return string.sub(HEX_DIGITS, hi, hi) .. string.sub(HEX_DIGITS, lo, lo)
end

local ins_codes = { 0xA4, 0xB0, 0xD6, 0xCA }

-- The value of each hex digit by character code, -1 for any other character.
local nibbles = {}
for i = 0, 255 do
  nibbles[i + 1] = -1
end
for i = 1, #HEX_DIGITS do
  nibbles[string.byte(HEX_DIGITS, i) + 1] = i - 1
end

-- Command APDUs: CLA INS P1 P2 Lc, Lc data bytes, Le, as a hex text. Each is read back byte by
-- byte through the digit table; its data comes back as a response with a status word, which is
-- cut into bytes with string.sub and tonumber(t, 16).
local seed = 12345
local hex_len, data_sum, cmd_hash, bad_lc = 0, 0, 0, 0
local resp_sum, ok_count, err_count = 0, 0, 0
local apdu = ""
for n = 0, 1999 do
  local cla = (n % 4) * 4
  local ins = ins_codes[n % 4 + 1]
  seed = (seed * 1103 + 12345) % 65521
  local lc = 8 + seed % 40
  local data_hex = ""
  for j = 1, lc do
    seed = (seed * 1103 + 12345) % 65521
    local b = seed % 256
    data_sum = (data_sum + b) % 65521
    data_hex = data_hex .. hex_byte(b)
  end
  apdu = hex_byte(cla) .. hex_byte(ins) .. hex_byte(n // 256 % 256) .. hex_byte(n % 256) .. hex_byte(lc)
    .. data_hex .. "00"
  hex_len = hex_len + #apdu

  for k = 0, #apdu // 2 - 1 do
    local b = nibbles[string.byte(apdu, 2 * k + 1) + 1] * 16 + nibbles[string.byte(apdu, 2 * k + 2) + 1]
    cmd_hash = (cmd_hash * 31 + b) % 1000003
    if k == 4 and b ~= lc then
      bad_lc = bad_lc + 1
    end
  end

  local resp
  if n % 7 == 0 then
    resp = data_hex .. "6A82"
  else
    resp = data_hex .. "9000"
  end
  for k = 0, #resp // 2 - 3 do
    resp_sum = (resp_sum + tonumber(string.sub(resp, 2 * k + 1, 2 * k + 2), 16)) % 65521
  end
  local sw = tonumber(string.sub(resp, #resp - 3, #resp), 16)
  if sw == 0x9000 then
    ok_count = ok_count + 1
  else
    err_count = err_count + 1
  end
end
print("apdus hexLen=" .. hex_len .. " dataSum=" .. data_sum .. " cmdHash=" .. cmd_hash .. " badLc=" .. bad_lc)
print("responses respSum=" .. resp_sum .. " ok=" .. ok_count .. " err=" .. err_count)
print("last=" .. string.sub(apdu, 1, 40))

-- A 64 KiB buffer filled byte by byte, then masked in place with a rolling key.
local bytes = {}
for i = 1, 65536 do
  bytes[i] = 0
end
seed = 777
for i = 1, 65536 do
  seed = (seed * 1103 + 12345) % 65521
  bytes[i] = seed % 256
end
local mask_key = { 0x3C, 0xA5, 0x5A, 0xC3, 0x0F, 0xF0, 0x96, 0x69 }
local masked = 0
for i = 1, 65536 do
  local c = bytes[i] ~ mask_key[i % 8 + 1]
  bytes[i] = c
  if c < 16 then
    masked = masked + 1
  end
end
-- The bytes become a string again, as the Quoll program holds the buffer in one.
local chars = {}
for i = 1, #bytes do
  chars[i] = string.char(bytes[i])
end
local buf = table.concat(chars)
print("buffer length=" .. #buf .. " low=" .. masked .. " head="
  .. hex_byte(string.byte(buf, 1)) .. hex_byte(string.byte(buf, 2)) .. hex_byte(string.byte(buf, 3)))

-- CRC-16 with the CCITT polynomial 1021 hex, by a table of 256 entries.
local crc_table = {}
for i = 0, 255 do
  local c = i << 8
  for k = 1, 8 do
    if (c & 0x8000) ~= 0 then
      c = ((c << 1) ~ 0x1021) & 0xFFFF
    else
      c = (c << 1) & 0xFFFF
    end
  end
  crc_table[i + 1] = c
end

-- Every pass runs the CRC, an XOR and two running sums over every byte of the buffer;
-- each pass starts from the CRC the previous one ended with.
local crc = 0xFFFF
for pass = 1, 3 do
  local xor_all, sum1, sum2 = 0, 0, 0
  for i = 1, 65536 do
    local b = string.byte(buf, i)
    crc = ((crc << 8) & 0xFFFF) ~ crc_table[(((crc >> 8) ~ b) & 0xFF) + 1]
    xor_all = xor_all ~ b
    sum1 = (sum1 + b) % 255
    sum2 = (sum2 + sum1) % 255
  end
  print("pass " .. pass .. " crc=" .. hex_byte(crc // 256) .. hex_byte(crc % 256) .. " xor=" .. xor_all
    .. " sums=" .. sum1 .. "/" .. sum2)
end
