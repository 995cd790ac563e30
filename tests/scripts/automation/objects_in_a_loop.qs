program ObjectsInALoop;
// Objects made in a loop are all released after the run (the sanitizer build checks for leaks).
var
  O: IDispatch;
  I, Sum: Integer;
begin
  Sum := 0;
  for I := 1 to 200 do
  begin
    O := CreateOleObject('org.quoll.TestServer');
    Sum := Sum + O.Sum(I, 0);
  end;
  Writeln(IntToStr(Sum));  // expect: 20100
  for I := 1 to 50 do
    CreateOleObject('org.freedesktop.DBus').GetId;
  Writeln('done');         // expect: done
end.
