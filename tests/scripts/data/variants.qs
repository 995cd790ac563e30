// A VARIANT holds a value of any type: it compares by its contents, takes part in arithmetic with
// its contents, and a typed variable takes the value it holds. An empty one is nil.
var
  a, b: Variant;
  i: Integer;
  s: string;
begin
  if a = nil then
    Writeln('empty');              // expect: empty
  a := 5;
  b := 5;
  if a = b then
    Writeln('equal contents');     // expect: equal contents
  if a < 7 then
    Writeln('less');               // expect: less
  i := a + 1;
  if i = 6 then
    Writeln('arithmetic');         // expect: arithmetic
  a := 'text';
  s := a;
  Writeln(s);                      // expect: text
  a := nil;
  if a = nil then
    Writeln('nil again');          // expect: nil again
  i := a + 1;                      // expect error: variant is nil
end.
