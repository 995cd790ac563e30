# The text work of card scripts: command APDUs built as hex texts, response hex texts cut back
# into bytes, byte loops over a string, and checksums over a 64 KiB buffer.
# Keep in step with card_text.qs and card_text.lua: all three print the same lines.
# What the Quoll routines map to here: StrGet(s, i) is s[i - 1] of a str (with ord) or of a
# bytearray, StrSet(Chr(c), i, s) is buf[i - 1] = c on a bytearray, Copy(s, i, n) is s[i - 1:i - 1 + n],
# StrToInt('$' + t, -1) is int(t, 16), SetLength(s, n) is bytearray(n).

HEX_DIGITS = "0123456789ABCDEF"


def hex_byte(value):
    """Two upper-case hex digits of a byte, high nibble first, picked from HEX_DIGITS as the
    Quoll program does (not format(), which would do the work in C)."""
    return HEX_DIGITS[value // 16] + HEX_DIGITS[value % 16]


def main():
    ins_codes = [0xA4, 0xB0, 0xD6, 0xCA]

    # The value of each hex digit by character code, -1 for any other character.
    nibbles = [-1] * 256
    for i in range(1, len(HEX_DIGITS) + 1):
        nibbles[ord(HEX_DIGITS[i - 1])] = i - 1

    # Command APDUs: CLA INS P1 P2 Lc, Lc data bytes, Le, as a hex text. Each is read back byte by
    # byte through the digit table; its data comes back as a response with a status word, which is
    # cut into bytes with slices and int(t, 16).
    seed = 12345
    hex_len = 0
    data_sum = 0
    cmd_hash = 0
    bad_lc = 0
    resp_sum = 0
    ok_count = 0
    err_count = 0
    apdu = ""
    for n in range(0, 2000):
        cla = (n % 4) * 4
        ins = ins_codes[n % 4]
        seed = (seed * 1103 + 12345) % 65521
        lc = 8 + seed % 40
        data_hex = ""
        for j in range(1, lc + 1):
            seed = (seed * 1103 + 12345) % 65521
            b = seed % 256
            data_sum = (data_sum + b) % 65521
            data_hex = data_hex + hex_byte(b)
        apdu = (hex_byte(cla) + hex_byte(ins) + hex_byte(n // 256 % 256) + hex_byte(n % 256) + hex_byte(lc) +
                data_hex + "00")
        hex_len = hex_len + len(apdu)

        for k in range(0, len(apdu) // 2):
            b = nibbles[ord(apdu[2 * k])] * 16 + nibbles[ord(apdu[2 * k + 1])]
            cmd_hash = (cmd_hash * 31 + b) % 1000003
            if k == 4 and b != lc:
                bad_lc = bad_lc + 1

        if n % 7 == 0:
            resp = data_hex + "6A82"
        else:
            resp = data_hex + "9000"
        for k in range(0, len(resp) // 2 - 2):
            resp_sum = (resp_sum + int(resp[2 * k:2 * k + 2], 16)) % 65521
        sw = int(resp[len(resp) - 4:], 16)
        if sw == 0x9000:
            ok_count = ok_count + 1
        else:
            err_count = err_count + 1
    print("apdus hexLen=" + str(hex_len) + " dataSum=" + str(data_sum) + " cmdHash=" + str(cmd_hash) +
          " badLc=" + str(bad_lc))
    print("responses respSum=" + str(resp_sum) + " ok=" + str(ok_count) + " err=" + str(err_count))
    print("last=" + apdu[0:40])

    # A 64 KiB buffer filled byte by byte, then masked in place with a rolling key.
    buf = bytearray(65536)
    seed = 777
    for i in range(1, 65537):
        seed = (seed * 1103 + 12345) % 65521
        buf[i - 1] = seed % 256
    mask_key = [0x3C, 0xA5, 0x5A, 0xC3, 0x0F, 0xF0, 0x96, 0x69]
    masked = 0
    for i in range(1, 65537):
        c = buf[i - 1] ^ mask_key[i % 8]
        buf[i - 1] = c
        if c < 16:
            masked = masked + 1
    print("buffer length=" + str(len(buf)) + " low=" + str(masked) + " head=" +
          hex_byte(buf[0]) + hex_byte(buf[1]) + hex_byte(buf[2]))

    # CRC-16 with the CCITT polynomial 1021 hex, by a table of 256 entries.
    crc_table = [0] * 256
    for i in range(0, len(crc_table)):
        c = i << 8
        for k in range(1, 9):
            if (c & 0x8000) != 0:
                c = ((c << 1) ^ 0x1021) & 0xFFFF
            else:
                c = (c << 1) & 0xFFFF
        crc_table[i] = c

    # Every pass runs the CRC, an XOR and two running sums over every byte of the buffer;
    # each pass starts from the CRC the previous one ended with.
    crc = 0xFFFF
    for p in range(1, 4):
        xor_all = 0
        sum1 = 0
        sum2 = 0
        for i in range(1, 65537):
            b = buf[i - 1]
            crc = ((crc << 8) & 0xFFFF) ^ crc_table[((crc >> 8) ^ b) & 0xFF]
            xor_all = xor_all ^ b
            sum1 = (sum1 + b) % 255
            sum2 = (sum2 + sum1) % 255
        print("pass " + str(p) + " crc=" + hex_byte(crc // 256) + hex_byte(crc % 256) + " xor=" +
              str(xor_all) + " sums=" + str(sum1) + "/" + str(sum2))


main()
