// IF with and without ELSE; ELSE pairs with the nearest IF; branches may be blocks.
var
  i: Integer;
  ok: Boolean;

procedure Classify(n: Integer);
begin
  if n < 0 then
    Writeln('negative')
  else if n = 0 then
    Writeln('zero')
  else if n < 10 then
    Writeln('small')
  else
    Writeln('large');
end;

procedure Nested(a, b: Boolean);
begin
  if a then
    if b then
      Writeln('a and b')
    else
      Writeln('a, not b');
  Writeln('after nested');
end;

begin
  Classify(-5);          // expect: negative
  Classify(0);           // expect: zero
  Classify(7);           // expect: small
  Classify(70);          // expect: large
  Nested(true, true);    // expect: a and b
                         // expect: after nested
  Nested(true, false);   // expect: a, not b
                         // expect: after nested
  Nested(false, false);  // expect: after nested
  i := 0;
  if i = 0 then
  begin
    i := 1;
    Writeln('then block');   // expect: then block
  end
  else
  begin
    i := 2;
    Writeln('else block');
  end;
  if i = 2 then
    Writeln('wrong branch ran');
  if i <> 1 then
  begin
    Writeln('not run');
  end
  else
    Writeln('else after block');   // expect: else after block
  ok := false;
  if ok then
    if true then
      Writeln('not run')
    else
      Writeln('not run either')
  else
    Writeln('outer else');         // expect: outer else
  if not ok then ;
  Writeln('empty then part');      // expect: empty then part
end.
