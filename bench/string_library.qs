program StringLibrary;
// String work through the library: IntToStr, Copy, Pos and Length in a loop.
// Keep in step with string_library.lua and string_library.py: all three print the same lines.

var
  i, p, hits, lengths, sum: Integer;
  line, field, rest: string;
begin
  hits := 0;
  lengths := 0;
  sum := 0;
  for i := 0 to 199999 do
  begin
    // A record of three comma-separated numbers, taken apart again field by field.
    line := IntToStr(i) + ',' + IntToStr(i * 7919 mod 100003) + ',' + IntToStr(i mod 97);
    rest := line;
    p := Pos(',', rest);
    while p > 0 do
    begin
      field := Copy(rest, 1, p - 1);
      lengths := lengths + Length(field);
      rest := Copy(rest, p + 1, Length(rest));
      p := Pos(',', rest);
    end;
    lengths := lengths + Length(rest);
    if Pos('77', line) > 0 then
      hits := hits + 1;
    sum := (sum + Length(line) * Pos(Copy(line, Length(line), 1), line)) mod 1000003;
  end;
  Writeln('hits=' + IntToStr(hits) + ' lengths=' + IntToStr(lengths) + ' sum=' + IntToStr(sum));
end.
