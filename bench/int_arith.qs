program IntArith;
// Integer arithmetic: nested for loops, while loops, div/mod and comparisons.
// Keep in step with int_arith.lua and int_arith.py: all three print the same lines.

var
  i, j, k, a, b: Integer;
  acc, x, n, t, r: Integer;
  steps, total, longest, g: Integer;

begin
  acc := 0;
  for i := 1 to 600 do
    for j := 1 to 700 do
    begin
      x := (i * j + acc) mod 1000003;
      if x mod 3 = 0 then
        acc := (acc + x div 3) mod 1000003
      else if x mod 3 = 1 then
        acc := (acc * 7 + j) mod 1000003
      else
      begin
        if acc >= i then
          acc := acc - i
        else
          acc := acc + 1000003 - i;
      end;
    end;
  Writeln('acc=' + IntToStr(acc));

  // Collatz step counts.
  total := 0;
  longest := 0;
  for k := 1 to 10000 do
  begin
    n := k;
    steps := 0;
    while n <> 1 do
    begin
      if n mod 2 = 0 then
        n := n div 2
      else
        n := 3 * n + 1;
      steps := steps + 1;
    end;
    total := total + steps;
    if steps > longest then
      longest := steps;
  end;
  Writeln('collatz=' + IntToStr(total) + ' longest=' + IntToStr(longest));

  // Euclid on a grid of pairs.
  g := 0;
  for a := 1 to 270 do
    for b := 1 to 270 do
    begin
      x := a * 7 + 3;
      t := b * 5 + 1;
      while t <> 0 do
      begin
        r := x mod t;
        x := t;
        t := r;
      end;
      g := g + x;
    end;
  Writeln('gcd=' + IntToStr(g));
end.
