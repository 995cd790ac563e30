program ArraysRecords;
// Arrays and records: matrices as arrays of arrays of integers, an array of
// records sorted by swapping, and an integer vector of prefix sums and reversals.
// Keep in step with arrays_records.lua and arrays_records.py: all three print the same lines.

type
  TItem = record
    Key, Val: Integer;
  end;

var
  ma, mb, mc: array of array of Integer;
  row, vec: array of Integer;
  items: array of TItem;
  blank, tmp: TItem;
  i, j, k, rep, x, acc, msum, trace: Integer;
  seed, rsum, swaps, vsum: Integer;

begin
  // Arrays are made by constructors; each element of a nested one is a copy.
  row := [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0];
  ma := [row, row, row, row, row, row, row, row,
    row, row, row, row, row, row, row, row];
  mb := ma;
  mc := ma;
  msum := 0;
  trace := 0;
  for rep := 0 to 149 do
  begin
    for i := 0 to 15 do
      for j := 0 to 15 do
      begin
        ma[i][j] := (i * 3 + j * 5 + rep) mod 17;
        mb[i][j] := (i * 7 + j * 2 + rep * 3) mod 13;
      end;
    for i := 0 to 15 do
      for j := 0 to 15 do
      begin
        acc := 0;
        for k := 0 to 15 do
          acc := acc + ma[i][k] * mb[k][j];
        mc[i][j] := acc;
      end;
    // Transpose in place by swapping, then fold every element into the checksum.
    for i := 0 to 15 do
      for j := i + 1 to 15 do
      begin
        x := mc[i][j];
        mc[i][j] := mc[j][i];
        mc[j][i] := x;
      end;
    for i := 0 to 15 do
    begin
      trace := trace + mc[i][i];
      for j := 0 to 15 do
        msum := (msum * 31 + mc[i][j]) mod 1000003;
    end;
  end;
  Writeln('matrix=' + IntToStr(msum) + ' trace=' + IntToStr(trace));

  // Bubble sort of records by key.
  blank.Key := 0;
  blank.Val := 0;
  items := [blank, blank, blank, blank, blank, blank, blank, blank, blank, blank,
    blank, blank, blank, blank, blank, blank, blank, blank, blank, blank,
    blank, blank, blank, blank, blank, blank, blank, blank, blank, blank,
    blank, blank, blank, blank, blank, blank, blank, blank, blank, blank];
  seed := 7;
  rsum := 0;
  swaps := 0;
  for rep := 0 to 449 do
  begin
    for k := 0 to 39 do
    begin
      seed := (seed * 75 + 74) mod 65537;
      items[k].Key := seed mod 1000;
      items[k].Val := k + rep;
    end;
    for i := 0 to 38 do
      for j := 0 to 38 - i do
        if items[j].Key > items[j + 1].Key then
        begin
          tmp := items[j];
          items[j] := items[j + 1];
          items[j + 1] := tmp;
          swaps := swaps + 1;
        end;
    for k := 0 to 39 do
      rsum := (rsum * 7 + items[k].Key * (k + 1) + items[k].Val) mod 1000003;
  end;
  Writeln('records=' + IntToStr(rsum) + ' swaps=' + IntToStr(swaps));

  // Prefix sums and reversal of an integer vector.
  vec := [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0];
  for k := 0 to 63 do
    vec[k] := (k * k) mod 101;
  for rep := 0 to 899 do
  begin
    for k := 1 to 63 do
      vec[k] := (vec[k] + vec[k - 1]) mod 10007;
    i := 0;
    j := 63;
    while i < j do
    begin
      x := vec[i];
      vec[i] := vec[j];
      vec[j] := x;
      i := i + 1;
      j := j - 1;
    end;
  end;
  vsum := 0;
  for k := 0 to 63 do
    vsum := (vsum + vec[k] * (k + 1)) mod 1000003;
  Writeln('vector=' + IntToStr(vsum) + ' first=' + IntToStr(vec[0]) + ' last=' + IntToStr(vec[63]));
end.
