program Strings;
// Strings: build strings character by character, compare them, count matches.
// Keep in step with strings.lua and strings.py: all three print the same lines.

var
  letters, words: array of string;
  s, t, w, joined: string;
  r, i, c, d, lt, eq, gt: Integer;
  seed, same, less, rnd, k, q, wl: Integer;

begin
  letters := ['a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm',
    'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z'];

  // Two strings grow side by side and mostly agree; every prefix pair is compared.
  lt := 0;
  eq := 0;
  gt := 0;
  for r := 0 to 3599 do
  begin
    s := '';
    t := '';
    for i := 0 to 59 do
    begin
      c := (i * i + r) mod 3;
      s := s + letters[c];
      d := (i * r) mod 23;
      if d = 7 then
        t := t + letters[c + 1]
      else if d = 11 then
        t := t + letters[(c + 2) mod 3]
      else
        t := t + letters[c];
      if s < t then
        lt := lt + 1
      else if s = t then
        eq := eq + 1
      else
        gt := gt + 1;
    end;
  end;
  Writeln('lt=' + IntToStr(lt) + ' eq=' + IntToStr(eq) + ' gt=' + IntToStr(gt));
  Writeln('s=' + s);
  Writeln('t=' + t);

  // Short words over a small alphabet; count equal and ordered pairs.
  words := ['', '', '', '', '', '', '', '', '', '', '', '',
    '', '', '', '', '', '', '', '', '', '', '', '',
    '', '', '', '', '', '', '', '', '', '', '', '',
    '', '', '', '', '', '', '', '', '', '', '', ''];
  seed := 1;
  same := 0;
  less := 0;
  for rnd := 0 to 359 do
  begin
    for k := 0 to 47 do
    begin
      seed := (seed * 75 + 74) mod 65537;
      wl := 1 + seed mod 4;
      w := '';
      for q := 1 to wl do
      begin
        seed := (seed * 75 + 74) mod 65537;
        w := w + letters[seed mod 3 + rnd mod 2];
      end;
      words[k] := w;
    end;
    for k := 0 to 46 do
      for q := k + 1 to 47 do
      begin
        if words[k] = words[q] then
          same := same + 1;
        if words[k] < words[q] then
          less := less + 1;
      end;
  end;
  Writeln('same=' + IntToStr(same) + ' less=' + IntToStr(less));
  joined := '';
  for k := 0 to 11 do
    joined := joined + words[k] + ',';
  Writeln('words=' + joined);
end.
